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
    void openComposer(RemindersCard &card)
    {
        click(child(card, u"reminderComposerButton"_s));
        ASSERT_TRUE(card.isComposing());
    }
    static void type(QWidget &card, const QString &field, const QString &text)
    {
        auto *edit = child<QLineEdit>(card, field);
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
};

TEST_F(ReminderComposerTest, DateStaysTickedWheneverTimeIs)
{
    auto card = makeCard(); // under Today
    openComposer(*card);
    auto *date = child<QAbstractButton>(*card, u"reminderDateCheck"_s);
    auto *time = child<QAbstractButton>(*card, u"reminderTimeCheck"_s);
    EXPECT_TRUE(date->isChecked());
    EXPECT_FALSE(time->isChecked());
    EXPECT_FALSE(child(*card, u"reminderTimePicker"_s)->isEnabled());

    date->setChecked(false);
    time->setChecked(true);
    EXPECT_TRUE(date->isChecked());
    date->setChecked(false);
    EXPECT_FALSE(time->isChecked());
    EXPECT_FALSE(child(*card, u"reminderTimePicker"_s)->isEnabled());
    EXPECT_FALSE(child(*card, u"reminderDatePicker"_s)->isEnabled());

    // A blank title adds nothing, from the button or from Return.
    type(*card, u"reminderTitleField"_s, u"  "_s);
    auto *button = child<ReminderComposerButton>(*card, u"reminderComposerButton"_s);
    EXPECT_EQ(button->symbol(), u"plus"_s);
    click(button);
    QTest::keyClick(child(*card, u"reminderTitleField"_s), Qt::Key_Return);
    EXPECT_TRUE(card->isComposing());
    EXPECT_TRUE(todoFiles().isEmpty());
}

TEST_F(ReminderComposerTest, ReturnAddsTheReminderAndClearsTheForm)
{
    ASSERT_TRUE(QDir().mkpath(listFolder()));
    auto card = makeCard();
    openComposer(*card);
    type(*card, u"reminderTitleField"_s, u"Buy milk"_s);
    EXPECT_EQ(child<ReminderComposerButton>(*card, u"reminderComposerButton"_s)->symbol(), u"checkmark"_s);
    auto *priority = child<SegmentedPicker>(*card, u"reminderPriorityPicker"_s);
    QTest::mouseClick(priority, Qt::LeftButton, {}, priority->segmentRect(1).center().toPoint());
    QTest::keyClick(child(*card, u"reminderTitleField"_s), Qt::Key_Return);

    ASSERT_TRUE(waitUntil([&] { return !card->isComposing(); }));
    const QStringList files = todoFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].contains(u"SUMMARY:Buy milk"_s)) << files[0].toStdString();
    EXPECT_TRUE(files[0].contains(u"PRIORITY:9"_s)) << files[0].toStdString();
    EXPECT_EQ(child<QLineEdit>(*card, u"reminderTitleField"_s)->text(), QString());
    EXPECT_EQ(priority->currentIndex(), 0);
    EXPECT_FALSE(child<QAbstractButton>(*card, u"reminderDateCheck"_s)->isChecked());
    ASSERT_TRUE(waitUntil([&] { return state->reminders().size() == 1; }));
}

TEST_F(ReminderComposerTest, AFailedAddKeepsTheDraft)
{
    // No to-do folder: the add cannot be written.
    auto card = makeCard();
    openComposer(*card);
    type(*card, u"reminderTitleField"_s, u"Buy milk"_s);
    type(*card, u"reminderNotesField"_s, u"two litres"_s);
    click(child(*card, u"reminderComposerButton"_s));
    ASSERT_TRUE(waitUntil([&] { return !child<ReminderComposer>(*card, u"reminderComposer"_s)->failure().isEmpty(); }));
    EXPECT_TRUE(card->isComposing());
    const ReminderDraft draft = child<ReminderComposer>(*card, u"reminderComposer"_s)->draft();
    EXPECT_EQ(draft.title, u"Buy milk"_s);
    EXPECT_EQ(draft.notes, u"two litres"_s);
    EXPECT_TRUE(draft.hasDate);
}

