#include "platform/calendar/CalendarStoreWork.h"

#include "model/AtomicFile.h"
#include "model/FilePath.h"
#include "platform/calendar/CalendarFileCache.h"
#include "platform/calendar/CalendarFileReading.h"
#include "platform/calendar/CalendarFolders.h"
#include "platform/calendar/GuardedFileReplace.h"
#include "platform/calendar/ICalendarReader.h"
#include "platform/calendar/OccurrenceBudget.h"
#include "platform/calendar/RecurrenceExpansion.h"
#include "platform/calendar/TodoWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUuid>
#include <QtDebug>

#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <mutex>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Every item file below `root`, in folder order and then file order, parsed
// again only where it changed since `cache` last read it; the very list of
// the last pass while the cache finds nothing changed. The caller holds the
// cache's guard.
std::shared_ptr<const std::vector<CalendarItemFile>> loadRoot(const QString &root, CalendarFileCache &cache,
                                                              const std::stop_token &stop)
{
    const std::vector<CalendarCollection> collections = calendarCollections(root);
    std::vector<QString> folders;
    QStringList names;
    for (const CalendarCollection &collection : collections) {
        folders.push_back(collection.path);
        names.push_back(collection.name);
    }
    const std::vector<QStringList> listings = cache.itemFiles(folders);
    std::optional<CalendarFileCache::Pass> &last = cache.lastPass();
    if (cache.repeatsLastPass() && last && last->collectionNames == names)
        return last->files;

    auto files = std::make_shared<std::vector<CalendarItemFile>>();
    QStringList paths;
    for (size_t i = 0; i < collections.size(); ++i) {
        for (const QString &path : listings[i]) {
            files->push_back({collections[i].name, path.mid(path.lastIndexOf(u'/') + 1), path, {}});
            paths.push_back(path);
        }
    }
    std::vector<std::shared_ptr<const ICalFile>> contents = cache.contents(paths, stop);
    if (stop.stop_requested())
        return files;
    for (size_t i = 0; i < files->size(); ++i)
        (*files)[i].content = std::move(contents[i]);
    last = CalendarFileCache::Pass{names, files};
    return files;
}

StoredEvent storedEvent(const QString &seriesId, const EventOccurrence &occurrence)
{
    const ICalEvent &event = *occurrence.event;
    StoredEvent stored;
    stored.seriesId = seriesId;
    stored.title = event.summary;
    stored.start = occurrence.start;
    stored.end = occurrence.end;
    stored.isAllDay = event.start.isDate();
    stored.location = event.location;
    stored.notes = event.description;
    stored.url = event.url;
    for (const ICalAttendee &attendee : event.attendees)
        stored.attendees.push_back({attendee.name, attendee.address});
    return stored;
}

// The bytes of a file with folded lines joined, so that a long UID split over
// two lines is still found by a plain search.
QByteArray unfolded(const QByteArray &bytes)
{
    QByteArray result = bytes;
    result.replace("\r\n ", "").replace("\r\n\t", "").replace("\n ", "").replace("\n\t", "");
    return result;
}

bool fileHoldsTodos(const QString &path)
{
    const auto bytes = readCalendarItemFile(path);
    return bytes && !readICalendar(*bytes).todos.empty();
}

// Why a save into the list folder `list` (named `name`) failed, as far as
// can be told: a folder that takes no writes says so, else only where.
TodoWriteResult notSavedIn(const QString &list, const QString &name)
{
    if (isUsableFolder(list, false) && !isUsableFolder(list, true))
        return {TodoWriteResult::Status::failed, u"Not saved: the list “%1” is read-only."_s.arg(name)};
    return {TodoWriteResult::Status::failed, u"The reminder could not be saved in “%1”."_s.arg(name)};
}

// How often a completion starts over when another program keeps saving the file.
constexpr int kSaveAttempts = 5;

