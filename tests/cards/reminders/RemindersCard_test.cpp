#include "cards/reminders/ReminderComposer.h"
#include "cards/reminders/ReminderRow.h"
#include "cards/reminders/ReminderRules.h"
#include "cards/reminders/RemindersCard.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixDateField.h"
#include "style/widgets/SegmentedPicker.h"
#include "style/widgets/Reveal.h"

#include "style/OrlixStyle.h"

#include "../CardTest.h"
#include "../../style/ColorMeasure.h"
#include "../../style/LightLooks.h"

#include <cmath>

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QDirIterator>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// A reminders card on a state with real services over a temporary home.
class RemindersCardTest : public test::CardTest<RemindersCard> {
protected:
    RemindersCardTest() { cardSize = {318, 620}; }

    QString listFolder() const { return home.path(u".local/share/calendars/Tasks"_s); }

    // A to-do file in the list folder, as another client would write it.
    void writeTodo(const QString &uid, const QStringList &properties)
    {
        const QStringList lines = QStringList{u"BEGIN:VCALENDAR"_s, u"VERSION:2.0"_s,
                                              u"PRODID:-//Hand written//Test//EN"_s, u"BEGIN:VTODO"_s, u"UID:"_s + uid}
                                  + properties + QStringList{u"END:VTODO"_s, u"END:VCALENDAR"_s, {}};
        ASSERT_TRUE(QDir().mkpath(listFolder()));
        ASSERT_TRUE(test::writeFile(listFolder() + u'/' + uid + u".ics"_s, lines.join(u"\r\n"_s).toUtf8()));
    }

    // Every to-do file below the list folder, with its text.
    QStringList todoFiles() const
    {
        QStringList texts;
        QDirIterator it(listFolder(), {u"*.ics"_s}, QDir::Files);
        while (it.hasNext())
            texts << QString::fromUtf8(test::readFile(it.next()));
        return texts;
    }
};

const QTimeZone berlin("Europe/Berlin");

ReminderItem due(const QString &id, const QDateTime &when, bool includesTime = true)
{
    return {id, id, {}, when, includesTime, 0, false, {}, false};
}

QStringList ids(const std::vector<ReminderItem> &items)
{
    QStringList out;
    for (const ReminderItem &item : items)
        out << item.id;
    return out;
}

QStringList texts(const QWidget &card, const QString &name)
{
    QStringList out;
    for (const ElidedLabel *label : card.findChildren<ElidedLabel *>(name))
        out << label->text();
    return out;
}

// The stored filter falls back to Today when not offered; each chip stores its value.
TEST_F(RemindersCardTest, ChipsStoreTheirFilterAndSectionsFollowTheDayBoundaries)
{
    defaults.set(SettingsKey::orlixReminderFilter, u"flagged"_s); // stored, but not offered
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDateTime midnight = clock.now().toTimeZone(zone).date().startOfDay(zone);
    state->setRemindersConnection(RemindersConnectionState::ready());
    state->setReminders({due(u"tomorrow"_s, midnight.addDays(1).addSecs(3600)), due(u"midnight"_s, midnight),
                         due(u"yesterday"_s, midnight.addSecs(-1))});
    makeCard();
    EXPECT_EQ(card->selectedFilter(), ReminderFilter::today);
    EXPECT_TRUE(find<QAbstractButton>(u"reminderFilter_today"_s)->isChecked());
    const std::tuple<QString, QStringList, QStringList> cases[] = {
        {u"reminderFilter_today"_s, {u"Today"_s}, {u"midnight"_s}},
        {u"reminderFilter_overdue"_s, {u"Overdue"_s}, {u"yesterday"_s}},
        {u"reminderFilter_upcoming"_s, {u"Today"_s, u"Tomorrow"_s}, {u"midnight"_s, u"tomorrow"_s}},
    };
    for (const auto &[chip, sections, titles] : cases) {
        click(chip);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(texts(*card, u"reminderSectionTitle"_s), sections) << chip.toStdString();
        EXPECT_EQ(texts(*card, u"reminderTitle"_s), titles) << chip.toStdString();
        EXPECT_EQ(u"reminderFilter_"_s + defaults.string(SettingsKey::orlixReminderFilter).value_or(QString()), chip);
        EXPECT_TRUE(find<QAbstractButton>(chip)->isChecked());
    }
    EXPECT_EQ(text(u"reminderCountLine"_s), u"3 open reminders"_s);
}