TEST_F(ReminderComposerTest, ListsCompletesAndAddsInAFolderAnotherClientWrote)
{
    ASSERT_TRUE(QDir().mkpath(listFolder()));
    const QString path = listFolder() + u"/3f2a9c1e-renew.ics"_s;
    ASSERT_TRUE(writeFile(path, "BEGIN:VCALENDAR\r\n"
                                "VERSION:2.0\r\n"
                                "PRODID:-//Hand written//Test//EN\r\n"
                                "BEGIN:VTODO\r\n"
                                "UID:3f2a9c1e-renew\r\n"
                                "DTSTAMP:20260310T120000Z\r\n"
                                "SUMMARY:Renew passport\r\n"
                                "DUE:20260314T170000Z\r\n"
                                "STATUS:NEEDS-ACTION\r\n"
                                "CATEGORIES:errands\r\n"
                                "X-CLIENT-COLOUR:#ff0000\r\n"
                                "END:VTODO\r\n"
                                "END:VCALENDAR\r\n"));
    defaults.set(SettingsKey::orlixReminderFilter, u"upcoming"_s);
    auto card = makeCard();
    state->refreshReminders();
    ASSERT_TRUE(waitUntil([&] { return card->findChild<ReminderRow *>() != nullptr; }));
    EXPECT_EQ(card->findChild<ElidedLabel *>(u"reminderTitle"_s)->text(), u"Renew passport"_s);

    // One click, one toggle: the to-do is completed (a second toggle would
    // reopen it). What else the file keeps, the to-do edit tests cover.
    click(child(*card, u"reminderCompleteButton"_s));
    ASSERT_TRUE(waitUntil([&] { return state->reminders().empty(); }));
    EXPECT_TRUE(readFile(path).contains("STATUS:COMPLETED")) << readFile(path).constData();

    openComposer(*card);
    type(*card, u"reminderTitleField"_s, u"Post the form"_s);
    QTest::keyClick(child(*card, u"reminderTitleField"_s), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return state->reminders().size() == 1; }));
    EXPECT_EQ(todoFiles().size(), 2);
}

TEST_F(ReminderComposerTest, ThemedPickersWriteTheDateAsTheRowsDoAndStepTheDraft)
{
    auto card = makeCard(); // under Today: the date is ticked, set to now
    openComposer(*card);
    EXPECT_EQ(card->findChild<QCheckBox *>(), nullptr) << "no stock tick boxes";
    EXPECT_EQ(card->findChild<QDateTimeEdit *>(), nullptr) << "no stock pickers";
    auto *date = child<OrlixDateField>(*card, u"reminderDatePicker"_s);
    auto *time = child<OrlixDateField>(*card, u"reminderTimePicker"_s);
    const QDateTime now = clock.now().toLocalTime();
    EXPECT_EQ(date->text(), DateText::user().format(now, u"yMMMd"_s));
    EXPECT_EQ(time->text(), DateText::user().format(now, u"jmm"_s));
    // Never narrower than its text: the year is never cut.
    QCoreApplication::sendPostedEvents();
    EXPECT_GE(date->width(), QFontMetricsF(date->font()).horizontalAdvance(date->text()));
    EXPECT_EQ(date->minimumSizeHint(), date->sizeHint());

    auto *composer = child<ReminderComposer>(*card, u"reminderComposer"_s);
    QTest::keyClick(date, Qt::Key_Up);
    EXPECT_EQ(composer->draft().dueDate.date(), now.date().addDays(1));
    child<QAbstractButton>(*card, u"reminderTimeCheck"_s)->setChecked(true);
    const QTime before = composer->draft().dueDate.time();
    QTest::keyClick(time, Qt::Key_PageUp);
    EXPECT_EQ(composer->draft().dueDate.time(), before.addSecs(3600));
    EXPECT_EQ(composer->draft().dueDate.date(), now.date().addDays(1)) << "the time keeps the chosen day";
}

} // namespace
} // namespace kolu::test
