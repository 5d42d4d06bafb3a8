#include "cards/calendar/AttendeeInitialsStack.h"
#include "cards/calendar/CalendarAgendaList.h"
#include "cards/calendar/CalendarCard.h"
#include "cards/calendar/CalendarDays.h"
#include "cards/calendar/CalendarEventAgendaRow.h"
#include "cards/calendar/CalendarEventRules.h"
#include "cards/calendar/CalendarRowColors.h"
#include "cards/calendar/CalendarWeekStrip.h"
#include "cards/calendar/TimelineMarker.h"
#include "style/DateText.h"
#include "style/OrlixStyle.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/SegmentedPicker.h"

#include "../CardTest.h"
#include "../../style/ColorMeasure.h"
#include "../../style/LightLooks.h"

#include <cmath>

#include <QDir>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// Thursday 27 March 2025, 10:00 in London, three days before summer time.
class CalendarCardTest : public test::CardTest<CalendarCard> {
protected:
    test::PinnedZone zone{"Europe/London"};

    CalendarCardTest()
    {
        clock.setNow(QDateTime(QDate(2025, 3, 27), QTime(10, 0), Qt::UTC));
        cardSize = {330, 900};
    }

    CalendarEvent event(const QString &id, qint64 minutesFromNow, int attendees = 0) const
    {
        const QDateTime start = clock.now().addSecs(minutesFromNow * 60);
        CalendarEvent e{id, id, start, start.addSecs(1800), {}, {}, {}};
        for (int i = 0; i < attendees; ++i)
            e.attendeeInitials << QString(QChar(u'A' + i % 26));
        return e;
    }

    QStringList highlighted() const
    {
        QStringList ids;
        for (const CalendarDayCell *cell : card->weekStrip()->cells())
            if (cell->isSelected())
                ids << cell->dayID();
        return ids;
    }
};

TEST_F(CalendarCardTest, TheWeekHighlightsOneDayAtATimeAndTodayCountsRowsAttendeesAndLeadChoices)
{
    makeCard();
    const auto cells = card->weekStrip()->cells();
    ASSERT_EQ(cells.size(), 7u);
    for (const CalendarDayCell *cell : cells)
        EXPECT_FALSE(cell->hasEvents());
    EXPECT_EQ(highlighted(), QStringList{u"2025-03-27"_s});
    EXPECT_EQ(card->summaryText(), u"Clear"_s);
    EXPECT_TRUE(card->agenda()->emptyRow()->isVisible());
    EXPECT_EQ(card->agenda()->emptyRow()->text(), u"No events today."_s);

    // Past midnight the strip moves on; the chosen day has left it, so the
    // new first day shows and no cell is highlighted until one is pressed.
    clock.setNow(clock.now().addDays(1));
    card->refresh();
    EXPECT_EQ(highlighted(), QStringList());
    EXPECT_EQ(card->agenda()->dayID(), u"2025-03-28"_s);
    EXPECT_EQ(cells.front()->dayID(), u"2025-03-28"_s);

    // Sunday 30 March and Monday 31 March straddle the change to summer time.
    for (CalendarDayCell *cell : cells) {
        QTest::mouseClick(cell, Qt::LeftButton);
        EXPECT_EQ(highlighted(), QStringList{cell->dayID()});
        EXPECT_EQ(card->agenda()->dayID(), cell->dayID());
        if (cell != cells.front()) {
            EXPECT_EQ(card->agenda()->emptyRow()->text(), u"No events."_s);
        }
    }

    // Back on today: counts, rows, attendees and lead choices.
    state->setCalendarEvents(
        {event(u"a"_s, -30, 4), event(u"yesterday"_s, -24 * 60), event(u"b"_s, 60, 3), event(u"tomorrow"_s, 24 * 60)});
    QTest::mouseClick(cells.front(), Qt::LeftButton);
    EXPECT_EQ(card->summaryText(), u"2 events"_s);
    auto rows = card->agenda()->rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0]->isHappeningNow() && !rows[1]->isHappeningNow());
    EXPECT_TRUE(rows[0]->marker()->isFirst() && !rows[0]->marker()->isLast());
    EXPECT_EQ(rows[0]->initials()->circleCount(), 3);
    EXPECT_EQ(rows[0]->initials()->badgeText(), u"+1"_s);
    EXPECT_EQ(rows[1]->initials()->badgeText(), QString());

    // "5m" on the first event stores 5 for it alone; a new list keeps it.
    SegmentedPicker *picker = rows[0]->leadPicker();
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(1).center().toPoint());
    EXPECT_EQ(defaults.object(u"calendarAlertLeadMinutesByEventID"_s), (QJsonObject{{u"a"_s, 5}}));
    state->setCalendarEvents({event(u"a"_s, -30, 4), event(u"b"_s, 60, 3)});
    rows = card->agenda()->rows();
    EXPECT_EQ(rows[0]->leadPicker()->currentIndex(), 1);
    EXPECT_EQ(rows[1]->leadPicker()->currentIndex(), 0);

    // Tomorrow has one event; a single row shows the ring alone.
    QTest::mouseClick(card->weekStrip()->cells()[1], Qt::LeftButton);
    EXPECT_EQ(card->summaryText(), u"Clear"_s);
    state->setCalendarEvents({event(u"tomorrow"_s, 24 * 60)});
    EXPECT_EQ(card->summaryText(), u"1 event"_s);
    rows = card->agenda()->rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0]->marker()->isFirst() && rows[0]->marker()->isLast());
}

