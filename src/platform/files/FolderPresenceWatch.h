#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class QFileSystemWatcher;

namespace kolu {

// Tells when a folder a store reads from may hold something new: an entry
// added, removed or renamed right in it, or the folder itself gone or back.
// A folder that is missing is looked for through its nearest existing
// parent, so one moved away and back (or made later) is noticed without a
// manual refresh. Reports from one turn of the event loop come as one.
class FolderPresenceWatch final : public QObject {
    Q_OBJECT
public:
    explicit FolderPresenceWatch(QObject *parent = nullptr);
    ~FolderPresenceWatch() override;

    // Watches `folders` (absolute paths) from now on, instead of those before.
    void setFolders(const QStringList &folders);
    QStringList folders() const { return m_folders; }

Q_SIGNALS:
    void changed();

private:
    void rewatch();
    void onReport(const QString &path);

    QFileSystemWatcher *m_watcher;
    QStringList m_folders;
    QStringList m_present;    // the folders of m_folders there at the last look
    QSet<QString> m_reported; // paths reported since the last look
    bool m_reportQueued = false;
};

// Owns a watch from an object that may go on another thread (a store a
// worker holds last): the watch goes on its own thread.
struct FolderPresenceWatchDeleter {
    void operator()(FolderPresenceWatch *watch) const;
};
using FolderPresenceWatchPtr = std::unique_ptr<FolderPresenceWatch, FolderPresenceWatchDeleter>;

} // namespace kolu
