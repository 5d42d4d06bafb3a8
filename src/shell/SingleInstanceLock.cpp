#include "shell/SingleInstanceLock.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolu {

namespace {

bool isOwnPrivateFolder(const QString &path)
{
    struct stat info { };
    if (path.isEmpty() || !QDir::isAbsolutePath(path) || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

} // namespace

SingleInstanceLock::~SingleInstanceLock()
{
    release();
}

QString SingleInstanceLock::runtimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isOwnPrivateFolder(runtime))
        return runtime;
    // Qt makes /tmp/runtime-<user> with mode 0700 and checks its owner.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SingleInstanceLock::Outcome SingleInstanceLock::acquire(const QString &folder)
{
    release();
    if (folder.isEmpty())
        return Outcome::unavailable;
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(QString::fromLatin1(kFileName)));
    // O_NOFOLLOW: a planted link never redirects us to another file; no
    // O_TRUNC: the lock is the file's flock, not its contents.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0)
        return Outcome::unavailable;
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return Outcome::unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Outcome::heldElsewhere : Outcome::unavailable;
    }
    m_fd = fd;
    return Outcome::acquired;
}

void SingleInstanceLock::release()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace kolu
