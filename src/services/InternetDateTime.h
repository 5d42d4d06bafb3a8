#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>

namespace kolu {

// Reads an internet date-time: a full date, "T", the time with colons, an
// optional fraction of a second and "Z" or a numeric offset
// ("2024-05-01T04:21:00+03:00", "2024-05-01T04:21:00.250Z"). The fraction is
// kept to the millisecond. Anything else, also surrounding spaces, gives
// nothing.
std::optional<QDateTime> parseInternetDateTime(QStringView text);

} // namespace kolu
