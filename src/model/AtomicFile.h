#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace kolu {

// Wraps the device a save writes through. Tests use it to fail a write part way.
using SaveDeviceWrapper = std::function<std::unique_ptr<QIODevice>(QIODevice *target)>;

// Writes `bytes` to a temporary file beside `path` and renames it over `path`
// only when every byte was written, so a reader sees the old content or the
// new, never a mix. Returns whether the new content is in place; on failure the
// old file is untouched.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap = {});

// The whole content of a regular file no larger than `maxSize`, or nothing when
// it is missing, unreadable or too large.
std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize);

} // namespace kolu
