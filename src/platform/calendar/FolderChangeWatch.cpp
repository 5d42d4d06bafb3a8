#include "platform/calendar/FolderChangeWatch.h"

#include <QFile>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>

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
FolderChangeWatch::~FolderChangeWatch() = default;

void FolderChangeWatch::collect()
{
    m_openAsked = false;
    m_channel.read([this](const InotifyChannel::Report &report) {
        if (report.mask & IN_Q_OVERFLOW) {
            // Some reports were lost: any folder may have changed.
            for (Watched &watched : m_folders)
                watched.lookedAt = false;
            return;
        }
        for (Watched &watched : m_folders) {
            if (watched.descriptor != report.watch)
                continue;
            watched.lookedAt = false;
            if (report.mask & IN_IGNORED)
                watched.descriptor = -1; // the kernel dropped the watch (the folder went)
        }
    });
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
    // Refused, it is asked for once a pass, and folders are looked at in full.
    if (!m_channel.isOpen() && !m_openAsked) {
        m_openAsked = true;
        m_channel.open();
    }
    if (!m_channel.isOpen())
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
    const int descriptor = m_channel.add(path, kChanges);
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
            m_channel.remove(descriptor);
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
    m_channel.remove(descriptor);
}

} // namespace kolu