TodoWriteResult writeTodoCompletionIn(const QString &path, const QString &collection, const QByteArray &wanted,
                                      const QString &id, bool completed, const QDateTime &now,
                                      const SaveDeviceWrapper &wrap)
{
    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        const auto original = readWholeFile(path, kMaxCalendarItemFileSize);
        if (!original) {
            // A file too large to rewrite safely is left alone, and says so.
            const auto reduced = attempt == 0 ? readCalendarItemFile(path) : std::nullopt;
            if (reduced && unfolded(*reduced).contains(wanted)) {
                for (const ICalTodo &todo : readICalendar(*reduced).todos) {
                    if (todo.uid == id)
                        return {TodoWriteResult::Status::failed,
                                u"The reminder’s file is too large to change safely, so it was left unchanged."_s};
                }
            }
            return {TodoWriteResult::Status::notFound, {}};
        }
        if (!unfolded(*original).contains(wanted))
            return {TodoWriteResult::Status::notFound, {}};
        const TodoEditResult edit = withTodoCompletion(*original, id, completed, now);
        if (edit.status == TodoEditResult::Status::notFound)
            return {TodoWriteResult::Status::notFound, {}};
        if (edit.status == TodoEditResult::Status::unreadable)
            return {TodoWriteResult::Status::failed,
                    u"The reminder’s file could not be read cleanly, so it was left unchanged."_s};
        switch (replaceFileIfUnchanged(path, *original, edit.bytes, wrap)) {
        case GuardedReplace::replaced: return {TodoWriteResult::Status::saved, {}};
        case GuardedReplace::failed: return notSavedIn(QFileInfo(path).path(), collection);
        case GuardedReplace::changedMeanwhile:
            // Another program saved the file meanwhile: start over from its version.
            break;
        }
    }
    return {TodoWriteResult::Status::failed, u"Not saved: it kept changing."_s};
}

ReminderItem reminderItem(const ICalTodo &todo, const QTimeZone &localZone)
{
    ReminderItem item;
    item.id = todo.uid;
    item.title = todo.summary.value_or(u"Untitled"_s);
    item.notes = todo.description;
    if (todo.due && todo.due->isDate()) {
        item.dueDate = QDateTime(todo.due->date(), QTime(0, 0), localZone).toUTC();
    } else if (todo.due) {
        if (const std::optional<QDateTime> moment = momentOf(*todo.due, localZone)) {
            item.dueDate = moment->toUTC();
            item.includesTime = true;
        }
    }
    item.priority = todo.priority;
    item.isFlagged = todo.flagged;
    if (todo.url) {
        const QUrl url(todo.url->trimmed());
        if (url.isValid() && !url.isEmpty())
            item.url = url;
    }
    return item;
}

// The list a root without any gets for its first to-do: the preferred list's
// name when it is a plain folder name, else "reminders". Other tools show
// the name in its "displayname" file, as synchronisation tools keep it.
std::optional<QString> makeFirstTodoList(const QString &root, const std::optional<QString> &preferred)
{
    const QString wanted = preferred.value_or(QString()).trimmed();
    const bool plain =
        !wanted.isEmpty() && !wanted.startsWith(u'.') && !wanted.contains(u'/') && !wanted.contains(QChar(u'\0'));
    const QString name = plain ? wanted : u"reminders"_s;
    const QString path = QDir(root).filePath(name);
    const QByteArray encoded = QFile::encodeName(path);
    const bool made = ::mkdir(encoded.constData(), 0700) == 0;
    // Another add may have made it meanwhile; anything but a real folder
    // (a link could lead out of the root) is left alone.
    struct stat status { };
    if (!made && (errno != EEXIST || ::lstat(encoded.constData(), &status) != 0 || !S_ISDIR(status.st_mode)))
        return std::nullopt;
    if (made)
        writeFileAtomically(QDir(path).filePath(u"displayname"_s), (plain ? wanted : u"Reminders"_s).toUtf8());
    return QFileInfo(path).canonicalFilePath();
}

} // namespace

