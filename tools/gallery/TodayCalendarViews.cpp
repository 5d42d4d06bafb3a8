#include "TodayCalendarViews.h"

#include "DetailPanelView.h"
#include "GalleryState.h"
#include "KitViews.h"
#include "ManualClock.h"

#include "cards/calendar/CalendarCard.h"
#include "cards/calendar/CalendarWeekStrip.h"
#include "cards/today/TodayCard.h"
#include "services/info/PrayerTimesService.h"
#include "state/AppState.h"
#include "state/RefreshFailure.h"

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

const QString kLongText = u"Quarterly planning review with the design, research and platform teams, "
                          u"including every open question from the last three retrospectives"_s;
const QString kLongPlace = u"Building 7, Floor 3, Conference Room \"Horizon\" (next to the kitchen), "
                           u"1200 Long Avenue, Springfield"_s;

CalendarEvent event(const QString &id, const QString &title, qint64 startMinutes, qint64 lengthMinutes,
                    std::optional<QString> location = {}, std::optional<QUrl> link = {}, QStringList initials = {})
{
    const QDateTime start = clock().now().addSecs(startMinutes * 60);
    return {
        id, title, start, start.addSecs(lengthMinutes * 60), std::move(location), std::move(link), std::move(initials)};
}

ReminderItem reminder(const QString &title, int minutesFromNow, bool flagged)
{
    ReminderItem item;
    item.id = u"gallery-today-"_s + title;
    item.title = title;
    item.dueDate = clock().now().addSecs(minutesFromNow * 60);
    item.includesTime = true;
    item.isFlagged = flagged;
    return item;
}

std::optional<PrayerDay> prayerDay(const QString &city)
{
    const QDateTime now = clock().now();
    PrayerDay day{PrayerTimesService::dayID(now), city, u"Saudi Arabia"_s, 4, now, {}};
    const int offsets[] = {-4 * 3600, -2 * 3600, 3 * 3600 + 20 * 60, 6 * 3600, 9 * 3600, 10 * 3600};
    int i = 0;
    for (PrayerName name : {PrayerName::fajr, PrayerName::sunrise, PrayerName::dhuhr, PrayerName::asr,
                            PrayerName::maghrib, PrayerName::isha})
        day.times.push_back({name, now.addSecs(offsets[i++]), true});
    return day;
}

enum class TodayLook { empty, full, longTexts, weatherLoading, weatherFailed, eventWithoutLink };

QWidget *todayCard(TodayLook look);

// The full card with the clock at `hour`:`minute` local time, for the
// greeting of that part of the day; the gallery's clock is put back once the
// picture is taken.
QWidget *todayAt(int hour, int minute)
{
    const QDateTime saved = clock().now();
    const QDateTime local = saved.toLocalTime();
    clock().setNow(QDateTime(local.date(), QTime(hour, minute), Qt::LocalTime).toUTC());
    QWidget *panel = todayCard(TodayLook::full);
    QObject::connect(panel, &QObject::destroyed, [saved] { clock().setNow(saved); });
    return panel;
}

QWidget *todayCard(TodayLook look)
{
    AppState &s = state();
    // A hidden today module asks for no weather, so the empty card keeps
    // its resting text.
    s.setRailModule(RailModule::today, look != TodayLook::empty);
    s.setIsLoadingTodayWeather(false);
    s.setTodayWeatherStatus({{}, StatusTint::secondary});
    if (look == TodayLook::empty) {
        s.setTodayWeather(std::nullopt);
        s.setCalendarEvents({});
        s.setPrayerDay(std::nullopt);
        s.setReminders({});
        return inDetailPanel(RailModule::today);
    }
    if (look == TodayLook::weatherFailed) {
        // Showing the card asks for the weather; a request in flight keeps
        // it from asking, and once shown the request fails as it does
        // offline.
        s.setTodayWeather(std::nullopt);
        s.setIsLoadingTodayWeather(true);
        s.setCalendarEvents({event(u"t2"_s, u"Design sync"_s, 19, 30, {}, {})});
        s.setPrayerDay(prayerDay(u"Makkah"_s));
        s.setReminders({});
        QWidget *panel = inDetailPanel(RailModule::today);
        afterShown(panel, [&s] {
            s.setTodayWeatherStatus({offlineSentence(), StatusTint::orange});
            s.setIsLoadingTodayWeather(false);
        });
        return panel;
    }
    if (look == TodayLook::weatherLoading) {
        s.setTodayWeather(std::nullopt);
        s.setIsLoadingTodayWeather(true);
        s.setTodayWeatherStatus({u"Refreshing..."_s, StatusTint::secondary});
        s.setCalendarEvents({event(u"t2"_s, u"Design sync"_s, 19, 30, {}, {})});
        s.setPrayerDay(prayerDay(u"Makkah"_s));
        s.setReminders({});
        return inDetailPanel(RailModule::today);
    }
    const bool longTexts = look == TodayLook::longTexts;
    const QString city = longTexts ? u"Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch"_s : u"Makkah"_s;
    s.setTodayWeather(TodayWeather{city, longTexts ? -0.4 : 21.5, longTexts ? 48 : 61, clock().now()});
    s.setCalendarEvents(
        {event(u"t1"_s, longTexts ? kLongText : u"Design sync"_s, 19, 30, {},
               look == TodayLook::eventWithoutLink ? QUrl() : QUrl(u"https://meet.example.com/abc-defg-hij"_s))});
    s.setPrayerDay(prayerDay(city));
    s.setReminders({reminder(u"Pick up the dry cleaning"_s, 120, false),
                    reminder(longTexts ? kLongText : u"Call the bank"_s, 30, true),
                    reminder(u"Water the plants"_s, 240, false), reminder(u"Pay the electricity bill"_s, 300, false),
                    reminder(u"Renew passport"_s, 420, true)});
    return inDetailPanel(RailModule::today);
}

