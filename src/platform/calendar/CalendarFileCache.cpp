#include "platform/calendar/CalendarFileCache.h"

#include "platform/calendar/CalendarFileReading.h"
#include "platform/calendar/CalendarFolders.h"

#include <QFile>
#include <QSet>
#include <QThreadPool>
#include <QtDebug>
#include <QtConcurrent/QtConcurrentMap>

#include <dirent.h>
#include <sys/stat.h>

#include <utility>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Times this close to the moment of reading may share a tick of the file
// system's clock with a later change (some file systems keep whole seconds,
// or even two).
constexpr time_t kSettlingSeconds = 2;

bool sameTime(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool isSettled(const FileStamp &stamp, const timespec &readAt)
{
    const auto oldEnough = [&](const timespec &time) { return time.tv_sec + kSettlingSeconds < readAt.tv_sec; };
    return oldEnough(stamp.modified) && oldEnough(stamp.changed);
}

std::optional<FileStamp> stampOf(const QString &path, mode_t type)
{
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || (status.st_mode & S_IFMT) != type)
        return std::nullopt;
    return FileStamp{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
}

// Whether a folder holds a symbolic link, or an entry whose kind the folder
// does not tell (taken for one). Unreadable folders count as holding links,
// so they are never taken as known.
bool holdsLinks(const QString &folder)
{
    DIR *directory = ::opendir(QFile::encodeName(folder).constData());
    if (!directory)
        return true;
    bool found = false;
    while (const dirent *entry = ::readdir(directory)) {
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            found = true;
            break;
        }
    }
    ::closedir(directory);
    return found;
}

std::shared_ptr<const ICalFile> parseFile(const QString &path, const std::stop_token &stop)
{
    auto content = std::make_shared<ICalFile>();
    QString lineLeftOut;
    if (const auto bytes = readCalendarItemFile(path, stop, &lineLeftOut)) {
        *content = readICalendar(*bytes, stop);
        if (!lineLeftOut.isEmpty())
            content->lineLeftOut = lineLeftOut;
    } else {
        content->problem = u"it cannot be read, or is too large to list"_s;
    }
    return content;
}

// Parsing runs on workers of its own: a read runs on a worker of the shared
// pool, and waiting there for work queued on that same pool could wait for
// ever once every worker of it waits the same way. Nothing run here waits
// for anything.
QThreadPool &parsePool()
{
    static QThreadPool *const pool = [] {
        auto *made = new QThreadPool;
        made->setExpiryTimeout(5000);
        return made;
    }();
    return *pool;
}

} // namespace

bool FileStamp::operator==(const FileStamp &other) const
{
    return device == other.device && inode == other.inode && size == other.size && sameTime(modified, other.modified)
           && sameTime(changed, other.changed);
}

std::optional<FileStamp> fileStampOf(const QString &path)
{
    return stampOf(path, S_IFREG);
}

std::optional<FileStamp> folderStampOf(const QString &path)
{
    return stampOf(path, S_IFDIR);
}

CalendarFileCache::CalendarFileCache(std::function<timespec()> wallClock)
    : m_wallClock(std::move(wallClock))
{
    if (!m_wallClock) {
        m_wallClock = [] {
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            return now;
        };
    }
}

std::vector<QStringList> CalendarFileCache::itemFiles(const std::vector<QString> &folders)
{
    // What was reported before this moment is taken in first: a change after
    // it shows next time.
    m_watch.collect();
    m_passFolders.clear();
    QSet<QString> watched;
    const timespec readAt = m_wallClock();
    QHash<QString, Listing> kept;
    std::vector<QStringList> result;
    result.reserve(folders.size());
    bool repeats = m_lastAllSettled && folders == m_lastFolders;
    for (const QString &folder : folders) {
        // The folder's times are taken before its entries are: a change
        // after this moment shows as new times next time.
        const std::optional<FileStamp> stamp = folderStampOf(folder);
        const auto known = m_folders.constFind(folder);
        const bool reused = stamp && known != m_folders.constEnd() && known->reusable && known->stamp == *stamp;
        Listing listing;
        if (reused) {
            listing = *known;
        } else {
            listing.reusable = stamp && isSettled(*stamp, readAt) && !holdsLinks(folder);
            listing.files = calendarItemFiles(folder);
            ++m_listings;
            if (stamp)
                listing.stamp = *stamp;
        }
        // Without links, every file listed sits right in the resolved folder.
        if (listing.reusable && !listing.files.isEmpty()) {
            const QString &first = listing.files.constFirst();
            const QString resolved = first.left(first.lastIndexOf(u'/'));
            const bool quiet = reused && m_watch.isQuiet(resolved, stamp->device, stamp->inode);
            if (!quiet) {
                m_watch.watch(resolved, stamp->device, stamp->inode);
                repeats = false;
            }
            m_passFolders.insert(resolved, quiet);
            watched.insert(resolved);
        }
        if (stamp)
            kept.insert(folder, listing);
        repeats = repeats && reused;
        result.push_back(std::move(listing.files));
    }
    m_folders = std::move(kept);
    m_watch.keepOnly(watched);
    m_lastFolders = folders;
    m_repeatsLastPass = repeats;
    if (!repeats)
        m_lastPass.reset();
    return result;
}