StoredEventList loadEvents(const QString &root, const QDateTime &from, const QDateTime &to, const QTimeZone &localZone,
                           CalendarFileCache *cache, const EventReadBound &bound)
{
    CalendarFileCache scratch;
    CalendarFileCache &parsed = cache ? *cache : scratch;
    const std::scoped_lock lock(parsed.guard());
    const std::shared_ptr<const std::vector<CalendarItemFile>> loaded = loadRoot(root, parsed, bound.stop);
    if (bound.stop.stop_requested())
        return std::make_shared<const std::vector<StoredEvent>>();
    const std::vector<CalendarItemFile> &files = *loaded;
    // The same files as last time, read for the same window, give the same
    // occurrences.
    std::optional<CalendarFileCache::Occurrences> &last = parsed.lastOccurrences();
    if (cache && last && last->revision == parsed.revision() && last->root == root && last->from == from
        && last->to == to && last->localZone == localZone && last->limit == bound.occurrences)
        return last->events;
    OccurrenceBudget budget(bound.occurrences);
    CandidateBudget candidates(bound.candidates);
    std::vector<std::size_t> budgetedFiles; // the file of each one the budget took
    std::size_t order = 0;
    size_t next = 0;
    while (next < files.size()) {
        const QString collection = files[next].collection;
        // Items of one event share a UID within one calendar; a calendar
        // keeps its own copy of an event it shares with another. A series
        // counts towards the file it first appears in.
        std::vector<EventSeries> series;
        std::vector<QString> seriesIds;
        std::vector<size_t> seriesFiles;
        QHash<QString, size_t> seriesByUid;
        for (; next < files.size() && files[next].collection == collection; ++next) {
            const CalendarItemFile &file = files[next];
            int index = 0;
            const auto addSeries = [&](EventSeries added, QString id) {
                series.push_back(added);
                seriesIds.push_back(std::move(id));
                seriesFiles.push_back(next);
            };
            for (const ICalEvent &event : file.content->events) {
                ++index;
                if (event.uid.isEmpty()) {
                    addSeries({&event, {}}, u"%1/%2#%3"_s.arg(collection, file.name).arg(index));
                    continue;
                }
                const auto known = seriesByUid.constFind(event.uid);
                if (known == seriesByUid.constEnd()) {
                    seriesByUid.insert(event.uid, series.size());
                    addSeries(event.recurrenceId ? EventSeries{nullptr, {&event}} : EventSeries{&event, {}}, event.uid);
                } else if (event.recurrenceId) {
                    series[*known].overrides.push_back(&event);
                } else if (!series[*known].master) {
                    series[*known].master = &event;
                } else {
                    // A second copy of the same event: listed as it is.
                    addSeries({&event, {}}, event.uid);
                }
            }
        }
        for (size_t first = 0; first < series.size();) {
            const size_t file = seriesFiles[first];
            EarliestOccurrences earliest(budget.roomForNextFile());
            candidates.startFile();
            size_t i = first;
            for (; i < series.size() && seriesFiles[i] == file; ++i) {
                const ExpansionBound seriesBound = earliest.boundForNextSeries(candidates.forNextSeries(), bound.stop);
                const BoundedOccurrences expanded =
                    boundedOccurrencesInWindow(series[i], from, to, localZone, seriesBound);
                candidates.spend(expanded.examined);
                earliest.add(seriesIds[i], expanded, order);
            }
            if (bound.stop.stop_requested())
                return std::make_shared<const std::vector<StoredEvent>>();
            const bool cut = earliest.cut();
            budget.addFile(earliest.take(), cut);
            budgetedFiles.push_back(file);
            first = i;
        }
    }
    for (const auto &[index, kept] : budget.cutFiles()) {
        const CalendarItemFile &file = files[budgetedFiles[index]];
        if (!cache || cache->firstToldOfCut(file.path))
            qWarning().noquote() << "Calendar file" << file.path << "has more occurrences between"
                                 << from.toString(Qt::ISODate) << "and" << to.toString(Qt::ISODate)
                                 << "than are listed; only its earliest" << kept << "are";
    }
    auto result = std::make_shared<std::vector<StoredEvent>>();
    const std::vector<BudgetedOccurrence> kept = budget.takeKept();
    result->reserve(kept.size());
    for (const BudgetedOccurrence &occurrence : kept)
        result->push_back(storedEvent(occurrence.seriesId, occurrence.occurrence));
    if (cache)
        last = CalendarFileCache::Occurrences{parsed.revision(), root, from, to, localZone, bound.occurrences, result};
    return result;
}