// Measured from the pixels: the green count beside a section's title reads
// on a light card in every light look.
TEST_F(RemindersCardTest, SectionCountsReadOnLightCards)
{
    OrlixStyle style(defaults);
    const QTimeZone zone = QTimeZone::systemTimeZone();
    state->setRemindersConnection(RemindersConnectionState::ready());
    state->setReminders({due(u"midnight"_s, clock.now().toTimeZone(zone).date().startOfDay(zone))});
    makeCard();
    for (const char *theme : test::kLightThemes) {
        SCOPED_TRACE(theme);
        test::useLightLook(defaults, style, theme);
        test::settle();
        auto *count = find<ElidedLabel>(u"reminderSectionCount"_s);
        ASSERT_NE(count, nullptr);
        EXPECT_GE(test::drawnContrast(*count, count->rect(), test::lightCardBackdrop(style)), kBodyTextContrast);
    }
}

TEST_F(RemindersCardTest, UnreadableFolderOffersSettingsAndTheCountNeverStatesLessThanHeld)
{
    state->setRemindersConnection(RemindersConnectionState::denied());
    makeCard();
    QSignalSpy asked(state.get(), &AppState::showDesktopAppsSettings);
    // No folder is no blocked access: the card says what to choose, as the
    // calendar and notes cards do.
    EXPECT_EQ(find<EmptyState>(u"reminderEmptyState"_s)->titleLabel()->text(), u"No to-do folder"_s);
    EXPECT_EQ(reminderrules::emptyContent(RemindersConnectionState::denied(), false).symbol, u"checklist"_s);
    auto *open = find<OrlixButton>(u"reminderOpenSettingsButton"_s);
    EXPECT_EQ(open->text(), u"Open Settings"_s);
    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(asked.count(), 1);

    state->setRemindersConnection(RemindersConnectionState::ready());
    test::settle();
    EXPECT_EQ(card->findChild<QWidget *>(u"reminderOpenSettingsButton"_s), nullptr);

    // The fetch asks for one more than it keeps: thirteen overdue keep twelve
    // and say there are more, and never read as nothing due.
    std::vector<ReminderItem> items;
    for (int i = 0; i <= AppState::maxOpenReminders; ++i)
        items.push_back(due(QString::number(i), clock.now().addDays(-7)));
    state->setReminderList(AppState::keptOpenReminders(RemindersConnectionState::ready(), items));
    test::settle();
    EXPECT_EQ(state->reminders().size(), std::size_t(AppState::maxOpenReminders));
    EXPECT_TRUE(state->hasMoreOpenReminders());
    EXPECT_EQ(text(u"reminderCountLine"_s), u"12+ open reminders"_s);
    EXPECT_NE(find<EmptyState>(u"reminderEmptyState"_s)->titleLabel()->text(), u"No open reminders"_s);
    // Exactly twelve: all of them, and no "+".
    items.pop_back();
    state->setReminderList(AppState::keptOpenReminders(RemindersConnectionState::ready(), items));
    test::settle();
    EXPECT_EQ(state->reminders().size(), std::size_t(AppState::maxOpenReminders));
    EXPECT_FALSE(state->hasMoreOpenReminders());
    EXPECT_EQ(text(u"reminderCountLine"_s), u"12 open reminders"_s);

    for (const auto &[count, more, text] : {std::tuple{0, false, u"0 open reminders"_s},
                                            {1, false, u"1 open reminder"_s},
                                            {2, false, u"2 open reminders"_s},
                                            {12, false, u"12 open reminders"_s},
                                            {12, true, u"12+ open reminders"_s}})
        EXPECT_EQ(reminderrules::countText(count, more), text);

    // A full list may hide what a filter would keep, so its empty state does not claim there is none.
    const auto ready = RemindersConnectionState::ready();
    EXPECT_EQ(reminderrules::emptyContent(ready, false).title, u"No open reminders"_s);
    EXPECT_NE(reminderrules::emptyContent(ready, true).title, u"No open reminders"_s);
    EXPECT_TRUE(reminderrules::emptyContent(RemindersConnectionState::denied(), false).offersSettings);
    const auto failed = RemindersConnectionState::failed(u"Disk gone"_s);
    EXPECT_EQ(reminderrules::emptyContent(failed, false).subtitle, u"Disk gone"_s);
    EXPECT_EQ(reminderrules::connectionLine(failed), u"Disk gone"_s);
    EXPECT_FALSE(reminderrules::emptyContent(failed, false).offersSettings);

    // At the standard rail the header line reads whole in every state but a
    // failure (whose message the empty state repeats at length).
    auto *line = find<ElidedLabel>(u"reminderConnectionLine"_s);
    for (const RemindersConnectionState &connection :
         {RemindersConnectionState::notDetermined(), RemindersConnectionState::denied(), ready}) {
        state->setRemindersConnection(connection);
        test::settle();
        EXPECT_EQ(line->text(), reminderrules::connectionLine(connection));
        EXPECT_FALSE(line->isElided(line->width())) << line->text().toStdString();
    }
    // The header and the empty state say one thing; a chosen folder that
    // has gone is named, as the calendar names its own.
    state->setRemindersConnection(RemindersConnectionState::denied());
    test::settle();
    EXPECT_EQ(line->text(), u"No to-do folder."_s);
    defaults.set(SettingsKey::remindersFolderPath, u"~/Gone"_s);
    state->setReminderList(AppState::keptOpenReminders(RemindersConnectionState::denied(), {}));
    test::settle();
    EXPECT_EQ(line->text(), u"To-do folder can’t be read."_s);
    EXPECT_FALSE(line->isElided(line->width()));
    auto *gone = find<EmptyState>(u"reminderEmptyState"_s);
    EXPECT_EQ(gone->titleLabel()->text(), u"To-do folder can’t be read"_s);
    EXPECT_EQ(gone->subtitleLabel()->text(),
              u"“~/Gone” is gone or can’t be opened. Bring it back, or choose another folder."_s);
}

