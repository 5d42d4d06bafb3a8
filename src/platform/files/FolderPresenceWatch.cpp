#include "platform/calendar/FolderPresenceWatch.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <QTimer>

#include <utility>

namespace kolu {

namespace {

// The folder itself while it is there, else its nearest parent that is.
QString watchedPathFor(const QString &folder)
{
    QString path = QDir::cleanPath(folder);
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            return {};
        path = parent;
    }
    return path;
}

} // namespace

FolderPresenceWatch::FolderPresenceWatch(QObject *parent)
    : QObject(parent)
    , m_watcher(new QFileSystemWatcher(this))
{
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderPresenceWatch::onReport);
}

FolderPresenceWatch::~FolderPresenceWatch() = default;

void FolderPresenceWatchDeleter::operator()(FolderPresenceWatch *watch) const
{
    watch->deleteLater();
}

void FolderPresenceWatch::setFolders(const QStringList &folders)
{
    if (folders == m_folders)
        return;
    m_folders = folders;
    rewatch();
}

void FolderPresenceWatch::rewatch()
{
    QSet<QString> wanted;
    m_present.clear();
    for (const QString &folder : std::as_const(m_folders)) {
        const QString path = watchedPathFor(folder);
        if (!path.isEmpty())
            wanted.insert(path);
        if (QFileInfo(folder).isDir())
            m_present.push_back(folder);
    }
    const QStringList watched = m_watcher->directories();
    QStringList stale;
    for (const QString &path : watched) {
        if (!wanted.contains(path))
            stale.push_back(path);
    }
    if (!stale.isEmpty())
        m_watcher->removePaths(stale);
    QStringList added;
    for (const QString &path : std::as_const(wanted)) {
        if (!watched.contains(path))
            added.push_back(path);
    }
    if (!added.isEmpty())
        m_watcher->addPaths(added);
}

void FolderPresenceWatch::onReport(const QString &path)
{
    m_reported.insert(path);
    // A folder made, then filled, reports more than once in a moment.
    if (m_reportQueued)
        return;
    m_reportQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_reportQueued = false;
        const QStringList presentBefore = m_present;
        const QSet<QString> reported = std::exchange(m_reported, {});
        rewatch();
        // A report about a parent matters only when one of the folders came
        // or went; one about a folder itself always does.
        bool relevant = presentBefore != m_present;
        for (const QString &folder : std::as_const(m_folders))
            relevant = relevant || reported.contains(QDir::cleanPath(folder));
        if (relevant)
            Q_EMIT changed();
    });
}

} // namespace kolu
