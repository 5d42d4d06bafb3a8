#include "RemindersCardFixture.h"

#include "style/widgets/ElidedLabel.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace kolu::test {
namespace {

ReminderItem due(const QString &id, const QDateTime &when)
{
    ReminderItem item;
    item.id = id;
    item.title = id;
    item.dueDate = when;
    item.includesTime = true;
    return item;
}

QStringList texts(const QWidget &card, const QString &name)
{
    QStringList out;
    for (const ElidedLabel *label : card.findChildren<ElidedLabel *>(name))
        out << label->text();
    return out;
}

TEST_F(RemindersCardTest, StoredFilterFallsBackToTodayAndChipsStoreTheirValue)
{
    for (const QString &raw : {u"flagged"_s, u""_s, u"xyz"_s}) {
        defaults.set(reminderrules::filterKey, raw);
        auto card = makeCard();
        EXPECT_EQ(card->selectedFilter(), ReminderFilter::today) << raw.toStdString();
        EXPECT_TRUE(child<QAbstractButton>(*card, u"reminderFilter_today"_s)->isChecked());
        EXPECT_FALSE(child<QAbstractButton>(*card, u"reminderFilter_upcoming"_s)->isChecked());
    }
    auto card = makeCard();
    click(child(*card, u"reminderFilter_upcoming"_s));
    EXPECT_EQ(defaults.string(reminderrules::filterKey), u"upcoming"_s);
    EXPECT_TRUE(child<QAbstractButton>(*card, u"reminderFilter_upcoming"_s)->isChecked());
}

TEST_F(RemindersCardTest, SectionsFollowTheDayBoundaries)
{
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDateTime midnight = clock.now().toTimeZone(zone).date().startOfDay(zone);
    state->setRemindersConnection(RemindersConnectionState::ready());
    state->setReminders({due(u"tomorrow"_s, midnight.addDays(1).addSecs(3600)), due(u"midnight"_s, midnight),
                         due(u"yesterday"_s, midnight.addSecs(-1))});
    auto card = makeCard();
    const struct {
        QString chip;
        QStringList sections;
        QStringList titles;
    } cases[] = {
        {u"reminderFilter_today"_s, {u"Today"_s}, {u"midnight"_s}},
        {u"reminderFilter_overdue"_s, {u"Overdue"_s}, {u"yesterday"_s}},
        {u"reminderFilter_upcoming"_s, {u"Today"_s, u"Tomorrow"_s}, {u"midnight"_s, u"tomorrow"_s}},
    };
    for (const auto &c : cases) {
        click(child(*card, c.chip));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(texts(*card, u"reminderSectionTitle"_s), c.sections) << c.chip.toStdString();
        EXPECT_EQ(texts(*card, u"reminderTitle"_s), c.titles) << c.chip.toStdString();
    }
    EXPECT_EQ(child<ElidedLabel>(*card, u"reminderCountLine"_s)->text(), u"3 open reminders"_s);
    state->setReminders({due(u"one"_s, midnight)});
    EXPECT_EQ(child<ElidedLabel>(*card, u"reminderCountLine"_s)->text(), u"1 open reminder"_s);
    state->setReminders({});
    EXPECT_EQ(child<ElidedLabel>(*card, u"reminderCountLine"_s)->text(), u"0 open reminders"_s);
}

TEST_F(RemindersCardTest, TwelveOverdueNeverReadAsNothingDue)
{
    const QDateTime lastWeek = clock.now().addDays(-7);
    std::vector<ReminderItem> items;
    for (int i = 0; i < AppState::maxOpenReminders; ++i)
        items.push_back(due(QString::number(i), lastWeek));
    state->setRemindersConnection(RemindersConnectionState::ready());
    state->setReminders(items);
    auto card = makeCard();
    EXPECT_EQ(child<ElidedLabel>(*card, u"reminderCountLine"_s)->text(), u"12+ open reminders"_s);
    EXPECT_NE(child<EmptyState>(*card, u"reminderEmptyState"_s)->titleLabel()->text(), u"No open reminders"_s);
}

TEST_F(RemindersCardTest, UnreadableFolderOffersSettings)
{
    state->setRemindersConnection(RemindersConnectionState::denied());
    auto card = makeCard();
    QSignalSpy asked(state.get(), &AppState::showRemindersAccessSettings);
    auto *open = child<OrlixButton>(*card, u"reminderOpenSettingsButton"_s);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text(), u"Open Settings"_s);
    click(open);
    EXPECT_EQ(asked.count(), 1);

    state->setRemindersConnection(RemindersConnectionState::ready());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(card->findChild<QWidget *>(u"reminderOpenSettingsButton"_s), nullptr);
}

} // namespace
} // namespace kolu::test
