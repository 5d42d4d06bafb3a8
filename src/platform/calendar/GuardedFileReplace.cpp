#include "platform/calendar/GuardedFileReplace.h"

#include "model/AtomicFile.h"
#include "platform/calendar/CalendarFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

bool holds(const QString &path, const QByteArray &expected)
{
    return readWholeFile(path, kMaxCalendarItemFileSize) == expected;
}

// Swaps two names in one step; false with errno set when the file system
// cannot.
bool exchange(const QByteArray &a, const QByteArray &b)
{
    return renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE) == 0;
}

std::optional<ino_t> inodeAt(const QByteArray &path)
{
    struct stat status { };
    if (::lstat(path.constData(), &status) != 0)
        return std::nullopt;
    return status.st_ino;
}

// How often a save that was displaced is swapped back before giving up on
// swaps: each further swap means yet another save landed in the moment
// between two of them.
constexpr int kMostSwapsBack = 64;

// `saved` holds another program's save that our swap displaced, `path` what
// we put there (the file `placed`). Swaps them back; should yet another save
// land at `path` meanwhile, it is the latest and goes back in place in turn,
// and whatever is displaced last is older than what stays.
void putBack(const QByteArray &saved, const QByteArray &path, std::optional<ino_t> placed,
             const GuardedReplaceStep &step)
{
    for (int swap = 1; swap <= kMostSwapsBack && placed; ++swap) {
        const std::optional<ino_t> coming = inodeAt(saved);
        if (step)
            step(swap);
        if (!exchange(saved, path))
            break;
        if (inodeAt(saved) == placed)
            return;
        placed = coming;
    }
    // Swaps no longer work, or saves keep landing: what is displaced now is
    // the latest known and is put in place by a plain rename.
    std::rename(saved.constData(), path.constData());
}

} // namespace

GuardedReplace replaceFileIfUnchanged(const QString &path, const QByteArray &expected, const QByteArray &bytes,
                                      const SaveDeviceWrapper &wrap, const GuardedReplaceStep &step)
{
    const QFileInfo target(path);
    // Hidden and without the item suffix, so readers of the folder pass it by.
    QTemporaryFile temp(target.dir().filePath(u".save-XXXXXX.tmp"_s));
    if (!temp.open())
        return GuardedReplace::failed;
    QIODevice *out = &temp;
    std::unique_ptr<QIODevice> wrapper;
    if (wrap) {
        wrapper = wrap(&temp);
        if (!wrapper || !wrapper->open(QIODevice::WriteOnly))
            return GuardedReplace::failed;
        out = wrapper.get();
    }
    if (!writeAllOf(*out, bytes))
        return GuardedReplace::failed;
    if (wrapper)
        wrapper->close();
    if (!temp.flush() || ::fsync(temp.handle()) != 0)
        return GuardedReplace::failed;
    temp.close();
    temp.setPermissions(QFile::permissions(path));

    if (!holds(path, expected))
        return GuardedReplace::changedMeanwhile;
    const QByteArray from = QFile::encodeName(temp.fileName());
    const QByteArray to = QFile::encodeName(path);
    const std::optional<ino_t> ours = inodeAt(from);
    if (step)
        step(0);
    if (exchange(from, to)) {
        // The temporary name now holds what was displaced: what was read, or
        // a save that landed after the check, which goes back in place.
        if (holds(temp.fileName(), expected))
            return GuardedReplace::replaced;
        putBack(from, to, ours, step);
        return GuardedReplace::changedMeanwhile;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return GuardedReplace::failed;
    // A file system that cannot swap names: a plain rename right after the check.
    if (std::rename(from.constData(), to.constData()) != 0)
        return GuardedReplace::failed;
    return GuardedReplace::replaced;
}

} // namespace kolu
