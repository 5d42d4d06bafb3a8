#include "platform/calendar/CalendarFileCache.h"

#include "platform/calendar/CalendarFileReading.h"
#include "platform/calendar/CalendarFolders.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentMap>

#include <dirent.h>
#include <sys/stat.h>

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

std::shared_ptr<const ICalFile> parseFile(const QString &path)
{
    auto content = std::make_shared<ICalFile>();
    if (const auto bytes = readCalendarItemFile(path))
        *content = readICalendar(*bytes);
    return content;
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
    const timespec readAt = m_wallClock();
    QHash<QString, Listing> kept;
    std::vector<QStringList> result;
    result.reserve(folders.size());
    for (const QString &folder : folders) {
        // The folder's times are taken before its entries are: a change
        // after this moment shows as new times next time.
        const std::optional<FileStamp> stamp = folderStampOf(folder);
        const auto known = m_folders.constFind(folder);
        if (stamp && known != m_folders.constEnd() && known->reusable && known->stamp == *stamp) {
            kept.insert(folder, *known);
            result.push_back(known->files);
            continue;
        }
        Listing listing;
        listing.reusable = stamp && isSettled(*stamp, readAt) && !holdsLinks(folder);
        listing.files = calendarItemFiles(folder);
        ++m_listings;
        if (stamp) {
            listing.stamp = *stamp;
            kept.insert(folder, listing);
        }
        result.push_back(std::move(listing.files));
    }
    m_folders = std::move(kept);
    return result;
}

std::vector<std::shared_ptr<const ICalFile>> CalendarFileCache::contents(const QStringList &paths)
{
    // The clock is read before the files: a change after this moment gives
    // the file a time that cannot pass for settled.
    const timespec readAt = m_wallClock();

    QHash<QString, Entry> kept;
    kept.reserve(paths.size());
    QStringList toParse;
    std::vector<FileStamp> toParseStamps;
    for (const QString &path : paths) {
        const std::optional<FileStamp> stamp = fileStampOf(path);
        if (!stamp)
            continue; // gone since the listing: read as empty below
        const auto known = m_entries.constFind(path);
        if (known != m_entries.constEnd() && known->settled && known->stamp == *stamp) {
            kept.insert(path, *known);
            continue;
        }
        toParse.push_back(path);
        toParseStamps.push_back(*stamp);
    }
    // Parsing is most of the work: it runs on all cores.
    const QList<std::shared_ptr<const ICalFile>> parsed = QtConcurrent::blockingMapped(toParse, &parseFile);
    m_parses += parsed.size();
    for (qsizetype i = 0; i < toParse.size(); ++i)
        kept.insert(toParse[i],
                    Entry{toParseStamps[size_t(i)], isSettled(toParseStamps[size_t(i)], readAt), parsed[i]});
    m_entries = std::move(kept);

    static const auto empty = std::make_shared<const ICalFile>();
    std::vector<std::shared_ptr<const ICalFile>> result;
    result.reserve(size_t(paths.size()));
    for (const QString &path : paths) {
        const auto entry = m_entries.constFind(path);
        result.push_back(entry == m_entries.constEnd() ? empty : entry->content);
    }
    return result;
}

} // namespace kolu
