#pragma once

#include "platform/files/InotifyChannel.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

namespace kolu {

class Clock;
class ClockTimer;

// Tells when a folder a store reads from may hold something new: an entry
// added, removed or renamed right in it, or the folder itself gone or back,
// whether deleted, made or moved either way, itself or any folder on the way
// to it. The way is followed as the kernel resolves it: each folder on it is
// watched for the one name that leads on, and a link on it leads on along
// its target's own way. So a folder moved away and back (or made later, or a
// link pointed elsewhere) is noticed without a manual refresh, and nothing
// else there is; after each change the way is resolved again. Reports from
// one turn of the event loop come as one.
//
// When the kernel refuses the instance or a single watch (each user has
// only so many of either), it is asked again after a while, longer each time
// up to a bound, and on each setFolders(); once all is watched, a change is
// reported, since the folders may have moved meanwhile.
class FolderPresenceWatch final : public QObject {
    Q_OBJECT
public:
    explicit FolderPresenceWatch(QObject *parent = nullptr);
    FolderPresenceWatch(Clock &clock, InotifyChannel::Opener opener, InotifyChannel::WatchAdder adder = {},
                        QObject *parent = nullptr);
    ~FolderPresenceWatch() override;

    // Watches `folders` (absolute paths) from now on, instead of those
    // before. Each call looks for them afresh, so that a refresh finds them
    // wherever the path leads now.
    void setFolders(const QStringList &folders);
    QStringList folders() const { return m_folders; }

    // Whether every folder on the ways is watched.
    bool isWatching() const { return m_channel.isOpen() && !m_watchRefused; }
    // How many reports were taken in that concern none of the folders.
    qint64 ignoredCount() const { return m_ignored; }

    static constexpr std::chrono::milliseconds kFirstRetry{1000};
    static constexpr std::chrono::milliseconds kLongestRetry{60000};

Q_SIGNALS:
    void changed();

private:
    using Watches = QHash<int, QStringList>;

    bool start();
    void refused(const QByteArray &what, const QByteArray &why);
    void settle();
    void retry();
    void rewatch();
    void follow(const QString &folder, Watches &watches);
    void watch(const QString &folder, const QString &leadingName, Watches &watches);
    void takeReports();
    bool concerns(const InotifyChannel::Report &report) const;

    InotifyChannel m_channel;
    Clock &m_clock;
    ClockTimer *m_retry = nullptr;
    std::chrono::milliseconds m_retryDelay = kFirstRetry;
    bool m_refused = false;
    // A watch was refused in the last rewatch().
    bool m_watchRefused = false;
    QByteArray m_refusedPath; // the first refused, and why
    QStringList m_folders;
    // The folders reached at the end of each way, watched in full.
    QSet<QString> m_reached;
    // What each watch stands for: one folder or more, by path.
    Watches m_watched;
    // For each folder on a way, the names in it that lead on.
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
