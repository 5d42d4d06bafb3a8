#include "services/media/QuranCustomStationError.h"

using namespace Qt::StringLiterals;

namespace kolu {

QString errorSentence(QuranCustomStationErrorCase which)
{
    switch (which) {
    case QuranCustomStationErrorCase::MissingName: return u"Enter a name for the station."_s;
    case QuranCustomStationErrorCase::InvalidStreamURL: break;
    }
    return u"Enter a valid HTTPS live stream URL."_s;
}

} // namespace kolu
