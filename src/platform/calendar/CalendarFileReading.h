#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kolu {

// `bytes` with every physical line longer than a content line should be
// folded into pieces, so that unfolding gives back exactly `bytes`. The
// parser takes time that grows with the square of a line's length; folded,
// the same text reads in linear time. Bytes without long lines come back as
// they are, without a copy.
QByteArray foldLongLines(const QByteArray &bytes);

// The bytes of one calendar item file, ready for the parser. A file too large
// to read whole is read in pieces: binary attachments are left out and any
// other very long value is cut, so its events and to-dos can still be listed.
// Nothing when the file cannot be read, or holds more than fits even so.
std::optional<QByteArray> readCalendarItemFile(const QString &path);

} // namespace kolu
