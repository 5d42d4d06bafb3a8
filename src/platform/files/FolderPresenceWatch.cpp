#include "platform/files/FolderPresenceWatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <QtDebug>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace kolu {

namespace {

// Entries made, removed or renamed, and the watched folder itself moved,
// removed or given other rights. A folder renamed reports nothing in itself
// but its move: its parent tells the name it left or came under.
constexpr uint32_t kWatchedEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

FolderPresenceWatch::FolderPresenceWatch(QObject *parent)
    : QObject(parent)
    , m_inotify(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_inotify < 0) {
        qWarning() << "Folders cannot be watched:" << qt_error_string(errno);
        return;
    }
    m_notifier = new QSocketNotifier(m_inotify, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FolderPresenceWatch::takeReports);
}

FolderPresenceWatch::~FolderPresenceWatch()
{
    if (m_inotify >= 0)
        ::close(m_inotify);
}

void FolderPresenceWatchDeleter::operator()(FolderPresenceWatch *watch) const
{
    watch->deleteLater();
}

void FolderPresenceWatch::setFolders(const QStringList &folders)
{
    m_folders = folders;
    rewatch();
}

void FolderPresenceWatch::rewatch()
{
    if (m_inotify < 0)
        return;
    m_cleanFolders.clear();
    m_leadingNames.clear();
    QHash<int, QStringList> watched;
    for (const QString &folder : std::as_const(m_folders)) {
        QString path = QDir::cleanPath(folder);
        m_cleanFolders.insert(path);
        // The folder and every folder above it, up to the root: a watch is
        // taken on whatever each path leads to now.
        QString leadingName;
        for (;;) {
            if (!leadingName.isEmpty())
                m_leadingNames[path].insert(leadingName);
            const int watch = inotify_add_watch(m_inotify, QFile::encodeName(path).constData(), kWatchedEvents);
            if (watch >= 0 && !watched[watch].contains(path))
                watched[watch].push_back(path);
            const QFileInfo info(path);
            const QString parent = info.path();
            if (parent == path)
                break;
            leadingName = info.fileName();
            path = parent;
        }
    }
    // What a path led to before and no longer does is let go.
    for (auto it = m_watched.constBegin(); it != m_watched.constEnd(); ++it) {
        if (!watched.contains(it.key()))
            inotify_rm_watch(m_inotify, it.key());
    }
    m_watched = std::move(watched);
}

bool FolderPresenceWatch::concerns(const inotify_event &event) const
{
    if (event.mask & IN_Q_OVERFLOW)
        return true; // reports were lost: any of them may have mattered
    if (event.mask & IN_IGNORED)
        return false; // a watch let go
    const auto paths = m_watched.constFind(event.wd);
    if (paths == m_watched.constEnd())
        return false; // from a watch let go since
    const QString name = event.len > 0 ? QFile::decodeName(event.name) : QString();
    for (const QString &path : *paths) {
        // Anything right in a folder, anything of a folder above itself, and
        // the one name in it that leads on to a folder.
        if (m_cleanFolders.contains(path) || name.isEmpty() || m_leadingNames.value(path).contains(name))
            return true;
    }
    return false;
}

void FolderPresenceWatch::takeReports()
{
    // Whole reports only: a buffer this size holds at least one of any name length.
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    bool relevant = false;
    for (;;) {
        const ssize_t length = ::read(m_inotify, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (concerns(*event))
                relevant = true;
            else
                ++m_ignored;
        }
    }
    // A folder made, then filled, reports more than once in a moment.
    if (!relevant || m_reportQueued)
        return;
    m_reportQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_reportQueued = false;
        // A folder moved, or one above it, leads somewhere else now.
        rewatch();
        Q_EMIT changed();
    });
}

} // namespace kolu
