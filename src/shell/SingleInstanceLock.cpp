#include "shell/SingleInstanceLock.h"

#include "model/PrivateFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kolu {

SingleInstanceLock::~SingleInstanceLock()
{
    release();
}

QString SingleInstanceLock::runtimeFolder()
{
    const QString folder = temporaryFilesFolder();
    return folder.isEmpty() ? cacheFolderPath() : folder;
}

SingleInstanceLock::Outcome SingleInstanceLock::acquire(const QString &folder)
{
    release();
    m_refusal.clear();
    const auto refuse = [this](const QString &what, const QString &reason) {
        m_refusal = QString(what + u' ' + reason);
        return Outcome::refused;
    };
    // Only in a folder of this user's alone, reached through its descriptor.
    const auto lockFolder = PrivateFolder::open(folder);
    if (!lockFolder) {
        const QString reason = foreignFolderReason(folder);
        return reason.isEmpty() ? Outcome::unavailable : refuse(u"the lock's folder "_s + folder, reason);
    }
    const QString path = QString(lockFolder->path() + u'/' + QLatin1StringView(kFileName));
    // O_NOFOLLOW: a planted link never redirects us to another file; no
    // O_TRUNC: the lock is the file's flock, not its contents.
    const int fd =
        ::openat(lockFolder->descriptor(), kFileName, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    struct stat info { };
    if (fd < 0) {
        // Something there that could not be opened as a file is not ours.
        const bool planted = ::fstatat(lockFolder->descriptor(), kFileName, &info, AT_SYMLINK_NOFOLLOW) == 0;
        return planted ? refuse(u"the lock "_s + path, u"is a link or not a file of this user's"_s)
                       : Outcome::unavailable;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return refuse(u"the lock "_s + path, u"is a link or not a file of this user's"_s);
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