TEST_F(CalendarCardTest, BadEventsStayInsideTheCardBlankLocationsGoAndOnlyWebLinksOpen)
{
    CalendarEvent huge = event(u"huge"_s, 10, 40);
    huge.title = QString(5000, u'W');
    huge.location = QString(5000, u'L');
    huge.meetingURL = QUrl(u"https://meet.example.com/"_s + QString(300, u'x'));
    CalendarEvent spaces = event(u"spaces"_s, 20);
    spaces.location = u"   "_s;
    spaces.meetingURL = QUrl(u"file:///etc/passwd"_s);
    CalendarEvent long_ = event(u"long"_s, -24 * 60);
    long_.endDate = clock.now().addDays(1);
    state->setCalendarEvents({huge, spaces, long_});
    makeCard();
    const auto rows = card->agenda()->rows();
    ASSERT_EQ(rows.size(), 2u);
    for (CalendarEventAgendaRow *row : rows) {
        const QRect inCard(row->mapTo(card.get(), QPoint()), row->size());
        EXPECT_LE(inCard.right(), card->width() - ModuleCard::kPadding) << row->event().id.toStdString();
    }
    EXPECT_EQ(rows[1]->locationText(), QString());
    EXPECT_FALSE(rows[1]->meetingButton()->isVisible());
    CalendarMeetingButton *button = rows[0]->meetingButton();
    ASSERT_TRUE(button->isVisible());
    EXPECT_EQ(button->toolTip(), huge.meetingURL->toString());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(services.urlOpener->opened, QList<QUrl>{*huge.meetingURL});

    const QDateTime start(QDate(2026, 3, 14), QTime(9, 0), Qt::UTC);
    const CalendarEvent event{u"e"_s, u"Standup"_s, start, start.addSecs(1800), u"  Room 4 \n"_s, {}, {}};
    for (const auto &[offset, running] : {std::pair{-1, false}, {0, true}, {900, true}, {1800, true}, {1801, false}})
        EXPECT_EQ(calendar::isHappeningNow(event, start.addSecs(offset)), running) << offset;
    EXPECT_EQ(calendar::timeRange(event, DateText(u"en_US"_s, u"UTC"_s)), u"9:00\u202FAM - 9:30\u202FAM"_s);
    EXPECT_EQ(calendar::cleanedLocation(event), u"Room 4"_s);
    CalendarEvent blank = event;
    blank.location = u" \n\t "_s;
    EXPECT_FALSE(calendar::cleanedLocation(blank));

    const std::pair<const char *, bool> links[] = {
        {"https://meet.example.com/x?y=1", true}, {"HTTP://example.com", true}, {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},           {"ftp://example.com", false}, {"https://", false},
        {"mailto:a@example.com", false},
    };
    for (const auto &[link, openable] : links)
        EXPECT_EQ(calendar::openableMeetingURL(QUrl(QString::fromLatin1(link))).has_value(), openable) << link;
    EXPECT_FALSE(calendar::openableMeetingURL(std::nullopt));
}

