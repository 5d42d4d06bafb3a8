#include "cards/prayers/PrayersCard.h"

#include "cards/prayers/PrayerRules.h"
#include "cards/prayers/PrayerWidgets.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/DateText.h"

#include "../CardTest.h"

#include <algorithm>

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QLineEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

class PrayersCardTest : public test::CardTest<PrayersCard> {
protected:
    PrayersCardTest() { cardSize = {340, 700}; }

    void SetUp() override
    {
        CardTest::SetUp();
        state->loadSavedState();
        state->setRailModule(RailModule::prayers, true);
        state->setPrayerSettings({u"Makkah"_s, u"Saudi Arabia"_s, 4});
    }

    bool idle() const override { return !state->isLoadingPrayers(); }

    QLineEdit *cityEdit() const { return find<QLineEdit>(u"prayerCityEdit"_s); }
    QLineEdit *countryEdit() const { return find<QLineEdit>(u"prayerCountryEdit"_s); }
    QAbstractButton *setButton() const { return find<QAbstractButton>(u"prayerSetButton"_s); }

    static QStringList menuEntries(QToolButton *button)
    {
        QStringList entries;
        for (QAction *action : button->menu()->actions())
            entries << action->text();
        return entries;
    }

    static void trigger(QToolButton *button, const QString &entry)
    {
        const QList<QAction *> actions = button->menu()->actions();
        const auto it = std::find_if(actions.begin(), actions.end(), [&](QAction *a) { return a->text() == entry; });
        ASSERT_NE(it, actions.end()) << entry.toStdString();
        (*it)->trigger();
    }

    PrayerDay day() const
    {
        PrayerDay day{u"2026-03-14"_s, u"Makkah"_s, u"Saudi Arabia"_s, 4, clock.now(), {}};
        const std::pair<PrayerName, QTime> times[] = {{PrayerName::fajr, {4, 30}},     {PrayerName::sunrise, {6, 1}},
                                                      {PrayerName::dhuhr, {12, 5}},    {PrayerName::asr, {15, 20}},
                                                      {PrayerName::maghrib, {18, 10}}, {PrayerName::isha, {19, 30}}};
        for (const auto &[name, time] : times)
            day.times.push_back({name, QDateTime(QDate(2026, 3, 14), time, Qt::UTC), true});
        return day;
    }
};

TEST_F(PrayersCardTest, ShowingFillsTheStoredPlaceFromItsBeginningTheMenusReplaceItAndSetStoresIt)
{
    makeCard();
    EXPECT_EQ(cityEdit()->text(), u"Makkah"_s);
    EXPECT_EQ(countryEdit()->text(), u"Saudi Arabia"_s);
    auto *cityMenu = find<QToolButton>(u"prayerCityMenu"_s);
    auto *countryMenu = find<QToolButton>(u"prayerCountryMenu"_s);
    EXPECT_EQ(menuEntries(countryMenu), prayers::countryPresets());

    trigger(countryMenu, u"Egypt"_s);
    EXPECT_EQ(cityEdit()->text(), u"Cairo"_s);
    EXPECT_EQ(countryEdit()->text(), u"Egypt"_s);
    EXPECT_EQ(menuEntries(cityMenu), (QStringList{u"Cairo"_s, u"Alexandria"_s, u"Giza"_s}));

    trigger(cityMenu, u"Giza"_s);
    trigger(countryMenu, u"Egypt"_s);
    EXPECT_EQ(cityEdit()->text(), u"Giza"_s) << "the same country leaves the city alone";

    // A typed country that is no exact preset offers every city.
    countryEdit()->clear();
    QTest::keyClicks(countryEdit(), u"egypt"_s);
    EXPECT_EQ(menuEntries(cityMenu), prayers::cityOptions(u"egypt"_s));

    // Unconfirmed edits are dropped at the next appearance, and fields at
    // rest show the beginning of their text.
    card->hide();
    card->show();
    EXPECT_EQ(cityEdit()->text(), u"Makkah"_s);
    EXPECT_EQ(countryEdit()->text(), u"Saudi Arabia"_s);
    for (const QString &text : {u"Saudi Arabia"_s, u"Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch"_s}) {
        state->setPrayerSettings({text, text, 4});
        card->hide();
        card->show(); // each showing fills the stored place
        for (QLineEdit *edit : {cityEdit(), countryEdit()}) {
            EXPECT_EQ(edit->text(), text);
            EXPECT_EQ(edit->cursorPosition(), 0) << text.toStdString();
        }
    }
    // After typing, leaving the field brings its beginning back into view.
    cityEdit()->setFocus();
    QTest::keyClicks(cityEdit(), u" and more words to run past the edge"_s);
    EXPECT_GT(cityEdit()->cursorPosition(), 0);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(cityEdit(), &out);
    EXPECT_EQ(cityEdit()->cursorPosition(), 0);

    // Set is disabled for a blank place and stores the trimmed text with a forced request.
    waitIdle();
    for (const QString &blank : {u""_s, u"   "_s, QString(500, u' ')}) {
        cityEdit()->setText(blank);
        EXPECT_FALSE(setButton()->isEnabled()) << blank.size();
    }
    cityEdit()->setText(u"Cairo"_s);
    countryEdit()->setText(u" "_s);
    EXPECT_FALSE(setButton()->isEnabled());

    services.server.clearRequests();
    countryEdit()->setText(u"Egypt"_s);
    cityEdit()->setText(u" Cairo "_s);
    QTest::mouseClick(setButton(), Qt::LeftButton);
    EXPECT_EQ(state->prayerSettings().city, u"Cairo"_s);
    EXPECT_EQ(state->prayerSettings().country, u"Egypt"_s);
    EXPECT_TRUE(state->isLoadingPrayers());
    ASSERT_TRUE(test::waitUntil([&] { return !services.server.requests().isEmpty(); }));
    EXPECT_EQ(services.server.requests().last().queryValue(u"city"_s), u"Cairo"_s);

    EXPECT_EQ(prayers::cityOptions(u"Jordan"_s), (QStringList{u"Amman"_s, u"Irbid"_s, u"Aqaba"_s}));
    // Other case, a trailing space, unknown or hostile text: every preset city once, in code-point order.
    QStringList every;
    for (const QString &country : prayers::countryPresets())
        every += prayers::cityPresets(country);
    std::sort(every.begin(), every.end());
    for (const QString &country : {u"egypt"_s, u"Egypt "_s, u""_s, u"Atlantis"_s, u"a/b&c#d"_s, QString(500, u' ')}) {
        const QStringList all = prayers::cityOptions(country);
        EXPECT_EQ(all, every) << country.toStdString();
        EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "no city twice";
    }
}

