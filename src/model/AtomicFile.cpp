#include "model/AtomicFile.h"

#include "model/FileDescriptor.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kolu {

namespace {

// Whether a save may replace what is at `path`: nothing, or a regular file.
// A link is not followed: it could lead out of the folder the caller chose
// (into another user's reach, or onto a file the user keeps elsewhere).
// Replacing a device node or a pipe with a regular file would break whatever
// else uses it.
bool isReplaceable(int folder, const char *name)
{
    struct stat entry { };
    if (::fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) != 0)
        return true; // nothing there, or the write itself will fail
    return S_ISREG(entry.st_mode);
}

// Writes `bytes` to `file`, through what `wrap` puts in front of it.
bool writeWrapped(QFileDevice &file, const QByteArray &bytes, const SaveDeviceWrapper &wrap)
{
    if (!wrap)
        return writeAllOf(file, bytes);
    const std::unique_ptr<QIODevice> wrapper = wrap(&file);
    if (!wrapper || !wrapper->open(QIODevice::WriteOnly))
        return false;
    if (!writeAllOf(*wrapper, bytes))
        return false;
    wrapper->close();
    return true;
}

// A name for the temporary file in the pattern whole-file saves have always
// used ("<name>.XXXXXX"), so that one a killed save left is found at launch.
QByteArray temporaryNameFor(const QByteArray &name)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray side = name + '.';
    for (int i = 0; i < 6; ++i)
        side += kLetters[QRandomGenerator::system()->bounded(int(sizeof kLetters) - 1)];
    return side;
}

WriteOutcome save(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap, bool ownerOnly)
{
    if (!isReplaceable(AT_FDCWD, QFile::encodeName(path).constData())) {
        qWarning("Not saving %s: it is not a regular file", qUtf8Printable(path));
        return WriteOutcome::notARegularFile;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return WriteOutcome::failed;
    // Set on the temporary file, so the content is never readable by others
    // under the final name, not even for a moment.
    if (ownerOnly && ::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0) {
        file.cancelWriting();
        return WriteOutcome::failed;
    }

    if (!writeWrapped(file, bytes, wrap)) {
        file.cancelWriting();
        return WriteOutcome::failed;
    }
    return file.commit() ? WriteOutcome::written : WriteOutcome::failed;
}

} // namespace

bool writeAllOf(QIODevice &out, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 chunk = out.write(bytes.constData() + written, bytes.size() - written);
        if (chunk <= 0)
            return false;
        written += chunk;
    }
    return true;
}

WriteOutcome writeFile(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap)
{
    return save(path, bytes, wrap, false);
}

WriteOutcome writeOwnerOnlyFile(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap)
{
    return save(path, bytes, wrap, true);
}

WriteOutcome writeOwnerOnlyFileIn(int folder, const QString &name, const QByteArray &bytes,
                                  const SaveDeviceWrapper &wrap)
{
    const QByteArray target = QFile::encodeName(name);
    if (folder < 0 || target.isEmpty() || target.contains('/') || target == "." || target == "..")
        return WriteOutcome::failed;
    if (!isReplaceable(folder, target.constData())) {
        qWarning("Not saving %s: it is not a regular file", qUtf8Printable(name));
        return WriteOutcome::notARegularFile;
    }
    QByteArray side;
    FileDescriptor fd;
    for (int attempt = 0; attempt < 8 && !fd.isOpen(); ++attempt) {
        side = temporaryNameFor(target);
        fd = FileDescriptor(::openat(folder, side.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                     S_IRUSR | S_IWUSR));
        if (!fd.isOpen() && errno != EEXIST)
            break;
    }
    if (!fd.isOpen())
        return WriteOutcome::failed;
    // The umask may have narrowed the mode, never widened it; set all the same.
    bool written = ::fchmod(fd.get(), S_IRUSR | S_IWUSR) == 0;
    if (written) {
        QFile file;
        written = file.open(fd.get(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)
                  && writeWrapped(file, bytes, wrap) && file.flush();
    }
    written = written && ::fsync(fd.get()) == 0;
    if (written && ::renameat(folder, side.constData(), folder, target.constData()) == 0)
        return WriteOutcome::written;
    ::unlinkat(folder, side.constData(), 0);
    return WriteOutcome::failed;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap)
{
    return writeFile(path, bytes, wrap) == WriteOutcome::written;
}

std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(maxSize + 1);
    if (bytes.size() > maxSize || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace kolu