// The contrast ratio, 1 to 21, of `text` laid over the opaque `background`.
double contrast(const QColor &text, QRgb background)
{
    QImage over(1, 1, QImage::Format_RGB32);
    over.fill(background);
    QPainter(&over).fillRect(over.rect(), text);
    const auto luminance = [](QRgb c) {
        const auto linear = [](int v) { return v <= 10 ? v / 3295.0 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
    };
    const double a = luminance(over.pixel(0, 0)), b = luminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// A running event's details and start time read on its tinted card in every look.
TEST_F(CalendarCardTest, RunningEventTextReadsInEveryLook)
{
    OrlixStyle style(defaults);
    state->setCalendarEvents({event(u"now"_s, -10)});
    makeCard();
    const auto *panel = card->findChild<QWidget *>(u"calendarEventCard"_s);
    const auto *pill = card->findChild<QWidget *>(u"calendarStartPill"_s);
    for (const auto &[theme, mode] : {std::pair{"default", "light"},
                                      {"default", "dark"},
                                      {"flatOlive", "light"},
                                      {"flatOlive", "dark"},
                                      {"activeDark", "dark"},
                                      {"heroLight", "light"}}) {
        defaults.set(u"orlixTheme"_s, QString::fromLatin1(theme));
        defaults.set(u"orlixAppearanceMode"_s, QString::fromLatin1(mode));
        QImage image(card->size(), QImage::Format_RGB32);
        image.fill(QColor(style.glassBase().rgb())); // the panel's glass behind the card
        card->render(&image, {}, {}, QWidget::DrawChildren);
        const calendar::AgendaRowColors colors = calendar::agendaRowColors(style, true);
        const QRgb cardFill = image.pixel(panel->mapTo(card.get(), QPoint(4, panel->height() / 2)));
        const QRgb pillFill = image.pixel(pill->mapTo(card.get(), QPoint(5, pill->height() / 2)));
        EXPECT_GE(contrast(colors.details, cardFill), 4.5) << theme << "-" << mode;
        EXPECT_GE(contrast(colors.pillContent, pillFill), 3.0) /* bold digits */ << theme << "-" << mode;
    }
}

// Measured from the pixels: the meeting button's label reads on its light
// blue fill in light appearance, and stays white in dark appearance.
TEST_F(CalendarCardTest, TheMeetingButtonLabelReadsOnItsFill)
{
    OrlixStyle style(defaults);
    CalendarMeetingButton button;
    button.resize(button.sizeHint());
    for (const char *theme : test::kLightThemes) {
        SCOPED_TRACE(theme);
        test::useLightLook(defaults, style, theme);
        EXPECT_GE(test::drawnContrast(button, button.rect().adjusted(2, 2, -2, -2), test::lightCardBackdrop(style)),
                  kBodyTextContrast);
    }
}

TEST_F(CalendarCardTest, ACrowdedDayMakesItsRowsAPageAtATimeAsThePanelScrolls)
{
    std::vector<CalendarEvent> events;
    for (int i = 0; i < 300; ++i)
        events.push_back(event(u"e%1"_s.arg(i), 5 + i % 600));
    state->setCalendarEvents(events);
    QScrollArea panel;
    panel.setWidgetResizable(true);
    panel.resize(282, 500);
    card = std::make_unique<CalendarCard>(*state);
    panel.setWidget(card.get());
    panel.show();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(card->summaryText(), u"300 events"_s);
    EXPECT_EQ(card->agenda()->rows().size(), CalendarAgendaList::kRowPage);

    // Scrolled to the end of what is made, the next page comes.
    QScrollBar *bar = panel.verticalScrollBar();
    bar->setValue(bar->maximum());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(card->agenda()->rows().size(), 2 * CalendarAgendaList::kRowPage);
    for (int page = 0; page < 50; ++page) {
        bar->setValue(bar->maximum());
        QCoreApplication::sendPostedEvents();
    }
    EXPECT_EQ(card->agenda()->rows().size(), 300u) << "every row, in the end";
    (void)panel.takeWidget(); // the card is the fixture's
}

// The selection's motion, on a card of no pinned zone.
using CalendarMotion = test::CardTest<CalendarCard>;

TEST_F(CalendarMotion, SelectionSlidesAndTheOldDayLeavesSinking)
{
    test::Frames frames;
    cardSize = {330, 900};
    CalendarCard &calendar = makeCard();
    QCoreApplication::processEvents();
    CalendarWeekStrip *strip = calendar.weekStrip();
    const auto cells = strip->cells();
    ASSERT_GE(cells.size(), 4u);
    const auto numberAt = [](CalendarDayCell *cell) { return cell->dayNumberRect().translated(cell->pos()); };
    EXPECT_EQ(strip->highlightRect(), numberAt(cells[0]));

    cells[3]->click();
    EXPECT_EQ(calendar.selectedDayID(), cells[3]->dayID()) << "the choice itself is at once";
    EXPECT_TRUE(calendar.agenda()->isChangingDay());
    frames.advanceBy(100);
    const qreal x = strip->highlightRect().x();
    EXPECT_GT(x, numberAt(cells[0]).x());
    EXPECT_LT(x, numberAt(cells[3]).x() + 4) << "on its way";
    const qreal change = calendar.agenda()->dayChangeProgress();
    EXPECT_TRUE(test::between(change, 0.0, 1.0));

    frames.advanceBy(OrlixMotion::smooth().durationMs + 16);
    EXPECT_EQ(strip->highlightRect(), numberAt(cells[3]));
    EXPECT_FALSE(calendar.agenda()->isChangingDay());
    EXPECT_EQ(calendar.agenda()->graphicsEffect(), nullptr);
    EXPECT_FALSE(test::anyRunning(calendar));
}

using namespace calendar;

CalendarEvent eventAt(const QString &id, const QDateTime &start)
{
    return CalendarEvent{id, id, start, start.addSecs(1800), {}, {}, {}};
}

TEST(CalendarDays, EveryDayHasItsOwnIdAndEventsGoToTheLocalDayTheyStartOn)
{
    // British summer time begins on 30 March 2025: local midnights before
    // it are UTC midnights, after it they fall on the previous UTC day.
    for (const char *zone : {"Europe/London", "Africa/Casablanca", "America/New_York", "Pacific/Auckland"}) {
        test::PinnedZone pinned(zone);
        const QDateTime now(QDate(2025, 3, 27), QTime(12, 0));
        const auto days = upcomingDays({}, now);
        ASSERT_EQ(days.size(), 7u) << zone;
        QSet<QString> ids;
        for (const CalendarDayGroup &day : days)
            ids.insert(day.id());
        EXPECT_EQ(ids.size(), 7) << zone;
        EXPECT_EQ(days.front().id(), u"2025-03-27"_s) << zone;
        EXPECT_EQ(days.back().id(), u"2025-04-02"_s) << zone;
        for (const CalendarDayGroup &day : days)
            EXPECT_EQ(selectedDay(days, day.id(), now).day, day.day) << zone;
    }

    test::PinnedZone pinned("Europe/Berlin");
    const QDateTime now(QDate(2026, 3, 14), QTime(9, 0));
    const std::vector<CalendarEvent> events{
        eventAt(u"late"_s, QDateTime(QDate(2026, 3, 14), QTime(23, 30))),
        eventAt(u"early"_s, QDateTime(QDate(2026, 3, 14), QTime(8, 0))),
        eventAt(u"yesterday"_s, QDateTime(QDate(2026, 3, 13), QTime(10, 0))),
        eventAt(u"nextWeek"_s, QDateTime(QDate(2026, 3, 21), QTime(10, 0))),
        eventAt(u"invalid"_s, QDateTime()),
    };
    const auto days = upcomingDays(events, now);
    ASSERT_EQ(days.size(), 7u);
    ASSERT_EQ(days[0].events.size(), 2u);
    EXPECT_EQ(days[0].events[0].id, u"late"_s) << "list order is kept";
    EXPECT_EQ(days[0].events[1].id, u"early"_s);
    for (std::size_t i = 1; i < days.size(); ++i)
        EXPECT_TRUE(days[i].events.empty()) << i;

    EXPECT_EQ(selectedDay(days, u"unknown"_s, now).day, days.front().day);
    EXPECT_EQ(selectedDay({}, u"unknown"_s, now).day, QDate(2026, 3, 14));
    EXPECT_TRUE(selectedDay({}, {}, now).events.empty());

    const std::pair<std::size_t, QString> summaries[] = {
        {0, u"Clear"_s}, {1, u"1 event"_s}, {2, u"2 events"_s}, {60, u"60 events"_s}};
    for (const auto &[count, text] : summaries)
        EXPECT_EQ(daySummary(count), text) << count;
}

// Whatever clock a start is written on (local, UTC, a fixed offset, a named
// zone), it lands on the local day that holds that moment: the last
// millisecond before a local midnight on the earlier day, the midnight
// itself on the later one, across the night the clocks go forward.
TEST(CalendarDayBounds, EachStartLandsOnTheLocalDayThatHoldsIt)
{
    test::PinnedZone pinned("Europe/London");
    // Summer time begins at 01:00 UTC on 30 March 2025.
    const QDateTime now(QDate(2025, 3, 28), QTime(12, 0));
    const QDateTime midnight30 = QDate(2025, 3, 30).startOfDay(); // 00:00 GMT
    const QDateTime midnight31 = QDate(2025, 3, 31).startOfDay(); // 23:00 UTC on the 30th
    const QDateTime weekEnd = QDate(2025, 4, 4).startOfDay();
    // Each start and the offset from today of its day; -1 for no day.
    const std::pair<QDateTime, int> cases[] = {
        {midnight30.addMSecs(-1), 1},
        {midnight30, 2},
        {midnight31.addMSecs(-1).toUTC(), 2},
        {midnight31.toUTC(), 3},
        {midnight31.toOffsetFromUtc(5 * 3600), 3},
        {midnight31.addMSecs(-1).toTimeZone(QTimeZone("America/New_York")), 2},
        {QDate(2025, 3, 28).startOfDay().addMSecs(-1).toUTC(), -1},
        {weekEnd.addMSecs(-1), 6},
        {weekEnd.toUTC(), -1},
    };
    for (const auto &[start, day] : cases) {
        const auto days = upcomingDays({eventAt(u"e"_s, start)}, now);
        ASSERT_EQ(days.size(), 7u);
        const auto holds = std::find_if(days.begin(), days.end(), [](const auto &d) { return !d.events.empty(); });
        EXPECT_EQ(holds == days.end() ? -1 : int(holds - days.begin()), day)
            << start.toString(Qt::ISODateWithMs).toStdString();
    }
}

// Where the abbreviated weekday is the whole word (Arabic), cells too narrow
// for it show the locale's short or narrow names, shrunk a little at most,
// rather than shrinking the words past reading.
TEST(CalendarWeekStripNames, NamesTooWideForTheCellsGiveWayToShorterOnesOfTheLocale)
{
    const QDateTime now(QDate(2025, 3, 27), QTime(10, 0), Qt::UTC);
    const QDate saturday(2025, 3, 29);
    EXPECT_EQ(CalendarWeekStrip::weekdayTexts(now.date(), now, DateText(u"ar_EG"_s)), QStringList{u"Today"_s});
    const QStringList english = CalendarWeekStrip::weekdayTexts(saturday, now, DateText(u"en_US"_s));
    EXPECT_EQ(english.front(), u"Sat"_s);
    const QStringList arabic = CalendarWeekStrip::weekdayTexts(saturday, now, DateText(u"ar_EG"_s));
    ASSERT_EQ(arabic.size(), 3) << arabic.join(u' ').toStdString();
    EXPECT_EQ(arabic.front(), u"السبت"_s);

    // At the standard rail's strip (254 wide in the running panel) English
    // keeps its abbreviations; Arabic trades the whole words for one shorter
    // form for every day, never one shrunk past reading.
    const auto days = calendar::upcomingDays({}, now);
    for (const char *locale : {"en_US", "ar_EG"}) {
        SCOPED_TRACE(locale);
        const DateText dates{QString::fromLatin1(locale)};
        CalendarWeekStrip strip;
        strip.setDays(days, days.front().id(), now, dates);
        strip.resize(254, strip.sizeHint().height());
        strip.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(strip.weekdayForm() > 0, locale == std::string("ar_EG"));
        for (const CalendarDayCell *dayCell : strip.cells()) {
            EXPECT_EQ(dayCell->shownWeekday(),
                      dayCell->weekdayForms().value(strip.weekdayForm(), dayCell->weekdayForms().front()));
            if (dayCell->weekdayForms().size() > 1) {
                EXPECT_GE(dayCell->weekdayScale(), 0.9) << dayCell->shownWeekday().toStdString();
            }
        }
    }
}

TEST_F(CalendarCardTest, WithoutACalendarFolderTheCardSaysSoInPlaceOfAnEmptyWeek)
{
    makeCard();
    QSignalSpy asked(state.get(), &AppState::showDesktopAppsSettings);
    auto *notice = find<EmptyState>(u"calendarNoFolderState"_s);
    EXPECT_FALSE(notice->isVisibleTo(card.get()));
    state->refreshCalendarEvents();
    ASSERT_TRUE(test::waitUntil([&] { return state->calendarFolderMissing(); }));
    EXPECT_TRUE(notice->isVisibleTo(card.get()));
    EXPECT_EQ(notice->titleLabel()->text(), u"No calendar folder"_s);
    EXPECT_FALSE(card->weekStrip()->isVisibleTo(card.get()));
    EXPECT_FALSE(card->agenda()->isVisibleTo(card.get()));
    QTest::mouseClick(find<QAbstractButton>(u"calendarOpenSettingsButton"_s), Qt::LeftButton);
    EXPECT_EQ(asked.size(), 1);

    ASSERT_TRUE(QDir().mkpath(home.path(u".local/share/calendars/personal"_s)));
    state->refreshCalendarEvents();
    ASSERT_TRUE(test::waitUntil([&] { return !state->calendarFolderMissing(); }));
    EXPECT_FALSE(notice->isVisibleTo(card.get()));
    EXPECT_TRUE(card->agenda()->isVisibleTo(card.get()));
    EXPECT_EQ(card->agenda()->emptyRow()->text(), u"No events today."_s);

    // A chosen folder that has gone is named as one that cannot be read.
    state->defaults().set(SettingsKey::calendarFolderPath, home.path(u"Calendars"_s));
    state->refreshCalendarEvents();
    ASSERT_TRUE(test::waitUntil([&] { return state->calendarFolderMissing(); }));
    EXPECT_TRUE(notice->isVisibleTo(card.get()));
    EXPECT_EQ(notice->titleLabel()->text(), u"Calendar folder can’t be read"_s);
    EXPECT_EQ(notice->subtitleLabel()->text(),
              u"“~/Calendars” is gone or can’t be opened. Bring it back, or choose another folder."_s);
    test::settle();
    EXPECT_FALSE(notice->subtitleLabel()->isElided(notice->subtitleLabel()->width()));
}

} // namespace
} // namespace kolu
