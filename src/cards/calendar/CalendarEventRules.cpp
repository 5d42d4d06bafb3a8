#include "cards/calendar/CalendarEventRules.h"

#include "style/DateText.h"

using namespace Qt::StringLiterals;

namespace kolu::calendar {

bool isHappeningNow(const CalendarEvent &event, const QDateTime &now)
{
    return event.startDate.isValid() && event.endDate.isValid() && event.startDate <= now && event.endDate >= now;
}

QString timeRange(const CalendarEvent &event, const DateText &dates)
{
    return dates.format(event.startDate, u"jmm"_s) + u" - "_s + dates.format(event.endDate, u"jmm"_s);
}

std::optional<QString> cleanedLocation(const CalendarEvent &event)
{
    if (!event.location)
        return std::nullopt;
    QString trimmed = event.location->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

std::optional<QUrl> openableMeetingURL(const std::optional<QUrl> &url)
{
    if (!url || !url->isValid())
        return std::nullopt;
    const QString scheme = url->scheme().toLower();
    if ((scheme != u"http"_s && scheme != u"https"_s) || url->host().isEmpty())
        return std::nullopt;
    return url;
}

int leadIndex(int minutes)
{
    for (std::size_t i = 0; i < leadOptions.size(); ++i) {
        if (leadOptions[i].minutes == minutes)
            return int(i);
    }
    return -1;
}

} // namespace kolu::calendar
