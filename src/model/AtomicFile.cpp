#include "model/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

#include <cerrno>

namespace kolu {

namespace {

// The file a save may replace: `path` itself when nothing or a regular file
// is there, the target when `path` is a link to a regular file, and nothing
// otherwise. Replacing a device node or a pipe with a regular file would
// break whatever else uses it (as root, a link to /dev/zero would replace
// /dev/zero).
std::optional<QString> replaceableTarget(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat entry { };
    if (::lstat(native.constData(), &entry) != 0)
        return path; // nothing there, or the write itself will fail
    if (S_ISREG(entry.st_mode))
        return path;
    if (!S_ISLNK(entry.st_mode))
        return std::nullopt;
    struct stat target { };
    if (::stat(native.constData(), &target) != 0 || !S_ISREG(target.st_mode))
        return std::nullopt;
    const QString resolved = QFileInfo(path).canonicalFilePath();
    if (resolved.isEmpty())
        return std::nullopt;
    return resolved;
}

WriteOutcome save(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap, bool ownerOnly)
{
    const auto target = replaceableTarget(path);
    if (!target) {
        qWarning("Not saving %s: it is not a regular file", qUtf8Printable(path));
        return WriteOutcome::notARegularFile;
    }
    QSaveFile file(*target);
    if (!file.open(QIODevice::WriteOnly))
        return WriteOutcome::failed;
    // Set on the temporary file, so the content is never readable by others
    // under the final name, not even for a moment.
    if (ownerOnly && ::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0) {
        file.cancelWriting();
        return WriteOutcome::failed;
    }

    QIODevice *out = &file;
    std::unique_ptr<QIODevice> wrapper;
    if (wrap) {
        wrapper = wrap(&file);
        if (!wrapper || !wrapper->open(QIODevice::WriteOnly)) {
            file.cancelWriting();
            return WriteOutcome::failed;
        }
        out = wrapper.get();
    }

    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 chunk = out->write(bytes.constData() + written, bytes.size() - written);
        if (chunk <= 0) {
            file.cancelWriting();
            return WriteOutcome::failed;
        }
        written += chunk;
    }
    if (wrapper)
        wrapper->close();
    return file.commit() ? WriteOutcome::written : WriteOutcome::failed;
}

} // namespace

WriteOutcome writeFile(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap)
{
    return save(path, bytes, wrap, false);
}

WriteOutcome writeOwnerOnlyFile(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap)
{
    return save(path, bytes, wrap, true);
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
