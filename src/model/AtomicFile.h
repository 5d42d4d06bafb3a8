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

enum class WriteOutcome {
    written,
    failed,
    // Something other than a regular file (a device, a pipe, a folder, a
    // dangling link) is at the path; it was left alone.
    notARegularFile,
};

// Writes `bytes` to a temporary file beside `path` and renames it over `path`
// only when every byte was written, so a reader sees the old content or the
// new, never a mix. Only a regular file is ever replaced: a symbolic link at
// the path is never followed, and it is left as it is, as anything else that
// is not a regular file. On failure the old file is untouched.
WriteOutcome writeFile(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap = {});

// writeFile() for a file that is the user's alone: it ends up with mode 0600
// whatever the umask or its earlier mode.
WriteOutcome writeOwnerOnlyFile(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap = {});

// writeOwnerOnlyFile() for the file `name` directly in the folder open at
// `folder`: the temporary file is made and renamed within that descriptor, so
// a folder renamed or replaced on the way to it since it was opened changes
// nothing.
WriteOutcome writeOwnerOnlyFileIn(int folder, const QString &name, const QByteArray &bytes,
                                  const SaveDeviceWrapper &wrap = {});

// Writes every byte of `bytes` to `out`, through short writes; false at
// the first write that fails.
bool writeAllOf(QIODevice &out, const QByteArray &bytes);

// writeFile() for callers that only need to know whether the content is in place.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap = {});

// The whole content of a regular file no larger than `maxSize`, or nothing when
// it is missing, unreadable or too large.
std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize);

} // namespace kolu
