#include "model/CountText.h"

namespace kolu {

QString countText(qint64 count, const QString &singular, const QString &plural)
{
    return QString::number(count) + u' ' + (count == 1 ? singular : plural);
}

} // namespace kolu
