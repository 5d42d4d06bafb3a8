// The refreshes of the information modules: each fetches in a task of its
// own and publishes on return, unless a later request of its kind was made
// meanwhile or its module was hidden. Beside them sit the small prayer and
// notes members.
#include "state/AppState.h"

#include "model/Error.h"
#include "platform/calendar/CalendarFolders.h"
#include "services/calendar/CalendarService.h"
#include "services/clipboard/ClipboardService.h"
#include "services/notes/NotesService.h"
#include "services/info/PrayerTimesService.h"
#include "services/calendar/RemindersService.h"
#include "services/info/WeatherService.h"
#include "state/RefreshFailure.h"

#include <QDebug>
#include <QDir>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kUpcomingCalendarDays = 7;
constexpr int kNoteLimit = 6;
constexpr qint64 kWeatherFreshForMs = 1800'000;
constexpr std::chrono::milliseconds kFirstNotesDelay{150};

const QString kRefreshing = u"Refreshing..."_s;

} // namespace

void AppState::refreshTodayWeather(bool force)
{
    if (isModuleHidden(RailModule::today))
        return;
    if (!force) {
        if (m_isLoadingTodayWeather)
            return;
        if (m_todayWeather && m_todayWeather->fetchedAt.msecsTo(m_clock.now()) < kWeatherFreshForMs)
            return;
    }
    setIsLoadingTodayWeather(true);
    setTodayWeatherStatus({kRefreshing, StatusTint::secondary});
    fetchWeather(QPointer<AppState>(this), beginRequest(RefreshKind::weather), m_prayerSettings.city,
                 m_prayerSettings.country);
}

QCoro::Task<> AppState::fetchWeather(QPointer<AppState> self, quint64 request, QString city, QString country)
{
    std::optional<TodayWeather> weather;
    std::exception_ptr failure;
    try {
        weather = co_await self->weatherService().fetchWeather(city, country);
    } catch (...) {
        failure = std::current_exception();
    }
    // A later request owns the flag and the status line.
    if (!self || !self->isLatestRequest(RefreshKind::weather, request))
        co_return;
    // A module hidden meanwhile shows neither the result nor the error.
    if (self->isModuleHidden(RailModule::today)) {
        self->setIsLoadingTodayWeather(false);
        co_return;
    }
    if (weather) {
        self->setTodayWeather(weather);
        self->setTodayWeatherStatus({weather->city, StatusTint::green});
    } else {
        self->setTodayWeatherStatus({refreshFailureSentence(failure), StatusTint::orange});
    }
    self->setIsLoadingTodayWeather(false);
}

void AppState::refreshPrayerTimesIfNeeded()
{
    if (isModuleHidden(RailModule::prayers))
        return;
    if (m_prayerDay && m_prayerDay->dateID == PrayerTimesService::dayID(m_clock.now()))
        return;
    refreshPrayerTimes(false);
}

void AppState::refreshPrayerTimes(bool force)
{
    if (isModuleHidden(RailModule::prayers))
        return;
    if (!force && m_isLoadingPrayers)
        return;
    setIsLoadingPrayers(true);
    setPrayerStatus({kRefreshing, StatusTint::secondary});
    fetchPrayerDay(QPointer<AppState>(this), beginRequest(RefreshKind::prayers), m_prayerSettings, m_clock.now());
}

QCoro::Task<> AppState::fetchPrayerDay(QPointer<AppState> self, quint64 request, PrayerSettings settings,
                                       QDateTime date)
{
    std::optional<PrayerDay> day;
    std::exception_ptr failure;
    try {
        day = co_await self->prayerTimesService().fetchPrayerDay(settings, date);
    } catch (...) {
        failure = std::current_exception();
    }
    // The day of an earlier request (another city, say) is neither shown nor saved.
    if (!self || !self->isLatestRequest(RefreshKind::prayers, request))
        co_return;
    if (self->isModuleHidden(RailModule::prayers)) {
        self->setIsLoadingPrayers(false);
        co_return;
    }
    if (day) {
        // The user's switch wins over the service's default.
        for (PrayerTime &time : day->times) {
            const auto state = self->m_prayerNotificationStates.find(rawValue(time.name));
            if (state != self->m_prayerNotificationStates.end())
                time.notificationsEnabled = state->second;
        }
        self->setPrayerDay(day);
        self->m_files.write<PrayerDayFile>(*day);
        self->schedulePrayerNotifications();
        self->setPrayerStatus({u"Updated"_s, StatusTint::green});
    } else {
        self->setPrayerStatus({refreshFailureSentence(failure), StatusTint::orange});
    }
    self->setIsLoadingPrayers(false);
}

