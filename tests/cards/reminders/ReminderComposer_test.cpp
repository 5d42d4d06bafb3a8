#include "RemindersCardFixture.h"

#include "style/DateText.h"
#include "style/widgets/OrlixDateField.h"
#include "style/widgets/SegmentedPicker.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QFontMetricsF>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace kolu::test {
namespace {

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
    click(button);
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
    ASSERT_TRUE(waitUntil([&] { return !find<ReminderComposer>(u"reminderComposer"_s)->failure().isEmpty(); }));
    EXPECT_TRUE(card->isComposing());
    const ReminderDraft draft = find<ReminderComposer>(u"reminderComposer"_s)->draft();
    EXPECT_EQ(draft.title, u"Buy milk"_s);
    EXPECT_EQ(draft.notes, u"two litres"_s);
    EXPECT_TRUE(draft.hasDate);
}

TEST_F(ReminderComposerTest, ListsCompletesAndAddsWithPriorityInAFolderAnotherClientWrote)
{
    writeTodo(u"3f2a9c1e-renew"_s, {u"DTSTAMP:20260310T120000Z"_s, u"SUMMARY:Renew passport"_s,
                                    u"DUE:20260314T170000Z"_s, u"STATUS:NEEDS-ACTION"_s, u"CATEGORIES:errands"_s,
                                    u"X-CLIENT-COLOUR:#ff0000"_s});
    const QString path = listFolder() + u"/3f2a9c1e-renew.ics"_s;
    defaults.set(SettingsKey::orlixReminderFilter, u"upcoming"_s);
    makeCard();
    state->refreshReminders();
    ASSERT_TRUE(waitUntil([&] { return card->findChild<ReminderRow *>() != nullptr; }));
    EXPECT_EQ(card->findChild<ElidedLabel *>(u"reminderTitle"_s)->text(), u"Renew passport"_s);

    // One click, one toggle: the to-do is completed (a second toggle would
    // reopen it). What else the file keeps, the to-do edit tests cover.
    click(u"reminderCompleteButton"_s);
    ASSERT_TRUE(waitUntil([&] { return state->reminders().empty(); }));
    EXPECT_TRUE(readFile(path).contains("STATUS:COMPLETED")) << readFile(path).constData();

    // Return adds the reminder there, with its priority, and clears the form.
    openComposer();
    type(u"reminderTitleField"_s, u"Post the form"_s);
    EXPECT_EQ(find<ReminderComposerButton>(u"reminderComposerButton"_s)->symbol(), u"checkmark"_s);
    auto *priority = find<SegmentedPicker>(u"reminderPriorityPicker"_s);
    QTest::mouseClick(priority, Qt::LeftButton, {}, priority->segmentRect(1).center().toPoint());
    QTest::keyClick(find(u"reminderTitleField"_s), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return state->reminders().size() == 1; }));
    EXPECT_FALSE(card->isComposing());
    const QString added = todoFiles().filter(u"SUMMARY:Post the form"_s).value(0);
    EXPECT_TRUE(added.contains(u"PRIORITY:9"_s)) << added.toStdString();
    EXPECT_EQ(todoFiles().size(), 2);
    EXPECT_EQ(find<QLineEdit>(u"reminderTitleField"_s)->text(), QString());
    EXPECT_EQ(priority->currentIndex(), 0);
    EXPECT_FALSE(find<QAbstractButton>(u"reminderDateCheck"_s)->isChecked());
}

} // namespace
} // namespace kolu::test
