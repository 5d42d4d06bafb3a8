#include "RemindersCardFixture.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

using test::RemindersCardTest;

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

        auto *titleLabel = child<ElidedLabel>(row, u"reminderTitle"_s);
        auto *mark = child<QWidget>(row, u"reminderPriorityMark"_s);
        auto *due = child<ElidedLabel>(row, u"reminderDue"_s);
        auto *link = child<QWidget>(row, u"reminderLinkMark"_s);
        auto *note = child<QWidget>(row, u"reminderNoteMark"_s);
        auto *complete = child<QWidget>(row, u"reminderCompleteButton"_s);
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

} // namespace
} // namespace kolu
