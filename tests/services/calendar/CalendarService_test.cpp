#include "services/calendar/CalendarEventFields.h"
#include "services/calendar/CalendarService.h"

#include "model/UserDefaults.h"
#include "platform/calendar/VdirCalendarStore.h"

#include "../ServiceTests.h"
#include "CalendarFixtures.h"

using namespace kolu;
using test::march;

namespace {

struct CalendarServiceTest : ::testing::Test {
    CalendarServiceTest() { defaults.set(SettingsKey::calendarFolderPath, test::calendarFixture(u"synced"_s)); }

    std::vector<CalendarEvent> upcoming(int days) { return *test::awaitTask(service.eventsForUpcomingDays(days)); }

    QTemporaryDir config;
    UserDefaults defaults{config.filePath(u"defaults.json"_s)};
    const QTimeZone berlin{"Europe/Berlin"};
    // Monday 2 March 2026, 9:00 in Berlin.
    test::ManualClock clock{march(2, 8)};
    VdirCalendarStore store{defaults, config.path(), berlin};
    CalendarService service{store, clock, berlin};
};

const CalendarEvent *find(const std::vector<CalendarEvent> &events, const QString &id)
{
    const auto found = std::ranges::find(events, id, &CalendarEvent::id);
    return found == events.end() ? nullptr : &*found;
}

} // namespace

// Which occurrences the folder holds is the store's to say (tested with it).
TEST_F(CalendarServiceTest, ListsTimedOccurrencesOfTheWeekByStartKeepingTheStoreOrderOnTies)
{
    const auto events = upcoming(7);
    EXPECT_EQ(events.size(), 17u);
    EXPECT_TRUE(std::ranges::is_sorted(events, {}, &CalendarEvent::startDate));
    EXPECT_EQ(find(events, u"offsite@example.com"_s), nullptr) << "the all-day offsite is never listed";
    const auto tie = std::ranges::find(events, march(6, 10), &CalendarEvent::startDate);
    ASSERT_LE(tie + 3, events.end());
    EXPECT_EQ(test::each(std::span(tie, 3), &CalendarEvent::id),
              (QStringList{u"lunch-zeta"_s, u"lunch-empty-title"_s, u"standup-2026@example.com"_s}));
    EXPECT_TRUE(tie[0].endDate == march(6, 11) && tie[1].title.isEmpty());
    EXPECT_EQ(find(events, u"floating-untitled"_s)->title, u"Untitled"_s);

    const CalendarEvent *standup = find(events, u"standup-2026@example.com"_s);
    EXPECT_EQ(standup->meetingURL, QUrl(u"https://meet.example.com/standup-room"_s));
    // Six attendees, "Tina Lund" repeats "TL": the first four distinct ones.
    EXPECT_EQ(standup->attendeeInitials, (QStringList{u"TL"_s, u"JD"_s, u"PL"_s, u"Q"_s}));

    // Zero or negative days fetch one day from the start of today.
    clock.setNow(march(2, 22, 30)); // 23:30 in Berlin, still Monday there
    for (int days : {0, -3, 1})
        EXPECT_EQ(test::each(upcoming(days), &CalendarEvent::id),
                  (QStringList{u"deploy-night@example.com"_s, u"early-check@example.com"_s}))
            << days;

    // Without the folder there is no access and no event.
    defaults.set(SettingsKey::calendarFolderPath, config.filePath(u"missing"_s));
    EXPECT_TRUE(!store.hasEventAccess() && upcoming(7).empty());

    // Initials and meeting links of any event.
    for (const auto &[name, shown] :
         {std::pair(u"mary_ann-smith"_s, u"MA"_s), std::pair(u"Plato"_s, u"PL"_s), std::pair(u".x"_s, u".X"_s)})
        EXPECT_EQ(initials(name), shown) << name.toStdString();
    EXPECT_EQ(initials(QString()), std::nullopt);

    EXPECT_EQ(attendeeInitials({{u"  Team Lead \n"_s, u"mailto:a@x.org"_s},
                                {std::nullopt, u"mailto:jane.doe@x.org"_s},
                                {u"   "_s, u"MAILTO:bo@x.org"_s},
                                {std::nullopt, QString()}}),
              (QStringList{u"TL"_s, u"JD"_s, u"BO"_s}));

    EXPECT_EQ(meetingURL(u"https://own.example.com"_s, u"https://room.example.com"_s, std::nullopt),
              QUrl(u"https://own.example.com"_s));
    // The location's link comes before the notes' link.
    EXPECT_EQ(meetingURL(std::nullopt, u"Zoom https://zoom.example.com/j/1"_s, u"https://other.example.com"_s),
              QUrl(u"https://zoom.example.com/j/1"_s));
    EXPECT_EQ(meetingURL(std::nullopt, u"Room 4"_s, u"Join (www.meet.example.com/abc)."_s),
              QUrl(u"http://www.meet.example.com/abc"_s));
    EXPECT_EQ(meetingURL(u"not a url"_s, std::nullopt, u"zoommtg://zoom.example.com/join?confno=1"_s),
              QUrl(u"zoommtg://zoom.example.com/join?confno=1"_s));
    EXPECT_EQ(meetingURL(std::nullopt, u"Room 4"_s, u"No link here: a.b"_s), std::nullopt);
}
