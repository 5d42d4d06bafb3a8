#include "platform/calendar/CalendarFolders.h"

#include "model/FilePath.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

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
    const QFileInfoList entries =
        QDir(folder).entryInfoList({u"*.ics"_s}, QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    // A link to another item of the folder is that item again: it is read
    // once, under the item's own name when that is listed too. An entry is a
    // link when its resolved path is not its own (the folder is resolved).
    QSet<QString> named;
    QStringList resolvedPaths;
    for (const QFileInfo &entry : entries) {
        resolvedPaths.push_back(entry.canonicalFilePath());
        if (resolvedPaths.back() == entry.absoluteFilePath())
            named.insert(resolvedPaths.back());
    }
    QSet<QString> seen;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString &resolved = resolvedPaths[i];
        if (resolved.isEmpty() || !isInside(resolved, folder) || !QFileInfo(resolved).isFile())
            continue;
        const bool isLink = resolved != entries[i].absoluteFilePath();
        if ((isLink && named.contains(resolved)) || seen.contains(resolved))
            continue;
        seen.insert(resolved);
        files.push_back(resolved);
    }
    return files;
}

} // namespace kolu