std::optional<QString> AppState::chosenCalendarFolder() const
{
    return chosenCalendarRoot(m_defaults.string(SettingsKey::calendarFolderPath), QDir::homePath());
}

std::optional<QString> AppState::chosenRemindersFolder() const
{
    return chosenCalendarRoot(m_defaults.string(SettingsKey::remindersFolderPath), QDir::homePath());
}

std::optional<QString> AppState::chosenNotesFolder() const
{
    const std::optional<QString> chosen =
        chosenCalendarRoot(m_defaults.string(SettingsKey::notesFolderPath), QDir::homePath());
    return chosen ? std::optional(QDir::cleanPath(*chosen)) : std::nullopt;
}

void AppState::refreshCalendarEvents()
{
    if (isModuleHidden(RailModule::calendar))
        return;
    fetchCalendarEvents(QPointer<AppState>(this), beginRequest(RefreshKind::calendar));
}

QCoro::Task<> AppState::fetchCalendarEvents(QPointer<AppState> self, quint64 request)
{
    CalendarService::CalendarEventList events;
    try {
        events = co_await self->calendarService().eventsForUpcomingDays(kUpcomingCalendarDays);
    } catch (...) {
        co_return; // the service answers without access by an empty list
    }
    if (!self || !self->isLatestRequest(RefreshKind::calendar, request) || self->isModuleHidden(RailModule::calendar))
        co_return;
    // An empty answer without a usable folder is no empty calendar: the
    // cards say what is missing instead.
    const bool folderMissing = self->m_services.calendarStore && !self->m_services.calendarStore->hasEventAccess();
    if (folderMissing != self->m_calendarFolderMissing)
        self->setCalendarFolderMissing(folderMissing);
    // Most refreshes find the week as it was: the service then gives the very
    // list shown, which is announced as published again without a look at
    // any of its thousands of occurrences (long gone from the processor's
    // caches by the next refresh), and without copying them.
    if (events == self->m_calendarAnswer) {
        Q_EMIT self->changed(Field::calendarEvents);
    } else {
        self->setCalendarEvents(*events);
        self->m_calendarAnswer = events;
    }
    self->scheduleCalendarNotifications();
}

void AppState::refreshReminders()
{
    if (isModuleHidden(RailModule::reminders))
        return;
    fetchReminders(QPointer<AppState>(this), beginRequest(RefreshKind::reminders));
}

QCoro::Task<> AppState::fetchReminders(QPointer<AppState> self, quint64 request)
{
    std::pair<RemindersConnectionState, std::vector<ReminderItem>> answer;
    try {
        answer = co_await self->remindersService().fetchOpenReminders(maxOpenReminders + 1);
    } catch (...) {
        co_return;
    }
    if (!self || !self->isLatestRequest(RefreshKind::reminders, request))
        co_return;
    if (self->isModuleHidden(RailModule::reminders)) {
        self->m_reminderWriteFailure.reset();
        self->setRemindersConnection(RemindersConnectionState::notDetermined());
        co_return;
    }
    self->setReminderList(
        self->withReminderWriteFailure(keptOpenReminders(std::move(answer.first), std::move(answer.second))));
}

void AppState::refreshAppleNotes(bool force)
{
    if (isModuleHidden(RailModule::notes))
        return;
    if (!force && m_isLoadingAppleNotes)
        return;
    setIsLoadingAppleNotes(true);
    fetchAppleNotes(QPointer<AppState>(this), beginRequest(RefreshKind::notes));
}

QCoro::Task<> AppState::fetchAppleNotes(QPointer<AppState> self, quint64 request)
{
    std::optional<std::vector<AppleNoteItem>> notes;
    try {
        notes = co_await self->notesService().fetchOrlixNotes(kNoteLimit);
    } catch (...) {
    }
    if (!self || !self->isLatestRequest(RefreshKind::notes, request))
        co_return;
    // No notes without a notes folder to read them from: the card says so.
    const QUrl location = self->notesService().notesLocation();
    const bool folderMissing = location.isLocalFile() && !isUsableFolder(location.toLocalFile(), false);
    if (folderMissing != self->m_notesFolderMissing)
        self->setNotesFolderMissing(folderMissing);
    if (notes && !self->isModuleHidden(RailModule::notes))
        self->setAppleNotes(std::move(*notes));
    self->setIsLoadingAppleNotes(false);
}

void AppState::refreshAppleNoteFolders(bool force)
{
    if (isModuleHidden(RailModule::notes))
        return;
    if (!force && (m_isLoadingAppleNoteFolders || !m_appleNoteFolders.empty()))
        return;
    setIsLoadingAppleNoteFolders(true);
    fetchAppleNoteFolders(QPointer<AppState>(this), beginRequest(RefreshKind::noteFolders));
}

