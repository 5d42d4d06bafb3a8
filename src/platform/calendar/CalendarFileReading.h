#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

namespace kolu {

// `bytes` with every physical line longer than a content line should be
// folded into pieces, so that unfolding gives back exactly `bytes`. The
// parser takes time that grows with the square of a line's length; folded,
// the same text reads in linear time. Bytes without long lines come back as
// they are, without a copy.
QByteArray foldLongLines(const QByteArray &bytes);

// The most parameters one content line may carry, counted on the unfolded
// line as the parser splits it, whatever its quotes and backslashes. The
// parser's time grows with the square of a line's parameters: one line of
// thousands would hold a worker for minutes, and a real calendar needs a
// handful. (Long values and long parameter values read in linear time.)
inline constexpr int kMaxParametersPerLine = 100;

// `bytes` without the content lines (each with its folded continuations)
// that carry more parameters than that. `leftOut`, when given, is told why
// the first of them was left out. Bytes within the bound come back as they
// are, without a copy.
QByteArray withinLineBounds(const QByteArray &bytes, QString *leftOut = nullptr);

// `bytes` without the zone definitions whose TZID `drop` accepts: most files
// carry a copy of a zone the system knows, which the parser would otherwise
// work through in every file. Bytes with none to drop come back as they are.
QByteArray withoutZoneDefinitions(const QByteArray &bytes, const std::function<bool(const QByteArray &)> &drop);

// A calendar laid out plainly (one VCALENDAR holding its items) of more than
// `itemsPerPiece` items, split into calendars of at most that many items
// each, with the file's own properties and zone definitions; nothing for any
// other file. Parsed piece by piece, a large file never has its whole tree
// in memory at once.
std::vector<QByteArray> calendarPieces(const QByteArray &bytes, qsizetype itemsPerPiece);

// The bytes of one calendar item file, ready for the parser. A file too large
// to read whole is read in pieces: binary attachments are left out and any
// other very long value is cut, so its events and to-dos can still be listed.
// Nothing when the file cannot be read, or holds more than fits even so, or
// once `stop` is requested. `leftOut`, when given, is told why the first line
// left out whole was (its name and parameters alone too long to read).
std::optional<QByteArray> readCalendarItemFile(const QString &path, const std::stop_token &stop = {},
                                               QString *leftOut = nullptr);

} // namespace kolu