TEST_F(RemindersCardTest, ARefreshRebuildsOnlyTheRowsOfChangedReminders)
{
    const QString today = clock.now().toTimeZone(QTimeZone::systemTimeZone()).date().toString(u"yyyyMMdd"_s);
    const auto write = [&](const QString &id, const QString &title) {
        writeTodo(id, {u"SUMMARY:"_s + title, u"DUE;VALUE=DATE:"_s + today});
    };
    write(u"milk"_s, u"Buy milk"_s);
    write(u"call"_s, u"Call home"_s);
    makeCard();
    QSignalSpy changes(state.get(), &AppState::changed);
    const auto publications = [&] {
        return std::count_if(changes.begin(), changes.end(), [](const QList<QVariant> &arguments) {
            return arguments.at(0).value<AppState::Field>() == AppState::Field::reminderList;
        });
    };
    // Refreshes, waits for the answer, shows the new sections (a layout shows
    // them once the event loop runs) and lets the widgets they replaced go.
    const auto refresh = [&] {
        const auto before = publications();
        state->refreshReminders();
        const bool answered = test::waitUntil([&] { return publications() > before; });
        test::settle();
        return answered ? publications() - before : 0;
    };
    const auto rowsByTitle = [&] {
        std::map<QString, QPointer<QWidget>> rows;
        for (QWidget *row : card->findChildren<QWidget *>(u"reminderRow"_s))
            rows[row->findChild<ElidedLabel *>(u"reminderTitle"_s)->text()] = row;
        return rows;
    };

    // A new list is published once, reminders and connection together.
    EXPECT_EQ(refresh(), 1);
    const auto first = rowsByTitle();
    ASSERT_EQ(first.size(), 2u);

    // The same list again keeps every row.
    EXPECT_EQ(refresh(), 1);
    EXPECT_EQ(rowsByTitle(), first);

    // A changed reminder gets a new row; the unchanged one keeps its own.
    write(u"call"_s, u"Call home tonight"_s);
    write(u"bread"_s, u"Buy bread"_s);
    EXPECT_EQ(refresh(), 1);
    const auto third = rowsByTitle();
    ASSERT_EQ(third.size(), 3u);
    EXPECT_EQ(third.at(u"Buy milk"_s), first.at(u"Buy milk"_s));
    EXPECT_TRUE(first.at(u"Call home"_s).isNull());
    for (const auto &[title, row] : third)
        EXPECT_TRUE(row->isVisibleTo(card.get())) << title.toStdString();
    EXPECT_EQ(texts(*card, u"reminderSectionCount"_s), QStringList{u"3"_s});
}

