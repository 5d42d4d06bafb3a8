#include "platform/files/FolderPresenceWatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QtDebug>

#include <sys/inotify.h>

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
{
    m_channel.whenReady([this] { takeReports(); });
    if (!m_channel.open())
        qWarning() << "Folders cannot be watched:" << m_channel.errorText();
}

FolderPresenceWatch::~FolderPresenceWatch() = default;

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
    if (!m_channel.isOpen())
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
            const int watch = m_channel.add(QFile::encodeName(path), kWatchedEvents);
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
            m_channel.remove(it.key());
    }
    m_watched = std::move(watched);
}

bool FolderPresenceWatch::concerns(const InotifyChannel::Report &report) const
{
    if (report.mask & IN_Q_OVERFLOW)
        return true; // reports were lost: any of them may have mattered
    if (report.mask & IN_IGNORED)
        return false; // a watch let go
    const auto paths = m_watched.constFind(report.watch);
    if (paths == m_watched.constEnd())
        return false; // from a watch let go since
    const QString name = QFile::decodeName(QByteArray(report.name.data(), qsizetype(report.name.size())));
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
    bool relevant = false;
    m_channel.read([&](const InotifyChannel::Report &report) {
        if (concerns(report))
            relevant = true;
        else
            ++m_ignored;
    });
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
