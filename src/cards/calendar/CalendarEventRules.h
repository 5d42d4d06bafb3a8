#pragma once

#include "model/Records.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <array>
#include <optional>

namespace kolu {

class DateText;

namespace calendar {

// Whether the event runs at `now`, both ends included.
bool isHappeningNow(const CalendarEvent &event, const QDateTime &now);
// "9:30 AM - 10:00 AM" in the locale's short time.
QString timeRange(const CalendarEvent &event, const DateText &dates);
// The location trimmed of white space, nothing when that leaves no text.
std::optional<QString> cleanedLocation(const CalendarEvent &event);
// The address a meeting button may open: http or https with a host, nothing
// otherwise, so no other kind of address is ever handed to the desktop.
std::optional<QUrl> openableMeetingURL(const std::optional<QUrl> &url);

// The alert lead choices of an agenda row, in display order.
struct LeadOption {
    const char *label;
    int minutes;
};
inline constexpr std::array<LeadOption, 3> leadOptions{{{"10m", 10}, {"5m", 5}, {"2m", 2}}};
// The picker index of a stored lead, -1 when it is none of the choices.
int leadIndex(int minutes);

} // namespace calendar
} // namespace kolu
