#include "shell/SingleInstanceLock.h"

#include "model/PrivateFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolu {

SingleInstanceLock::~SingleInstanceLock()
{
    release();
}

QString SingleInstanceLock::runtimeFolder()
{
    return temporaryFilesFolder();
}

SingleInstanceLock::Outcome SingleInstanceLock::acquire(const QString &folder)
{
    release();
    // Only in a folder of this user's alone, reached through its descriptor.
    const auto lockFolder = PrivateFolder::open(folder);
    if (!lockFolder)
        return Outcome::unavailable;
    // O_NOFOLLOW: a planted link never redirects us to another file; no
    // O_TRUNC: the lock is the file's flock, not its contents.
    const int fd =
        ::openat(lockFolder->descriptor(), kFileName, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
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
