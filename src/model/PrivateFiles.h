#pragma once

#include "model/AtomicFile.h"
#include "model/FileDescriptor.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>
#include <unistd.h>

#include <optional>

namespace kolu {

// A folder only this user may enter, held by a descriptor, so that what was
// checked is what is written into: renaming the folder, or any folder above
// it, later changes nothing. Files are made and read in it through that
// descriptor, and a link planted in the folder is never followed. In the
// folder's own place, a link of the user's is followed to a folder that
// passes the same check (as a dotfiles manager makes them); another's link
// is not.
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

    // The folder at `path` when it is a folder of `owner` with mode 0700, or
    // a link of `owner`'s to one that no other user may write to (narrowed
    // to 0700 as `tighten` asks); nothing otherwise. `path` must be
    // absolute, and stays the folder's path() when it is a link.
    static std::optional<PrivateFolder> open(const QString &path, const Options &options);
    static std::optional<PrivateFolder> open(const QString &path) { return open(path, Options{}); }

    // The folder `name` directly in this one (never through a link), held
    // and checked as open() does.
    std::optional<PrivateFolder> subfolder(const QString &name, const Options &options) const;

    const QString &path() const { return m_path; }
    int descriptor() const { return m_fd.get(); }
    // Whether open() found the folder open to others and narrowed it: what
    // an earlier run left in it may be too.
    bool wasNarrowed() const { return m_narrowed; }
    // Whether the folder was removed since it was opened.
    bool isGone() const;

    // Whether something (a link included) is at `name`, and whether that is
    // a regular file.
    bool holds(const QString &name) const;
    bool holdsFile(const QString &name) const;

    // Writes `bytes` to a new file of mode 0600 under a temporary name
    // (created exclusively, never through a link) and renames it over `name`
    // once whole. A link or file at `name` is replaced, never written
    // through. False, and nothing left behind, on failure.
    bool writeFile(const QString &name, const QByteArray &bytes) const;

    // The content of the regular file `name` (a link is not followed), when
    // it is no larger than `maxSize`.
    std::optional<QByteArray> readFile(const QString &name, qint64 maxSize) const;

    // writeFile() as a save of the user's own data: only a regular file at
    // `name` is replaced (a link, a folder or a pipe there is left alone,
    // and reported), the temporary file is named as a save's leftovers are
    // looked for, and `wrap`, for tests, stands between the save and it.
    WriteOutcome saveFile(const QString &name, const QByteArray &bytes, const SaveDeviceWrapper &wrap = {}) const;

    // Removes `name` (a link itself, never what it leads to); false when
    // nothing could be removed.
    bool removeFile(const QString &name) const;

    // Narrows the regular file `name` of the owner's (a link is not
    // followed) to mode 0600, as an earlier run may have made it under the
    // umask.
    void tightenFile(const QString &name) const;

    // tightenPrivateTree() for everything below this folder.
    void tightenTree() const;

private:
    PrivateFolder(FileDescriptor fd, QString path, bool narrowed);

    FileDescriptor m_fd;
    QString m_path;
    bool m_narrowed = false;
};

// The names of the regular files directly in the folder open at `folder`,
// sorted; links and everything else are left out.
QStringList regularFilesIn(int folder);

// Why what is at a folder's `path` was put there by someone else, or leads
// somewhere others may write, to follow the path in a sentence: "is a
// symbolic link" (another user's, or one that leads to no folder of this
// user's alone) or "belongs to another user". Empty when nothing is there,
// or it is this user's own folder or their link to such a one.
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

// After launch, off the interface's thread: the cache folder, when it is
// there, narrowed as the data folder is (an earlier run's files made under
// the umask), or refused with one line on standard error when it is
// another user's or a link that is not the user's own. What is below a
// folder that is already 0700 is out of others' reach whatever its modes,
// so only a folder that had to be narrowed is walked.
void narrowCacheFolder();

// The folder for per-user temporary files (the lock file, alert sounds): the
// runtime folder, or else privateCacheFolder(). Never a shared one.
QString temporaryFilesFolder();

// Files a user's data folder keeps are the user's alone: below `folder`,
// every folder of this user's becomes 0700 and every regular file 0600.
// Links are not followed and others' files are left alone.
void tightenPrivateTree(const QString &folder);

} // namespace kolu