// The priority, link and note marks stand right after the texts they belong
// to, wherever those end, and a long title still keeps its mark in the row.
TEST_F(RemindersCardTest, MarksFollowTheTitleAndTheDueText)
{
    for (const QString &title : {u"Milk"_s, u"Call the plumber about the kitchen tap"_s,
                                 u"A title long enough to wrap onto a second line and then be cut short"_s}) {
        SCOPED_TRACE(title.toStdString());
        ReminderItem item{
            u"r1"_s, title, u"bring the bag"_s, clock.now(), true, 1, false, QUrl(u"https://example.com"_s), false};
        ReminderRow row(*state, item);
        row.resize(318, row.heightForWidth(318) > 0 ? row.heightForWidth(318) : 120);
        row.show();
        QCoreApplication::processEvents();

        auto *titleLabel = row.findChild<ElidedLabel *>(u"reminderTitle"_s);
        auto *due = row.findChild<ElidedLabel *>(u"reminderDue"_s);
        const auto part = [&](const QString &name) { return row.findChild<QWidget *>(name); };
        auto *mark = part(u"reminderPriorityMark"_s), *link = part(u"reminderLinkMark"_s);
        auto *note = part(u"reminderNoteMark"_s), *complete = part(u"reminderCompleteButton"_s);
        ASSERT_TRUE(titleLabel && mark && due && link && note && complete);

        // Six apart, as the line's spacing says; never over the completion button.
        EXPECT_EQ(mark->geometry().left(), titleLabel->geometry().right() + 1 + 6);
        EXPECT_LE(mark->mapTo(&row, QPoint(mark->width(), 0)).x(), complete->geometry().left());
        EXPECT_EQ(link->geometry().left(), due->geometry().right() + 1 + 6);
        EXPECT_EQ(note->geometry().left(), link->geometry().right() + 1 + 6);
        if (title.size() < 10) {
            EXPECT_LT(mark->mapTo(&row, QPoint()).x(), row.width() / 2) << "a short title keeps its mark near";
            EXPECT_EQ(titleLabel->visibleLines(titleLabel->width()).join(u' '), title);
        }
    }
}

