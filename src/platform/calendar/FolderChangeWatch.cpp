#include "platform/calendar/FolderChangeWatch.h"

#include <QFile>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kolu {

namespace {

constexpr uint32_t kChanges = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM
                              | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// File systems kept on this machine's own disks or memory, where every
// change is made through this kernel and so reported.
bool isLocalFileSystem(const QByteArray &folder)
{
    struct statfs info { };
    if (::statfs(folder.constData(), &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0xEF53UL:     // ext2, ext3, ext4
    case 0x58465342UL: // xfs
    case 0x9123683EUL: // btrfs
    case 0x01021994UL: // tmpfs
    case 0xF2F52010UL: // f2fs
    case 0x3153464AUL: // jfs
    case 0x2FC12FC1UL: // zfs
        return true;
    default: return false;
    }
}

} // namespace

FolderChangeWatch::FolderChangeWatch() = default;

FolderChangeWatch::~FolderChangeWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void FolderChangeWatch::collect()
{
    if (m_fd < 0)
        return;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return; // nothing more reported for now
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= length;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof event);
            at += ssize_t(sizeof(inotify_event) + event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                // Some reports were lost: any folder may have changed.
                for (Watched &watched : m_folders)
                    watched.lookedAt = false;
                continue;
            }
            for (Watched &watched : m_folders) {
                if (watched.descriptor != event.wd)
                    continue;
                watched.lookedAt = false;
                if (event.mask & IN_IGNORED)
                    watched.descriptor = -1; // the kernel dropped the watch (the folder went)
            }
        }
    }
}

bool FolderChangeWatch::isQuiet(const QString &folder, dev_t device, ino_t inode) const
{
    const auto found = m_folders.constFind(folder);
    return found != m_folders.constEnd() && found->descriptor >= 0 && found->lookedAt && found->device == device
           && found->inode == inode;
}

void FolderChangeWatch::watch(const QString &folder, dev_t device, ino_t inode)
{
    // Made with the first watch: a pass that watches nothing costs nothing.
    if (m_fd < 0 && !m_unavailable) {
        m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        m_unavailable = m_fd < 0;
    }
    if (m_fd < 0)
        return;
    const auto found = m_folders.find(folder);
    if (found != m_folders.end() && found->descriptor >= 0 && found->device == device && found->inode == inode) {
        found->lookedAt = false;
        return;
    }
    forget(folder);
    const QByteArray path = QFile::encodeName(folder);
    if (!isLocalFileSystem(path))
        return;
    const int descriptor = ::inotify_add_watch(m_fd, path.constData(), kChanges);
    if (descriptor < 0)
        return; // out of watches, say: the folder is looked at in full each time
    // The watch must be on the folder the caller read, not one put in its
    // place meanwhile.
    struct stat status { };
    if (::stat(path.constData(), &status) != 0 || status.st_dev != device || status.st_ino != inode) {
        bool shared = false;
        for (const Watched &watched : std::as_const(m_folders))
            shared = shared || watched.descriptor == descriptor;
        if (!shared)
            ::inotify_rm_watch(m_fd, descriptor);
        return;
    }
    m_folders.insert(folder, Watched{descriptor, device, inode, false});
}

void FolderChangeWatch::lookedAtInFull(const QString &folder)
{
    const auto found = m_folders.find(folder);
    if (found != m_folders.end() && found->descriptor >= 0)
        found->lookedAt = true;
}

void FolderChangeWatch::keepOnly(const QSet<QString> &folders)
{
    const QList<QString> watched = m_folders.keys();
    for (const QString &folder : watched) {
        if (!folders.contains(folder))
            forget(folder);
    }
}

void FolderChangeWatch::forget(const QString &folder)
{
    const auto found = m_folders.constFind(folder);
    if (found == m_folders.constEnd())
        return;
    const int descriptor = found->descriptor;
    m_folders.erase(found);
    if (descriptor < 0)
        return;
    // Two paths to one folder share the kernel's watch.
    for (const Watched &watched : std::as_const(m_folders)) {
        if (watched.descriptor == descriptor)
            return;
    }
    ::inotify_rm_watch(m_fd, descriptor);
}

} // namespace kolu