std::vector<std::shared_ptr<const ICalFile>> CalendarFileCache::contents(const QStringList &paths,
                                                                         const std::stop_token &stop)
{
    // The clock is read before the files: a change after this moment gives
    // the file a time that cannot pass for settled.
    const timespec readAt = m_wallClock();
    const QHash<QString, bool> passFolders = std::exchange(m_passFolders, {});

    static const auto empty = std::make_shared<const ICalFile>();
    std::vector<std::shared_ptr<const ICalFile>> result(size_t(paths.size()), empty);
    QStringList toParse;
    std::vector<FileStamp> toParseStamps;
    std::vector<size_t> toParsePlaces;
    bool anyGone = false;
    QStringView folder;
    bool quiet = false;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths[i];
        const QStringView pathFolder = QStringView(path).left(path.lastIndexOf(u'/'));
        if (pathFolder != folder) {
            folder = pathFolder;
            quiet = passFolders.value(folder.toString(), false);
        }
        const auto known = m_entries.constFind(path);
        if (quiet && known != m_entries.constEnd() && known->settled) {
            result[size_t(i)] = known->content;
            continue;
        }
        ++m_checks;
        const std::optional<FileStamp> stamp = fileStampOf(path);
        if (!stamp) {
            anyGone = true; // gone since the listing: read as empty
            continue;
        }
        if (known != m_entries.constEnd() && known->settled && known->stamp == *stamp) {
            result[size_t(i)] = known->content;
            continue;
        }
        toParse.push_back(path);
        toParseStamps.push_back(*stamp);
        toParsePlaces.push_back(size_t(i));
    }
    // Every file that is not quiet was looked at, after its folder was
    // watched and what was reported had been taken in.
    for (auto it = passFolders.constBegin(); it != passFolders.constEnd(); ++it) {
        if (!it.value())
            m_watch.lookedAtInFull(it.key());
    }
    if (toParse.isEmpty() && !anyGone && paths == m_lastPaths) {
        // The very contents of the last call, each from a settled entry.
        m_lastAllSettled = true;
        return result;
    }

    // Parsing is most of the work: it runs on all cores.
    const QList<std::shared_ptr<const ICalFile>> parsed =
        QtConcurrent::blockingMapped(&parsePool(), toParse, [stop](const QString &path) {
            return stop.stop_requested() ? std::shared_ptr<const ICalFile>() : parseFile(path, stop);
        });
    if (stop.stop_requested()) {
        // Nothing of this pass is kept, so no folder counts as looked at.
        m_watch.keepOnly({});
        m_lastAllSettled = false;
        m_lastPaths.clear();
        return result;
    }
    m_parses += parsed.size();
    for (qsizetype i = 0; i < toParse.size(); ++i)
        result[toParsePlaces[size_t(i)]] = parsed[i];

    QHash<QString, Entry> kept;
    kept.reserve(paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const auto known = m_entries.constFind(paths[i]);
        if (known != m_entries.constEnd() && known->content == result[size_t(i)])
            kept.insert(paths[i], *known);
    }
    bool allSettled = !anyGone;
    for (qsizetype i = 0; i < toParse.size(); ++i) {
        // A file that gives nothing, or leaves a line out, is named once each
        // time it changes: not again when it is parsed while its times settle.
        const ICalFile &content = *parsed[i];
        const auto known = m_entries.constFind(toParse[i]);
        const bool toldAlready = known != m_entries.constEnd() && known->stamp == toParseStamps[size_t(i)]
                                 && known->content->problem == content.problem
                                 && known->content->lineLeftOut == content.lineLeftOut;
        if (!toldAlready && !content.problem.isEmpty())
            qWarning().noquote() << "Skipping calendar file" << toParse[i] << "because" << content.problem;
        else if (!toldAlready && !content.lineLeftOut.isEmpty())
            qWarning().noquote() << "Leaving a line out of calendar file" << toParse[i] << "because"
                                 << content.lineLeftOut;
        const bool settled = isSettled(toParseStamps[size_t(i)], readAt);
        allSettled = allSettled && settled;
        kept.insert(toParse[i], Entry{toParseStamps[size_t(i)], settled, parsed[i]});
    }
    m_entries = std::move(kept);
    m_toldOfCut.removeIf([this](const auto &told) { return !m_entries.contains(told.key()); });
    m_lastAllSettled = allSettled;
    m_lastPaths = paths;
    ++m_revision;
    return result;
}

bool CalendarFileCache::firstToldOfCut(const QString &path)
{
    const auto entry = m_entries.constFind(path);
    if (entry == m_entries.constEnd())
        return true;
    const auto told = m_toldOfCut.constFind(path);
    if (told != m_toldOfCut.constEnd() && *told == entry->stamp)
        return false;
    m_toldOfCut.insert(path, entry->stamp);
    return true;
}

} // namespace kolu
