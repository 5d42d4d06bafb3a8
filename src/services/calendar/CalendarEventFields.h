#pragma once

#include "platform/calendar/CalendarStore.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

namespace kolu {

// The derived facts shown with an event, as pure functions.

// The event's own URL when it has a usable one; otherwise the first link in
// its location followed by its notes.
std::optional<QUrl> meetingURL(const std::optional<QString> &url, const std::optional<QString> &location,
                               const std::optional<QString> &notes);

// The first link written in `text`: an address with a scheme ("https://",
// "zoommtg://", ...) or one that starts with "www.".
std::optional<QUrl> firstLink(const QString &text);

// Initials of up to four attendees, in order, without repeats. An attendee
// without a name is known by the part of the address before "@".
QStringList attendeeInitials(const std::vector<StoredAttendee> &attendees);

// "TL" for "Team Lead", "PL" for "Plato"; nothing for an empty text.
std::optional<QString> initials(const std::optional<QString> &text);

} // namespace kolu