TEST_F(PrayersCardTest, TheChevronOpensItsMenuUnderTheWholeFieldAtLeastAsWide)
{
    makeCard();
    for (const char *name : {"prayerCity", "prayerCountry"}) {
        auto *field = find<PrayerLocationField>(QString::fromLatin1(name) + u"Field"_s);
        auto *chevron = find<QToolButton>(QString::fromLatin1(name) + u"Menu"_s);
        ASSERT_FALSE(chevron->menu()->actions().isEmpty()) << name;
        // Whichever way the menu opens (a stock tool button's runs a loop
        // of its own), it is measured and closed from the event loop.
        QRect seen;
        QTimer::singleShot(0, card.get(), [&seen] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                seen = popup->geometry();
                popup->close();
            }
        });
        QTest::mouseClick(chevron, Qt::LeftButton);
        ASSERT_TRUE(test::waitUntil([&] { return seen.isValid(); })) << name;
        const QPoint fieldAt = field->mapToGlobal(QPoint(0, 0));
        EXPECT_EQ(seen.left(), fieldAt.x()) << name << ": at the field's edge, not the chevron's";
        EXPECT_GE(seen.width(), field->width()) << name;
        EXPECT_TRUE(seen.top() >= fieldAt.y() + field->height() || seen.bottom() < fieldAt.y())
            << name << ": never over the field";
    }
}

