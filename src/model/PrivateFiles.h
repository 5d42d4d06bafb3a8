#pragma once

#include "model/FileDescriptor.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>
#include <unistd.h>

#include <optional>

namespace kolu {

// A folder only this user may enter, held by a descriptor opened without
// following a link, so that what was checked is what is written into. Files
// are made in it through that descriptor: a link planted in the folder, or
// in its place, is never followed.
class PrivateFolder {
public:
    struct Options {
        // Make the folder when it is missing, and its missing parents, each
        // with mode 0700 whatever the umask (as the base-directory layout
        // asks; folders already there keep their mode).
        bool create = false;
        // Narrow a folder of the owner's with a wider mode (an earlier run's,
        // made under the umask) to 0700 rather than refuse it. Whatever
        // another account may have put in it meanwhile is harmless: files
        // are only ever replaced or read through the descriptor.
        bool tighten = false;
        // Who must own it; tests pass another to see a stranger's refused.
        uid_t owner = ::geteuid();
    };

    // The folder at `path` when it is a folder (not a link) of `owner` with
    // mode 0700; nothing otherwise. `path` must be absolute.
    static std::optional<PrivateFolder> open(const QString &path, const Options &options);
    static std::optional<PrivateFolder> open(const QString &path) { return open(path, Options{}); }

    const QString &path() const { return m_path; }
    int descriptor() const { return m_fd.get(); }

    // Writes `bytes` to a new file of mode 0600 under a temporary name
    // (created exclusively, never through a link) and renames it over `name`
    // once whole. A link or file at `name` is replaced, never written
    // through. False, and nothing left behind, on failure.
    bool writeFile(const QString &name, const QByteArray &bytes) const;

    // The content of the regular file `name` (a link is not followed), when
    // it is no larger than `maxSize`.
    std::optional<QByteArray> readFile(const QString &name, qint64 maxSize) const;

    // Narrows the regular file `name` of the owner's (a link is not
    // followed) to mode 0600, as an earlier run may have made it under the
    // umask.
    void tightenFile(const QString &name) const;

private:
    PrivateFolder(FileDescriptor fd, QString path);

    FileDescriptor m_fd;
    QString m_path;
};

// Why what is at a folder's `path` was put there by someone else, or leads
// elsewhere, to follow the path in a sentence: "is a symbolic link" or
// "belongs to another user". Empty when nothing is there or it is this
// user's own.
QString foreignFolderReason(const QString &path);

// XDG_RUNTIME_DIR when it names a folder of this user's alone (owned by the
// user, mode 0700, not a link); nothing otherwise. Qt's own fallback (a
// folder under /tmp that anyone could have made first) is never used.
std::optional<QString> userRuntimeFolder();

// "Kolu" in the user's cache folder (~/.cache/Kolu), made 0700: where
// per-user temporary files go when there is no runtime folder. Empty when
// it cannot be had as a private folder.
QString privateCacheFolder();
// Where privateCacheFolder() is, whether or not it can be had.
QString cacheFolderPath();

// At launch: the cache folder, when it is there, narrowed as the data
// folder is (an earlier run's files made under the umask), or refused with
// one line on standard error when it is a link or another user's.
void narrowCacheFolder();

// The folder for per-user temporary files (the lock file, alert sounds): the
// runtime folder, or else privateCacheFolder(). Never a shared one.
QString temporaryFilesFolder();

// Files a user's data folder keeps are the user's alone: below `folder`,
// every folder of this user's becomes 0700 and every regular file 0600.
// Links are not followed and others' files are left alone.
void tightenPrivateTree(const QString &folder);

} // namespace kolu