std::vector<ReminderItem> loadOpenTodos(const QString &root, const QTimeZone &localZone, CalendarFileCache *cache,
                                        const std::stop_token &stop)
{
    CalendarFileCache scratch;
    CalendarFileCache &parsed = cache ? *cache : scratch;
    const std::scoped_lock lock(parsed.guard());
    const std::shared_ptr<const std::vector<CalendarItemFile>> files = loadRoot(root, parsed, stop);
    if (stop.stop_requested())
        return {};
    std::optional<CalendarFileCache::OpenTodos> &last = parsed.lastOpenTodos();
    if (cache && last && last->revision == parsed.revision() && last->root == root && last->localZone == localZone)
        return last->todos;
    std::vector<ReminderItem> result;
    for (const CalendarItemFile &file : *files) {
        for (const ICalTodo &todo : file.content->todos) {
            // Without a UID a to-do cannot be found again to complete it.
            if (todo.completed || todo.cancelled || todo.uid.isEmpty())
                continue;
            result.push_back(reminderItem(todo, localZone));
        }
    }
    if (cache)
        last = CalendarFileCache::OpenTodos{parsed.revision(), root, localZone, result};
    return result;
}

std::optional<QString> defaultTodoListPath(const QString &root, const std::optional<QString> &preferred)
{
    const std::vector<CalendarCollection> lists = calendarCollections(root);
    if (lists.empty())
        return std::nullopt;
    if (preferred && !preferred->isEmpty()) {
        for (const CalendarCollection &list : lists) {
            if (list.name == *preferred)
                return list.path;
        }
    }
    for (const CalendarCollection &list : lists) {
        const QStringList files = calendarItemFiles(list.path);
        for (const QString &file : files) {
            if (fileHoldsTodos(file))
                return list.path;
        }
    }
    return lists.front().path;
}

TodoWriteResult writeNewTodo(const QString &root, const std::optional<QString> &preferredList, const NewTodo &todo,
                             const SaveDeviceWrapper &wrap)
{
    auto list = defaultTodoListPath(root, preferredList);
    // A root that holds no list yet (a folder just made for to-dos) gets one,
    // unless it takes no writes.
    if (!list && isUsableFolder(root, true)) {
        list = makeFirstTodoList(root, preferredList);
    } else if (!list && isUsableFolder(root, false)) {
        const QString shown = QDir::toNativeSeparators(homeRelativePath(root, QDir::homePath()));
        return {TodoWriteResult::Status::failed,
                u"Not saved: “%1” is read-only and holds no list to add to."_s.arg(shown)};
    }
    if (!list)
        return {TodoWriteResult::Status::noList, {}};
    QString uid;
    QString path;
    do {
        uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        path = QDir(*list).filePath(QString(uid + u".ics"));
    } while (QFileInfo::exists(path));
    if (!writeFileAtomically(path, composeTodoFile(todo, uid), wrap))
        return notSavedIn(*list, QFileInfo(*list).fileName());
    return {TodoWriteResult::Status::saved, {}};
}

TodoWriteResult writeTodoCompletion(const QString &root, const QString &id, bool completed, const QDateTime &now,
                                    const SaveDeviceWrapper &wrap)
{
    if (id.isEmpty())
        return {TodoWriteResult::Status::notFound, {}};
    const QByteArray wanted = id.toUtf8();
    const QString likelyName = QString(id + u".ics");
    for (int pass = 0; pass < 2; ++pass) {
        // Most tools name the file after the UID, so those files are tried first.
        for (const CalendarCollection &collection : calendarCollections(root)) {
            const QStringList files = calendarItemFiles(collection.path);
            for (const QString &path : files) {
                if ((QFileInfo(path).fileName() == likelyName) != (pass == 0))
                    continue;
                const TodoWriteResult result =
                    writeTodoCompletionIn(path, collection.name, wanted, id, completed, now, wrap);
                if (result.status != TodoWriteResult::Status::notFound)
                    return result;
            }
        }
    }
    return {TodoWriteResult::Status::notFound, {}};
}

} // namespace kolu
