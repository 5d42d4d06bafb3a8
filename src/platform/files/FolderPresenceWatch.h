#pragma once

#include "platform/files/InotifyChannel.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

namespace kolu {

// Tells when a folder a store reads from may hold something new: an entry
// added, removed or renamed right in it, or the folder itself gone or back,
// whether deleted, made or moved either way, itself or any folder above it.
// Each folder above is watched for the one name that leads on to the folder,
// so a folder moved away and back (or made later) is noticed without a
// manual refresh, and nothing else there is. Reports from one turn of the
// event loop come as one.
class FolderPresenceWatch final : public QObject {
    Q_OBJECT
public:
    explicit FolderPresenceWatch(QObject *parent = nullptr);
    ~FolderPresenceWatch() override;

    // Watches `folders` (absolute paths) from now on, instead of those
    // before. Each call looks for them afresh, so that a refresh finds them
    // wherever the path leads now.
    void setFolders(const QStringList &folders);
    QStringList folders() const { return m_folders; }

    // How many reports were taken in that concern none of the folders.
    qint64 ignoredCount() const { return m_ignored; }

Q_SIGNALS:
    void changed();

private:
    void rewatch();
    void takeReports();
    bool concerns(const InotifyChannel::Report &report) const;

    InotifyChannel m_channel;
    QStringList m_folders;
    QSet<QString> m_cleanFolders;
    // What each watch stands for: a folder, or a folder above one or more.
    QHash<int, QStringList> m_watched;
    // For each folder above, the names in it that lead on to a folder.
    QHash<QString, QSet<QString>> m_leadingNames;
    bool m_reportQueued = false;
    qint64 m_ignored = 0;
};

// Owns a watch from an object that may go on another thread (a store a
// worker holds last): the watch goes on its own thread.
struct FolderPresenceWatchDeleter {
    void operator()(FolderPresenceWatch *watch) const;
};
using FolderPresenceWatchPtr = std::unique_ptr<FolderPresenceWatch, FolderPresenceWatchDeleter>;

} // namespace kolu
