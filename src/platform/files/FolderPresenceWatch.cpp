#include "platform/files/FolderPresenceWatch.h"

#include "model/Clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QtDebug>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Entries made, removed or renamed, and the watched folder itself moved,
// removed or given other rights. A folder renamed reports nothing in itself
// but its move: its parent tells the name it left or came under. Each folder
// watched is one the way was resolved to, never a link.
constexpr uint32_t kWatchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF
                                    | IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW;

// As many links on one way as the kernel follows before it gives up.
constexpr int kMaxLinks = 40;

QString childOf(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? QString(folder + name) : QString(folder + u'/' + name);
}

} // namespace

FolderPresenceWatch::FolderPresenceWatch(QObject *parent)
    : FolderPresenceWatch(SystemClock::instance(), {}, {}, parent)
{
}

FolderPresenceWatch::FolderPresenceWatch(Clock &clock, InotifyChannel::Opener opener, InotifyChannel::WatchAdder adder,
                                         QObject *parent)
    : QObject(parent)
    , m_channel(std::move(opener), std::move(adder))
    , m_clock(clock)
{
    m_channel.whenReady([this] { takeReports(); });
    if (start())
        settle();
}

FolderPresenceWatch::~FolderPresenceWatch() = default;

void FolderPresenceWatchDeleter::operator()(FolderPresenceWatch *watch) const
{
    watch->deleteLater();
}

bool FolderPresenceWatch::start()
{
    if (m_channel.open())
        return true;
    refused("Folders cannot be watched:", m_channel.errorText());
    return false;
}

void FolderPresenceWatch::refused(const QByteArray &what, const QByteArray &why)
{
    if (!m_refused)
        qWarning().noquote() << what << why;
    m_refused = true;
    if (!m_retry) {
        m_retry = m_clock.createTimer(this);
        connect(m_retry, &ClockTimer::timeout, this, &FolderPresenceWatch::retry);
    }
    if (!m_retry->isActive())
        m_retry->start(m_retryDelay, false);
}

void FolderPresenceWatch::settle()
{
    if (m_refused)
        qInfo() << "Folders are watched again";
    m_refused = false;
    if (m_retry)
        m_retry->stop();
    m_retryDelay = kFirstRetry;
}

void FolderPresenceWatch::retry()
{
    m_retryDelay = std::min(m_retryDelay * 2, kLongestRetry);
    if (!start())
        return;
    rewatch();
    if (m_refused)
        return; // a watch is still refused: asked again later
    // Anything may have moved while not all was watched.
    Q_EMIT changed();
}

void FolderPresenceWatch::setFolders(const QStringList &folders)
{
    m_folders = folders;
    if (start())
        rewatch();
}

void FolderPresenceWatch::rewatch()
{
    if (!m_channel.isOpen())
        return;
    m_reached.clear();
    m_leadingNames.clear();
    m_watchRefused = false;
    m_refusedPath.clear();
    Watches watched;
    for (const QString &folder : std::as_const(m_folders))
        follow(folder, watched);
    // What a path led to before and no longer does is let go.
    for (auto it = m_watched.constBegin(); it != m_watched.constEnd(); ++it) {
        if (!watched.contains(it.key()))
            m_channel.remove(it.key());
    }
    m_watched = std::move(watched);
    if (m_watchRefused)
        refused("A folder cannot be watched:", m_refusedPath);
    else
        settle();
}

void FolderPresenceWatch::follow(const QString &folder, Watches &watches)
{
    // The way from the root, one name at a time; a link puts its target's
    // names in front of those still ahead.
    QStringList ahead = QDir::cleanPath(folder).split(u'/', Qt::SkipEmptyParts);
    QString at = u"/"_s;
    int links = 0;
    while (!ahead.isEmpty()) {
        const QString name = ahead.takeFirst();
        if (name == u"."_s)
            continue;
        if (name == u".."_s) {
            at = QFileInfo(at).path();
            continue;
        }
        watch(at, name, watches);
        const QString next = childOf(at, name);
        const QByteArray encoded = QFile::encodeName(next);
        struct stat status { };
        if (::lstat(encoded.constData(), &status) != 0)
            return; // not there (yet): the folder above waits for its name
        if (S_ISLNK(status.st_mode)) {
            QByteArray target(PATH_MAX, Qt::Uninitialized);
            const ssize_t length = ::readlink(encoded.constData(), target.data(), size_t(target.size()));
            if (length <= 0 || length >= target.size() || ++links > kMaxLinks)
                return;
            target.truncate(length);
            const QString resolved = QFile::decodeName(target);
            if (resolved.startsWith(u'/'))
                at = u"/"_s;
            ahead = resolved.split(u'/', Qt::SkipEmptyParts) + ahead;
            continue;
        }
        if (!S_ISDIR(status.st_mode))
            return; // a file in the way: the folder above waits for it to change
        at = next;
    }
    watch(at, QString(), watches);
}

void FolderPresenceWatch::watch(const QString &folder, const QString &leadingName, Watches &watches)
{
    if (leadingName.isEmpty())
        m_reached.insert(folder);
    else
        m_leadingNames[folder].insert(leadingName);
    const QByteArray path = QFile::encodeName(folder);
    const int watch = m_channel.add(path, kWatchedEvents);
    if (watch < 0) {
        const int error = errno;
        // Out of watches (or of kernel memory) is asked again later; a
        // folder gone meanwhile, or not to be read, is left to the folder
        // above it.
        if ((error == ENOSPC || error == ENOMEM) && !m_watchRefused) {
            m_watchRefused = true;
            m_refusedPath = path + ": " + qt_error_string(error).toLocal8Bit();
        }
        return;
    }
    if (!watches[watch].contains(folder))
        watches[watch].push_back(folder);
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
        // Anything right in a folder reached, anything of a folder on the
        // way itself, and the one name in it that leads on.
        if (m_reached.contains(path) || name.isEmpty() || m_leadingNames.value(path).contains(name))
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
        // A folder moved, or one on the way to it, leads somewhere else now.
        rewatch();
        Q_EMIT changed();
    });
}

} // namespace kolu
