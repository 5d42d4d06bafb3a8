#include "platform/calendar/CalendarFolders.h"

#include "model/FilePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <dirent.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

bool isInside(const QString &path, const QString &folder)
{
    return path.startsWith(QString(folder + u'/'));
}

} // namespace

QStringList defaultCalendarRootCandidates(const QString &home)
{
    return {QDir(home).filePath(u".local/share/calendars"_s), QDir(home).filePath(u".calendars"_s)};
}

std::optional<QString> chosenCalendarRoot(const std::optional<QString> &configured, const QString &home)
{
    const QString path = configured.value_or(QString()).trimmed();
    if (path.isEmpty())
        return std::nullopt;
    return expandHomePrefix(path, home);
}

QString resolveCalendarRoot(const std::optional<QString> &configured, const QString &home)
{
    if (const std::optional<QString> chosen = chosenCalendarRoot(configured, home))
        return *chosen;
    const QStringList candidates = defaultCalendarRootCandidates(home);
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    return candidates.first();
}

bool isUsableFolder(const QString &path, bool writable)
{
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable() && (!writable || info.isWritable());
}

std::vector<CalendarCollection> calendarCollections(const QString &root)
{
    std::vector<CalendarCollection> collections;
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonicalRoot.isEmpty())
        return collections;
    const QFileInfoList entries = QDir(canonicalRoot).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString resolved = entry.canonicalFilePath();
        if (resolved.isEmpty() || !isInside(resolved, canonicalRoot) || !QFileInfo(resolved).isDir())
            continue;
        collections.push_back({entry.fileName(), resolved});
    }
    return collections;
}

QStringList calendarItemFiles(const QString &collectionPath)
{
    QStringList files;
    const QString folder = QFileInfo(collectionPath).canonicalFilePath();
    if (folder.isEmpty())
        return files;
    // The folder's own listing tells which entries are plain files: only
    // links (and entries of a kind it does not tell) are looked at one by
    // one, so a folder of thousands of items lists at the cost of reading it.
    struct Entry {
        QString name;
        unsigned char type;
    };
    std::vector<Entry> entries;
    DIR *directory = ::opendir(QFile::encodeName(folder).constData());
    if (!directory)
        return files;
    while (const dirent *entry = ::readdir(directory)) {
        if (entry->d_name[0] == '.')
            continue;
        QString name = QFile::decodeName(entry->d_name);
        if (name.endsWith(u".ics"_s, Qt::CaseInsensitive))
            entries.push_back({std::move(name), entry->d_type});
    }
    ::closedir(directory);
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
    const bool allPlain =
        std::all_of(entries.begin(), entries.end(), [](const Entry &entry) { return entry.type == DT_REG; });
    if (allPlain) {
        files.reserve(qsizetype(entries.size()));
        for (const Entry &entry : entries)
            files.push_back(folder + u'/' + entry.name);
        return files;
    }
    // A link to another item of the folder is that item again: it is read
    // once, under the item's own name when that is listed too. Any other
    // entry of the resolved folder is its own resolved path.
    QSet<QString> named;
    std::vector<QString> paths;
    std::vector<QString> resolvedPaths;
    paths.reserve(entries.size());
    resolvedPaths.reserve(entries.size());
    for (const Entry &entry : entries) {
        paths.push_back(folder + u'/' + entry.name);
        const QString &path = paths.back();
        if (entry.type == DT_REG) {
            resolvedPaths.push_back(path);
        } else {
            const QFileInfo info(path);
            resolvedPaths.push_back(info.isFile() ? info.canonicalFilePath() : QString());
        }
        if (resolvedPaths.back() == path)
            named.insert(path);
    }
    QSet<QString> seen;
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString &resolved = resolvedPaths[i];
        if (resolved.isEmpty() || !isInside(resolved, folder))
            continue;
        const bool isLink = resolved != paths[i];
        if ((isLink && named.contains(resolved)) || seen.contains(resolved))
            continue;
        seen.insert(resolved);
        files.push_back(resolved);
    }
    return files;
}

} // namespace kolu
