#include "platform/calendar/VdirCalendarStore.h"

#include "model/UserDefaults.h"
#include "platform/calendar/CalendarFileCache.h"
#include "platform/calendar/CalendarFolders.h"
#include "platform/calendar/CalendarStoreWork.h"
#include "model/WorkerAwait.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The worker's part: the cache comes along so that it outlives a store
// destroyed while a read still runs.
StoredEventList loadEventsKept(const QString &root, const QDateTime &from, const QDateTime &to,
                               const QTimeZone &localZone, const std::shared_ptr<CalendarFileCache> &cache,
                               const std::stop_token &stop)
{
    return loadEvents(root, from, to, localZone, cache.get(), {kMaxOccurrencesPerRead, stop});
}

std::vector<ReminderItem> loadOpenTodosKept(const QString &root, const QTimeZone &localZone,
                                            const std::shared_ptr<CalendarFileCache> &cache,
                                            const std::stop_token &stop)
{
    return loadOpenTodos(root, localZone, cache.get(), stop);
}

} // namespace

CalendarStore::~CalendarStore() = default;

VdirCalendarStore::VdirCalendarStore(UserDefaults &defaults, QString home, QTimeZone localZone,
                                     std::shared_ptr<SharedCalendarRoots> sharedRoots)
    : m_defaults(defaults)
    , m_home(std::move(home))
    , m_localZone(std::move(localZone))
    , m_sharedRoots(sharedRoots ? std::move(sharedRoots) : std::make_shared<SharedCalendarRoots>())
{
    if (QCoreApplication *application = QCoreApplication::instance()) {
        // A copy of the source shares its state, so the store may go first.
        QObject::connect(application, &QCoreApplication::aboutToQuit,
                         [stop = m_stop]() mutable { stop.request_stop(); });
    }
}

VdirCalendarStore::~VdirCalendarStore()
{
    m_stop.request_stop();
}

QString VdirCalendarStore::calendarRoot() const
{
    return resolveCalendarRoot(m_defaults.string(SettingsKey::calendarFolderPath), m_home);
}

QString VdirCalendarStore::remindersRoot() const
{
    return resolveCalendarRoot(m_defaults.string(SettingsKey::remindersFolderPath), m_home);
}

void CalendarStore::setOnFolderChange(std::function<void()>) { }

void VdirCalendarStore::setOnFolderChange(std::function<void()> onChange)
{
    if (!onChange) {
        m_watch.reset();
        return;
    }
    m_watch.reset(new FolderPresenceWatch);
    QObject::connect(m_watch.get(), &FolderPresenceWatch::changed, m_watch.get(), std::move(onChange));
    readFrom(m_eventsRoot, m_eventsRoot);
}

void VdirCalendarStore::readFrom(QString &lastRoot, const QString &root) const
{
    lastRoot = root;
    if (!m_watch)
        return;
    QStringList folders;
    for (const QString &folder : {m_eventsRoot, m_todosRoot}) {
        if (!folder.isEmpty() && !folders.contains(folder))
            folders.push_back(folder);
    }
    m_watch->setFolders(folders);
}

bool VdirCalendarStore::hasEventAccess() const
{
    const QString root = calendarRoot();
    readFrom(m_eventsRoot, root);
    return isUsableFolder(root, false);
}

bool VdirCalendarStore::hasReminderAccess() const
{
    const QString root = remindersRoot();
    readFrom(m_todosRoot, root);
    // A folder that can only be read still shows its reminders; an add or a
    // completion there says why it was not saved.
    return isUsableFolder(root, false);
}

QFuture<StoredEventList> VdirCalendarStore::readEvents(const QString &root, const QDateTime &from, const QDateTime &to)
{
    CalendarRootFiles &files = m_sharedRoots->filesOf(m_eventFiles, root);
    const QString key = u"events\n%1\n%2\n%3"_s.arg(from.toString(Qt::ISODateWithMs), to.toString(Qt::ISODateWithMs),
                                                    QString::fromUtf8(m_localZone.id()));
    return files.reads.read<StoredEventList>(
        key, [root, from, to, zone = m_localZone, cache = files.cache, stop = m_stop.get_token()] {
            return loadEventsKept(root, from, to, zone, cache, stop);
        });
}

QFuture<std::vector<ReminderItem>> VdirCalendarStore::readTodos(const QString &root)
{
    CalendarRootFiles &files = m_sharedRoots->filesOf(m_todoFiles, root);
    return files.reads.read<std::vector<ReminderItem>>(
        u"todos\n"_s + QString::fromUtf8(m_localZone.id()),
        [root, zone = m_localZone, cache = files.cache, stop = m_stop.get_token()] {
            return loadOpenTodosKept(root, zone, cache, stop);
        });
}

qint64 VdirCalendarStore::startedReadCount() const
{
    qint64 count = m_eventFiles ? m_eventFiles->reads.startedCount() : 0;
    if (m_todoFiles && m_todoFiles != m_eventFiles)
        count += m_todoFiles->reads.startedCount();
    return count;
}

QCoro::Task<StoredEventList> VdirCalendarStore::events(QDateTime from, QDateTime to)
{
    const QString root = calendarRoot();
    readFrom(m_eventsRoot, root);
    QFuture<StoredEventList> read = readEvents(root, from, to);
    co_return co_await afterWorker(std::move(read));
}

QCoro::Task<std::vector<ReminderItem>> VdirCalendarStore::openTodos()
{
    const QString root = remindersRoot();
    readFrom(m_todosRoot, root);
    QFuture<std::vector<ReminderItem>> read = readTodos(root);
    co_return co_await afterWorker(std::move(read));
}

QCoro::Task<TodoWriteResult> VdirCalendarStore::addTodo(NewTodo todo)
{
    co_return co_await afterWorker(QtConcurrent::run(&writeNewTodo, remindersRoot(),
                                                     m_defaults.string(SettingsKey::remindersDefaultListName),
                                                     std::move(todo), SaveDeviceWrapper()));
}

QCoro::Task<TodoWriteResult> VdirCalendarStore::setTodoCompleted(QString id, bool completed, QDateTime now)
{
    co_return co_await afterWorker(QtConcurrent::run(&writeTodoCompletion, remindersRoot(), std::move(id), completed,
                                                     std::move(now), SaveDeviceWrapper()));
}

} // namespace kolu