QCoro::Task<> AppState::fetchAppleNoteFolders(QPointer<AppState> self, quint64 request)
{
    std::optional<std::vector<AppleNoteFolder>> folders;
    try {
        folders = co_await self->notesService().fetchNoteFolders();
    } catch (...) {
    }
    if (!self || !self->isLatestRequest(RefreshKind::noteFolders, request))
        co_return;
    if (folders && !self->isModuleHidden(RailModule::notes)) {
        self->setAppleNoteFolders(std::move(*folders));
        const QString selected = self->m_selectedAppleNoteFolderID;
        const auto &list = self->m_appleNoteFolders;
        if (!selected.isEmpty() && std::none_of(list.begin(), list.end(), [&selected](const AppleNoteFolder &f) {
                return f.id == selected;
            }))
            self->setSelectedAppleNoteFolderID(QString());
    }
    self->setIsLoadingAppleNoteFolders(false);
}

void AppState::refreshAll()
{
    refreshCalendarEvents();
    refreshNowPlaying();
    refreshReminders();
    refreshTodayWeather(true);
    refreshAppleNotes(false);
    refreshPrayerTimesIfNeeded();
}

void AppState::loadModuleDataIfNeeded(RailModule module)
{
    switch (module) {
    case RailModule::today:
        refreshCalendarEvents();
        refreshTodayWeather(false);
        break;
    case RailModule::calendar: refreshCalendarEvents(); break;
    case RailModule::prayers: refreshPrayerTimesIfNeeded(); break;
    case RailModule::notes:
        refreshAppleNoteFolders(false);
        if (m_appleNotes.empty())
            runAfter(kFirstNotesDelay, [this] { refreshAppleNotes(false); });
        break;
    case RailModule::focus:
    case RailModule::links: break;
    case RailModule::fileTray: captureScreenshot(QPointer<AppState>(this)); break;
    case RailModule::wallpapers:
        if (!m_wallpaperCandidate)
            refreshWallpaper(false);
        break;
    case RailModule::reminders: refreshReminders(); break;
    case RailModule::nowPlaying: refreshNowPlaying(); break;
    }
}

QCoro::Task<> AppState::captureScreenshot(QPointer<AppState> self)
{
    std::optional<ClipboardCaptureResult> capture;
    try {
        capture = co_await self->clipboardService().captureRecentScreenshotIfNeeded();
    } catch (...) {
        co_return;
    }
    if (self && capture)
        self->addClipboardCaptureResult(*capture);
}

void AppState::updatePrayerLocation(const QString &city, const QString &country)
{
    const QString trimmedCity = city.trimmed();
    const QString trimmedCountry = country.trimmed();
    if (trimmedCity.isEmpty() || trimmedCountry.isEmpty())
        return;
    mutate<Field::prayerSettings>([&](PrayerSettings &settings) {
        settings.city = trimmedCity;
        settings.country = trimmedCountry;
    });
    m_files.write<PrayerSettingsFile>(m_prayerSettings);
    if (!isModuleHidden(RailModule::prayers))
        refreshPrayerTimes(true);
}

bool AppState::prayerNotificationEnabled(const PrayerTime &prayer) const
{
    const auto state = m_prayerNotificationStates.find(rawValue(prayer.name));
    return state != m_prayerNotificationStates.end() ? state->second : prayer.notificationsEnabled;
}

void AppState::setPrayerNotificationEnabled(bool enabled, const PrayerTime &prayer)
{
    mutate<Field::prayerNotificationStates>(
        [&](PrayerNotificationStates &states) { states[rawValue(prayer.name)] = enabled; });
    if (!m_prayerDay)
        return;
    auto &times = m_prayerDay->times;
    const auto time =
        std::find_if(times.begin(), times.end(), [&](const PrayerTime &t) { return t.name == prayer.name; });
    if (time == times.end())
        return;
    mutate<Field::prayerDay>([&](std::optional<PrayerDay> &day) {
        day->times[std::distance(times.begin(), time)].notificationsEnabled = enabled;
    });
    m_files.write<PrayerDayFile>(*m_prayerDay);
}

std::optional<PrayerTime> AppState::upcomingPrayer() const
{
    if (!m_prayerDay)
        return std::nullopt;
    const QDateTime now = m_clock.now();
    std::optional<PrayerTime> next;
    for (const PrayerTime &time : m_prayerDay->times) {
        if (time.date > now && (!next || time.date < next->date))
            next = time;
    }
    return next;
}

std::optional<AppleNoteFolder> AppState::selectedAppleNoteFolder() const
{
    for (const AppleNoteFolder &folder : m_appleNoteFolders) {
        if (folder.id == m_selectedAppleNoteFolderID)
            return folder;
    }
    return std::nullopt;
}

} // namespace kolu
