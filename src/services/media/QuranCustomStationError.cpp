#include "services/media/QuranCustomStationError.h"

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
QString sentence(QuranCustomStationError::Case which)
{
    switch (which) {
    case QuranCustomStationError::Case::MissingName:
        return u"Enter a name for the station."_s;
    case QuranCustomStationError::Case::InvalidStreamURL:
        break;
    }
    return u"Enter a valid HTTPS live stream URL."_s;
}
} // namespace

QuranCustomStationError::QuranCustomStationError(Case which)
    : Error(sentence(which))
    , m_case(which)
{
}

QuranCustomStationError::~QuranCustomStationError() = default;

} // namespace kolu