TEST_F(PrayersCardTest, HeaderEmptyStateRowsAndSwitchesFollowTheHeldDayAndTheClock)
{
    using namespace std::chrono_literals;
    makeCard();
    waitIdle();
    state->setPrayerDay(std::nullopt);
    state->setPrayerStatus({{}, StatusTint::secondary}); // no day, and no failed refresh either
    auto *empty = find<EmptyState>(u"prayerEmptyState"_s);
    EXPECT_TRUE(empty->isVisibleTo(card.get()));
    EXPECT_EQ(text(u"prayerNextName"_s), u"Ready"_s);
    state->setIsLoadingPrayers(true);
    EXPECT_EQ(empty->titleLabel()->text(), u"Loading prayers"_s);
    state->setIsLoadingPrayers(false);
    EXPECT_EQ(empty->titleLabel()->text(), u"No prayer times"_s);
    // A failed fetch says what happened once, in the status line; the header
    // does not claim the day is done.
    const QString offline = u"Kolu is offline. Check the network, then refresh."_s;
    state->setPrayerStatus({offline, StatusTint::orange});
    EXPECT_EQ(text(u"prayerLocationStatus"_s), offline);
    EXPECT_EQ(find<ElidedLabel>(u"prayerLocationStatus"_s)->maximumLines(), 2);
    EXPECT_EQ(text(u"prayerNextName"_s), u"No times"_s);
    EXPECT_EQ(empty->subtitleLabel()->text(), u"Set a city and refresh today's times."_s);
    const auto labels = card->findChildren<ElidedLabel *>();
    EXPECT_EQ(std::count_if(labels.begin(), labels.end(),
                            [&](const ElidedLabel *label) { return label->text().contains(u"offline"_s); }),
              1);

    state->setPrayerStatus({u"Updated"_s, StatusTint::green});
    EXPECT_EQ(empty->subtitleLabel()->text(), u"Set a city and refresh today's times."_s);

    // The spinner stands in a button as wide as the refresh button: nothing jumps.
    auto *refresh = find<QWidget>(u"prayerRefreshButton"_s);
    QCoreApplication::sendPostedEvents();
    const QRect resting = refresh->geometry();
    state->setIsLoadingPrayers(true);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(refresh->geometry(), resting);
    state->setIsLoadingPrayers(false);

    state->setPrayerDay(day()); // 09:00: Dhuhr is next, at 12:05
    EXPECT_FALSE(empty->isVisibleTo(card.get()));
    EXPECT_EQ(text(u"prayerNextName"_s), u"Dhuhr"_s);
    for (const QString &id : {u"fajr"_s, u"sunrise"_s, u"dhuhr"_s, u"asr"_s, u"maghrib"_s, u"isha"_s}) {
        auto *row = find<PrayerTimeRow>(u"prayerRow_"_s + id);
        EXPECT_EQ(row->isNext(), id == u"dhuhr"_s) << id.toStdString();
        EXPECT_EQ(row->notificationSwitch()->isEnabled(), id != u"sunrise"_s) << id.toStdString();
    }

    auto *fajr = find<OrlixSwitch>(u"prayerSwitch_fajr"_s);
    QTest::mouseClick(fajr, Qt::LeftButton);
    EXPECT_FALSE(state->prayerNotificationStates().at(u"fajr"_s));
    EXPECT_FALSE(fajr->isChecked());

    auto *sunrise = find<OrlixSwitch>(u"prayerSwitch_sunrise"_s);
    const bool before = sunrise->isChecked();
    QTest::mouseClick(sunrise, Qt::LeftButton);
    EXPECT_EQ(sunrise->isChecked(), before);
    EXPECT_EQ(state->prayerNotificationStates().count(u"sunrise"_s), 0u);

    // The countdown and the highlight follow the clock while shown.
    EXPECT_TRUE(text(u"prayerNextSubtitle"_s).startsWith(u"in 3h 5m • "_s));
    clock.advance(61s);
    EXPECT_TRUE(text(u"prayerNextSubtitle"_s).startsWith(u"in 3h 4m • "_s));
    clock.advance(3h + 4min); // 12:05:01
    EXPECT_EQ(text(u"prayerNextName"_s), u"Asr"_s);
    EXPECT_FALSE(find<PrayerTimeRow>(u"prayerRow_dhuhr"_s)->isNext());
    EXPECT_TRUE(find<PrayerTimeRow>(u"prayerRow_asr"_s)->isNext());
}

TEST(PrayerRules, SubtitleRoundsMinutesUpAndSplitsHours)
{
    const QDateTime now(QDate(2026, 3, 14), QTime(12, 0), Qt::UTC);
    EXPECT_EQ(prayers::nextPrayerSubtitle(std::nullopt, now), u"Refresh today's times"_s);
    const std::pair<qint64, QString> cases[] = {
        {30, u"1m"_s},      {60, u"1m"_s},       {61, u"2m"_s}, {3540, u"59m"_s}, {3541, u"1h 0m"_s},
        {3600, u"1h 0m"_s}, {5430, u"1h 31m"_s}, {0, u"0m"_s},  {-30, u"0m"_s},   {-600, u"0m"_s}};
    for (const auto &[seconds, span] : cases) {
        const PrayerTime prayer{PrayerName::asr, now.addSecs(seconds), true};
        EXPECT_EQ(prayers::nextPrayerSubtitle(prayer, now),
                  u"in "_s + span + u" • "_s + DateText::user().format(prayer.date, u"jmm"_s))
            << seconds;
    }
}

} // namespace
} // namespace kolu