enum class CalendarLook { empty, one, week, now, longTexts, sameStart };

std::vector<CalendarEvent> calendarEvents(CalendarLook look)
{
    const QUrl meet(u"https://meet.example.com/team-weekly"_s);
    switch (look) {
    case CalendarLook::empty: return {};
    case CalendarLook::sameStart:
        return {event(u"s1"_s, u"Design review"_s, 90, 30, u"Studio"_s, {}, {u"D"_s}),
                event(u"s2"_s, u"Budget call"_s, 90, 60, {}, meet, {u"B"_s, u"C"_s})};
    case CalendarLook::one:
        return {event(u"c1"_s, u"Lunch with Sam"_s, 200, 60, u"Corner Café"_s, {}, {u"S"_s, u"M"_s})};
    case CalendarLook::now:
        return {
            event(u"n1"_s, u"Team weekly"_s, -11, 45, u"Room 4"_s, meet, {u"AK"_s, u"JL"_s, u"MR"_s, u"TS"_s, u"PW"_s}),
            event(u"n2"_s, u"Design review"_s, 80, 30, {}, {}, {u"D"_s})};
    case CalendarLook::longTexts:
        return {event(u"l1"_s, kLongText, 30, 60, kLongPlace, meet, QStringList(40, u"W"_s)),
                event(u"l2"_s, QString(5000, u'W'), 120, 30, u"   \n "_s, QUrl(u"file:///etc/passwd"_s), {}),
                event(u"l3"_s, u"Conference"_s, -24 * 60, 3 * 24 * 60, QString(400, u'L'), {}, {u"A"_s})};
    case CalendarLook::week: {
        std::vector<CalendarEvent> week{
            event(u"w1"_s, u"Standup"_s, -11, 15, u"Room 4"_s, meet, {u"AK"_s, u"JL"_s, u"MR"_s, u"TS"_s}),
            event(u"w2"_s, u"Design review"_s, 80, 30, u"Studio"_s, {}, {u"D"_s, u"E"_s}),
            event(u"w3"_s, u"Gym"_s, 600, 60),
        };
        for (int day = 1; day < 7; day += 2)
            week.push_back(event(u"w%1"_s.arg(day + 3), u"Planning"_s, day * 24 * 60 + 30, 60, {}, meet, {u"P"_s}));
        return week;
    }
    }
    return {};
}

// `selectDay`: the strip cell pressed once the card is built (0 is today).
QWidget *calendarCard(CalendarLook look, int selectDay = 0)
{
    AppState &s = state();
    s.setRailModule(RailModule::calendar, true);
    s.setCalendarEvents(calendarEvents(look));
    s.setCalendarAlertLeadMinutesByEventID({{u"w2"_s, 5}, {u"n1"_s, 2}});
    return inDetailPanel(RailModule::calendar, [selectDay](QWidget *built) {
        if (selectDay > 0)
            static_cast<CalendarCard *>(built)->weekStrip()->cells().at(std::size_t(selectDay))->click();
    });
}

} // namespace

std::vector<View> todayCalendarViews()
{
    return {
        {"today-empty",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return todayCard(TodayLook::empty); }},
        {"today-full",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return todayCard(TodayLook::full); }},
        {"today-long",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return todayCard(TodayLook::longTexts); }},
        {"today-weather-loading",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return todayCard(TodayLook::weatherLoading); }},
        {"today-event-without-link",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return todayCard(TodayLook::eventWithoutLink); }},
        {"today-weather-failed",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return todayCard(TodayLook::weatherFailed); }},
        {"today-greeting-night",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return todayAt(2, 10); }},
        {"today-greeting-day",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return todayAt(14, 5); }},
        {"today-greeting-evening",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return todayAt(19, 45); }},

        {"calendar-empty",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return calendarCard(CalendarLook::empty); }},
        {"calendar-one",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return calendarCard(CalendarLook::one); }},
        {"calendar-week",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return calendarCard(CalendarLook::week); }},
        {"calendar-now",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return calendarCard(CalendarLook::now); }},
        {"calendar-long",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return calendarCard(CalendarLook::longTexts); }},
        {"calendar-same-start",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return calendarCard(CalendarLook::sameStart); }},
        {"calendar-another-day",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return calendarCard(CalendarLook::week, 3); }},
    };
}

} // namespace kolu::gallery