// A due text too wide for its line keeps the date on the first line and
// puts the time whole on the next, in a locale whose date runs long too.
TEST(ReminderRules, ADueTextTooWideForItsLineBreaksOnlyBeforeItsTime)
{
    const QFont font = OrlixFonts::system(11, QFont::DemiBold);
    for (const char *locale : {"en_US", "ar_EG"}) {
        SCOPED_TRACE(locale);
        const DateText dates(QString::fromLatin1(locale), u"Africa/Cairo"_s);
        const ReminderItem item = due(u"r"_s, QDateTime(QDate(2026, 12, 8), QTime(14, 55), QTimeZone("Africa/Cairo")));
        const QString text = reminderrules::dueText(item, dates);
        // One space breaks: the one after the date.
        const QString date = dates.format(*item.dueDate, u"yMMMd"_s);
        EXPECT_TRUE(QString(text).replace(QChar::Nbsp, u' ').startsWith(date)) << text.toStdString();
        EXPECT_EQ(text.count(u' '), 1) << text.toStdString();
        const QString time = text.mid(text.indexOf(u' ') + 1);
        EXPECT_GE(time.size(), 4) << time.toStdString();
        ElidedLabel label(text);
        label.setFont(font);
        label.setMaximumLines(2);
        const int natural = int(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
        EXPECT_EQ(label.visibleLines(natural), QStringList{text});
        for (int narrower : {10, 30}) {
            EXPECT_EQ(label.visibleLines(natural - narrower).value(1), time) << text.toStdString();
            EXPECT_FALSE(label.isElided(natural - narrower));
        }
    }
}

TEST(ReminderRules, OnlyOfferedFiltersAreSelectedAndDayBoundariesDecideThem)
{
    using reminderrules::selectedFilter;
    for (const QString &raw : {u"flagged"_s, u"noDate"_s, u""_s, u"xyz"_s, u"Today"_s, u"today"_s})
        EXPECT_EQ(selectedFilter(raw), ReminderFilter::today) << raw.toStdString();
    EXPECT_EQ(selectedFilter(u"overdue"_s), ReminderFilter::overdue);
    EXPECT_EQ(selectedFilter(u"upcoming"_s), ReminderFilter::upcoming);
    EXPECT_EQ(reminderrules::label(ReminderFilter::upcoming), u"Scheduled"_s);

    const QDateTime now(QDate(2026, 3, 14), QTime(15, 0), berlin);
    const auto day = reminderrules::Day::of(now, berlin);
    const QDateTime midnight(QDate(2026, 3, 14), QTime(0, 0), berlin);
    const std::vector<ReminderItem> items{
        due(u"lastSecondYesterday"_s, midnight.addSecs(-1)),
        due(u"midnight"_s, midnight),
        due(u"earlierToday"_s, now.addSecs(-3600)),
        due(u"lastSecondToday"_s, midnight.addDays(1).addSecs(-1)),
        due(u"tomorrow"_s, midnight.addDays(1)),
        ReminderItem{u"undated"_s, u"undated"_s, {}, {}, false, 0, false, {}, false},
    };
    EXPECT_EQ(ids(reminderrules::filtered(items, ReminderFilter::overdue, day)), QStringList{u"lastSecondYesterday"_s});
    EXPECT_EQ(ids(reminderrules::filtered(items, ReminderFilter::today, day)),
              (QStringList{u"midnight"_s, u"earlierToday"_s, u"lastSecondToday"_s}));
    EXPECT_EQ(ids(reminderrules::filtered(items, ReminderFilter::upcoming, day)),
              (QStringList{u"midnight"_s, u"earlierToday"_s, u"lastSecondToday"_s, u"tomorrow"_s}));
    for (ReminderFilter hidden : {ReminderFilter::noDate, ReminderFilter::flagged})
        EXPECT_TRUE(reminderrules::filtered(items, hidden, day).empty());
}

TEST(ReminderRules, SectionsRunOverdueTodayTomorrowThenLaterDaysWithYearsApart)
{
    const QDateTime now(QDate(2026, 3, 14), QTime(15, 0), berlin);
    const auto day = reminderrules::Day::of(now, berlin);
    const DateText dates(u"en_US"_s, u"Europe/Berlin"_s);
    const QDateTime nine(QDate(2026, 3, 15), QTime(9, 0), berlin);
    const std::vector<ReminderItem> items{
        due(u"nextYear"_s, QDateTime(QDate(2027, 3, 20), QTime(9, 0), berlin)),
        due(u"later"_s, QDateTime(QDate(2026, 3, 20), QTime(9, 0), berlin)),
        due(u"tomorrowA"_s, nine),
        due(u"tomorrowB"_s, nine),
        due(u"tomorrowEarly"_s, nine.addSecs(-3600)),
        due(u"dateOnlyTomorrow"_s, day.startOfTomorrow), // a date-only reminder starts its day
        due(u"today"_s, now),
        due(u"overdue"_s, now.addDays(-3)),
    };
    const auto sections = reminderrules::sections(items, day, berlin, dates);
    QStringList titles;
    for (const auto &section : sections)
        titles << section.title;
    ASSERT_EQ(titles.size(), 5);
    EXPECT_EQ(titles.mid(0, 3), (QStringList{u"Overdue"_s, u"Today"_s, u"Tomorrow"_s}));
    EXPECT_TRUE(titles[3].contains(u"Friday"_s)) << titles[3].toStdString();
    EXPECT_TRUE(titles[4].contains(u"2027"_s)) << titles[4].toStdString();
    EXPECT_NE(titles[3], titles[4]);
    EXPECT_EQ(ids(sections[1].reminders), QStringList{u"today"_s});
    EXPECT_EQ(ids(sections[2].reminders),
              (QStringList{u"dateOnlyTomorrow"_s, u"tomorrowEarly"_s, u"tomorrowA"_s, u"tomorrowB"_s}));
}

class ReminderComposerTest : public RemindersCardTest {
protected:
    void openComposer()
    {
        click(u"reminderComposerButton"_s);
        ASSERT_TRUE(card->isComposing());
    }
    void type(const QString &field, const QString &text)
    {
        auto *edit = find<QLineEdit>(field);
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
};

TEST_F(ReminderComposerTest, ThemedPickersWriteTheDateAsTheRowsDoAndStepTheDraft)
{
    makeCard(); // under Today: the date is ticked, set to now
    openComposer();
    EXPECT_EQ(card->findChild<QCheckBox *>(), nullptr) << "no stock tick boxes";
    EXPECT_EQ(card->findChild<QDateTimeEdit *>(), nullptr) << "no stock pickers";
    auto *date = find<OrlixDateField>(u"reminderDatePicker"_s);
    auto *time = find<OrlixDateField>(u"reminderTimePicker"_s);
    const QDateTime now = clock.now().toLocalTime();
    EXPECT_EQ(date->text(), DateText::user().format(now, u"yMMMd"_s));
    EXPECT_EQ(time->text(), DateText::user().format(now, u"jmm"_s));
    // Never narrower than its text: the year is never cut.
    QCoreApplication::sendPostedEvents();
    EXPECT_GE(date->width(), QFontMetricsF(date->font()).horizontalAdvance(date->text()));
    EXPECT_EQ(date->minimumSizeHint(), date->sizeHint());

    auto *composer = find<ReminderComposer>(u"reminderComposer"_s);
    QTest::keyClick(date, Qt::Key_Up);
    EXPECT_EQ(composer->draft().dueDate.date(), now.date().addDays(1));
    find<QAbstractButton>(u"reminderTimeCheck"_s)->setChecked(true);
    const QTime before = composer->draft().dueDate.time();
    QTest::keyClick(time, Qt::Key_PageUp);
    EXPECT_EQ(composer->draft().dueDate.time(), before.addSecs(3600));
    EXPECT_EQ(composer->draft().dueDate.date(), now.date().addDays(1)) << "the time keeps the chosen day";
}

TEST_F(ReminderComposerTest, DateStaysTickedWheneverTimeIsAndABlankTitleAddsNothing)
{
    makeCard(); // under Today
    openComposer();
    auto *date = find<QAbstractButton>(u"reminderDateCheck"_s);
    auto *time = find<QAbstractButton>(u"reminderTimeCheck"_s);
    EXPECT_TRUE(date->isChecked());
    EXPECT_FALSE(time->isChecked());
    EXPECT_FALSE(find(u"reminderTimePicker"_s)->isEnabled());

    date->setChecked(false);
    time->setChecked(true);
    EXPECT_TRUE(date->isChecked());
    date->setChecked(false);
    EXPECT_FALSE(time->isChecked());
    EXPECT_FALSE(find(u"reminderTimePicker"_s)->isEnabled());
    EXPECT_FALSE(find(u"reminderDatePicker"_s)->isEnabled());

    // A blank title adds nothing, from the button or from Return.
    type(u"reminderTitleField"_s, u"  "_s);
    auto *button = find<ReminderComposerButton>(u"reminderComposerButton"_s);
    EXPECT_EQ(button->symbol(), u"plus"_s);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClick(find(u"reminderTitleField"_s), Qt::Key_Return);
    EXPECT_TRUE(card->isComposing());
    EXPECT_TRUE(todoFiles().isEmpty());
}

TEST_F(ReminderComposerTest, AFailedAddKeepsTheDraft)
{
    // No to-do folder: the add cannot be written.
    makeCard();
    openComposer();
    type(u"reminderTitleField"_s, u"Buy milk"_s);
    type(u"reminderNotesField"_s, u"two litres"_s);
    click(u"reminderComposerButton"_s);
    ASSERT_TRUE(test::waitUntil([&] { return !find<ReminderComposer>(u"reminderComposer"_s)->failure().isEmpty(); }));
    EXPECT_TRUE(card->isComposing());
    const ReminderDraft draft = find<ReminderComposer>(u"reminderComposer"_s)->draft();
    EXPECT_EQ(draft.title, u"Buy milk"_s);
    EXPECT_EQ(draft.notes, u"two litres"_s);
    EXPECT_TRUE(draft.hasDate);

    // The folder made, the reminders are ready again: the error line goes,
    // the draft stays.
    ASSERT_TRUE(QDir().mkpath(listFolder()));
    state->refreshReminders();
    EXPECT_TRUE(test::waitUntil([&] { return find<ReminderComposer>(u"reminderComposer"_s)->failure().isEmpty(); }));
    EXPECT_EQ(state->remindersConnection().kind, RemindersConnectionState::Kind::ready);
    EXPECT_EQ(find<ReminderComposer>(u"reminderComposer"_s)->draft().title, u"Buy milk"_s);
}

TEST_F(ReminderComposerTest, ListsCompletesAndAddsWithPriorityInAFolderAnotherClientWrote)
{
    writeTodo(u"3f2a9c1e-renew"_s,
              {u"DTSTAMP:20260310T120000Z"_s, u"SUMMARY:Renew passport"_s, u"DUE:20260314T170000Z"_s,
               u"STATUS:NEEDS-ACTION"_s, u"CATEGORIES:errands"_s, u"X-CLIENT-COLOUR:#ff0000"_s});
    const QString path = listFolder() + u"/3f2a9c1e-renew.ics"_s;
    defaults.set(SettingsKey::orlixReminderFilter, u"upcoming"_s);
    makeCard();
    state->refreshReminders();
    ASSERT_TRUE(test::waitUntil([&] { return card->findChild<ReminderRow *>() != nullptr; }));
    EXPECT_EQ(card->findChild<ElidedLabel *>(u"reminderTitle"_s)->text(), u"Renew passport"_s);

    // One click, one toggle: the to-do is completed (a second toggle would
    // reopen it). What else the file keeps, the to-do edit tests cover.
    click(u"reminderCompleteButton"_s);
    ASSERT_TRUE(test::waitUntil([&] { return state->reminders().empty(); }));
    EXPECT_TRUE(test::readFile(path).contains("STATUS:COMPLETED")) << test::readFile(path).constData();

    // Return adds the reminder there, with its priority, and clears the form.
    openComposer();
    type(u"reminderTitleField"_s, u"Post the form"_s);
    EXPECT_EQ(find<ReminderComposerButton>(u"reminderComposerButton"_s)->symbol(), u"checkmark"_s);
    auto *priority = find<SegmentedPicker>(u"reminderPriorityPicker"_s);
    QTest::mouseClick(priority, Qt::LeftButton, {}, priority->segmentRect(1).center().toPoint());
    QTest::keyClick(find(u"reminderTitleField"_s), Qt::Key_Return);
    ASSERT_TRUE(test::waitUntil([&] { return state->reminders().size() == 1; }));
    EXPECT_FALSE(card->isComposing());
    const QString added = todoFiles().filter(u"SUMMARY:Post the form"_s).value(0);
    EXPECT_TRUE(added.contains(u"PRIORITY:9"_s)) << added.toStdString();
    EXPECT_EQ(todoFiles().size(), 2);
    EXPECT_EQ(find<QLineEdit>(u"reminderTitleField"_s)->text(), QString());
    EXPECT_EQ(priority->currentIndex(), 0);
    EXPECT_FALSE(find<QAbstractButton>(u"reminderDateCheck"_s)->isChecked());
}

using RemindersMotion = RemindersCardTest;

TEST_F(RemindersMotion, ChipsAndComposerMoveOnTheSpring)
{
    test::Frames frames;
    cardSize = {318, 620};
    RemindersCard &reminders = makeCard();
    auto *today = find<ReminderFilterChip>(u"reminderFilter_today"_s);
    auto *overdue = find<ReminderFilterChip>(u"reminderFilter_overdue"_s);
    EXPECT_DOUBLE_EQ(today->selectedness(), 1.0);
    overdue->click();
    frames.advanceBy(80);
    EXPECT_TRUE(test::between(overdue->selectedness(), 0.0, 1.0));
    EXPECT_LT(today->selectedness(), 1.0);
    frames.advanceBy(OrlixMotion::smooth().durationMs);
    EXPECT_DOUBLE_EQ(overdue->selectedness(), 1.0);
    EXPECT_DOUBLE_EQ(today->selectedness(), 0.0);

    reminders.composerAction();
    frames.advanceBy(60);
    EXPECT_TRUE(reminders.composerReveal().isMoving());
    EXPECT_LT(reminders.composerReveal().progress(), 1.0);
    frames.advanceBy(OrlixMotion::smooth().durationMs);
    EXPECT_DOUBLE_EQ(reminders.composerReveal().progress(), 1.0);
    EXPECT_FALSE(test::anyRunning(reminders));
}

// Each add closes the composer on the spring and the next + opens it again,
// also after the card was hidden with the rail and the composer behind the
// Reveal's back: three adds, three files.
TEST_F(RemindersMotion, TheComposerOpensAgainAfterEveryAdd)
{
    ASSERT_TRUE(QDir().mkpath(listFolder()));
    test::Frames frames;
    makeCard();
    state->refreshReminders();
    ASSERT_TRUE(test::waitUntil([&] { return state->remindersConnection() == RemindersConnectionState::ready(); }));
    auto *composer = find<ReminderComposer>(u"reminderComposer"_s);
    const int motion = OrlixMotion::smooth().durationMs + 50; // and the first frame
    for (int added = 1; added <= 3; ++added) {
        SCOPED_TRACE(added);
        if (added == 3) {
            card->hide();
            card->show();
            // A Reveal left open while the composer was hidden behind its
            // back (by another motion that ended, say): the + shows it again.
            composer->findChild<Reveal *>()->setOpen(true);
            frames.advanceBy(motion);
            composer->hide();
            ASSERT_TRUE(card->composerReveal().isOpen() && !card->isComposing());
        }
        click(u"reminderComposerButton"_s);
        frames.advanceBy(motion);
        ASSERT_TRUE(composer->isVisible());
        EXPECT_DOUBLE_EQ(card->composerReveal().progress(), 1.0);
        QTest::keyClicks(find<QLineEdit>(u"reminderTitleField"_s), u"Errand %1"_s.arg(added));
        click(u"reminderComposerButton"_s);
        ASSERT_TRUE(test::waitUntil([&] { return !card->isComposing(); }));
        frames.advanceBy(motion);
        EXPECT_FALSE(composer->isVisible());
        EXPECT_EQ(todoFiles().filter(u"SUMMARY:Errand %1"_s.arg(added)).size(), 1);
        EXPECT_EQ(todoFiles().size(), added);
    }
    EXPECT_FALSE(test::anyRunning(*card));
}

} // namespace
} // namespace kolu
