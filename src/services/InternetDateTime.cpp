#include "services/InternetDateTime.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace kolu {

std::optional<QDateTime> parseInternetDateTime(QStringView text)
{
    static const QRegularExpression pattern(
        uR"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:\.(\d{1,9}))?(?:(Z)|([+-])(\d{2}):(\d{2}))$)"_s);
    const auto match = pattern.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const int hour = number(4), minute = number(5), second = number(6);
    if (!date.isValid() || number(1) == 0 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    int milliseconds = 0;
    if (const QStringView fraction = match.capturedView(7); !fraction.isEmpty())
        milliseconds = QString(fraction.toString() + u"00"_s).left(3).toInt();
    int offsetSeconds = 0;
    if (match.capturedView(8).isEmpty()) {
        const int offsetHours = number(10), offsetMinutes = number(11);
        if (offsetHours > 23 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (offsetHours * 3600 + offsetMinutes * 60) * (match.capturedView(9) == u"-" ? -1 : 1);
    }
    const QDateTime utc =
        QDateTime(date, QTime(hour, minute, second, milliseconds), Qt::UTC).addSecs(-offsetSeconds);
    if (!utc.isValid())
        return std::nullopt;
    return utc;
}

} // namespace kolu
