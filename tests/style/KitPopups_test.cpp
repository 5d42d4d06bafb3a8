#include "model/UserDefaults.h"
#include "style/MenuLook.h"
#include "style/OrlixStyle.h"
#include "style/PopupPlacement.h"
#include "style/widgets/ChoicePopup.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/ModuleCard.h"
#include "style/widgets/MonthPopup.h"
#include "style/widgets/OrlixDateField.h"
#include "style/widgets/OverlayScrollBar.h"

#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

struct KitPopups : ::testing::Test {
    test::TemporaryHome home;
    UserDefaults defaults{home.path(u"defaults.json"_s)};
    OrlixStyle style{defaults};
    MenuLook &look = MenuLook::install();

    void TearDown() override { look.setCompositingProbe({}); }

    static QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    static QRect global(const QWidget *widget) { return {widget->mapToGlobal(QPoint(0, 0)), widget->size()}; }
};

TEST(PopupPlacement, OpensBelowThenAboveThenOnTheRoomierSideNoTallerThanItsRoom)
{
    const QRect screen(0, 0, 1440, 900);
    const QRect field(1047, 500, 123, 30);
    // Room below: under the field, its leading edges on the field's.
    PopupPlace place = placePopup(field, {123, 200}, screen);
    EXPECT_FALSE(place.above);
    EXPECT_EQ(place.geometry, QRect(1047, 534, 123, 200));
    // Too tall for the room below, not for the room above: above.
    place = placePopup(QRect(1047, 502, 123, 30), {123, 400}, screen);
    EXPECT_TRUE(place.above);
    EXPECT_EQ(place.geometry.bottom(), 502 - 4 - 1);
    // Taller than either side: the roomier one, cut to its room.
    place = placePopup(QRect(1047, 536, 123, 30), {123, 1162}, screen);
    EXPECT_TRUE(place.above);
    EXPECT_EQ(place.geometry.top(), 0);
    EXPECT_EQ(place.geometry.height(), 536 - 4);
    place = placePopup(QRect(1047, 200, 123, 30), {123, 1162}, screen);
    EXPECT_FALSE(place.above);
    EXPECT_EQ(place.geometry.bottom(), 899);
    // Never narrower than the field; pushed back inside the bounds across.
    place = placePopup(QRect(100, 100, 128, 26), {88, 100}, screen);
    EXPECT_EQ(place.geometry.width(), 128);
    EXPECT_EQ(place.geometry.left(), 100);
    place = placePopup(QRect(1300, 100, 128, 26), {260, 100}, screen);
    EXPECT_EQ(place.geometry.right(), 1439);
    place = placePopup(QRect(1300, 100, 128, 26), {2000, 100}, screen);
    EXPECT_EQ(place.geometry.width(), 1440);
    EXPECT_TRUE(screen.contains(place.geometry));
}

TEST_F(KitPopups, TheDatePopupIsTheKitsMonthKeptInsideItsCardAndDrivenByTheKeyboard)
{
    look.setCompositingProbe([] { return true; });
    // A card at the screen's right, the field at its right end: the month
    // stays inside the card rather than over what lies beside it.
    ModuleCard card(u"Reminders"_s, u"checklist"_s);
    card.setFixedSize(330, 420);
    auto *field = new OrlixDateField(OrlixDateField::Mode::date);
    field->setValue(QDateTime(QDate(2026, 3, 14), QTime(9, 0)));
    field->setToday([] { return QDate(2026, 3, 10); });
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(field);
    card.contentLayout()->addLayout(row);
    card.contentLayout()->addStretch(1);
    card.move(screen().right() - 330 - 60, 80);
    card.show();
    QCoreApplication::processEvents();
    field->openPopup();
    auto *month = qobject_cast<MonthPopup *>(field->popup());
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->objectName(), u"datePopup"_s);
    EXPECT_EQ(month->findChild<QCalendarWidget *>(), nullptr);
    EXPECT_TRUE(month->isVisible());
    EXPECT_TRUE(month->roundedCorners()) << "rounded where a compositor runs";
    const QRect at = month->geometry();
    EXPECT_TRUE(screen().contains(at));
    EXPECT_GE(at.left(), global(&card).left()) << "inside the card across";
    EXPECT_LE(at.right(), global(&card).right()) << "inside the card across";
    EXPECT_GE(at.top(), global(field).bottom()) << "under the field";

    // Keyboard: a day, a week, a month, then Enter chooses; the value follows.
    EXPECT_EQ(month->cursor(), QDate(2026, 3, 14));
    QTest::keyClick(month, Qt::Key_Right);
    QTest::keyClick(month, Qt::Key_Down);
    QTest::keyClick(month, Qt::Key_PageDown);
    EXPECT_EQ(month->cursor(), QDate(2026, 4, 22));
    EXPECT_EQ(month->month(), QDate(2026, 4, 1));
    QTest::keyClick(month, Qt::Key_PageUp);
    QTest::keyClick(month, Qt::Key_Left);
    QTest::keyClick(month, Qt::Key_Up);
    EXPECT_EQ(month->cursor(), QDate(2026, 3, 14));
    QTest::keyClick(month, Qt::Key_End);
    QSignalSpy changed(field, &OrlixDateField::valueChanged);
    QPointer<QWidget> watched = month;
    QTest::keyClick(month, Qt::Key_Return);
    EXPECT_EQ(field->value().date(), QDate(2026, 3, 31));
    EXPECT_EQ(changed.size(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull()) << "closed and gone";

    // Escape closes without a change; a click on a day chooses it.
    field->openPopup();
    month = qobject_cast<MonthPopup *>(field->popup());
    QTest::keyClick(month, Qt::Key_Left);
    QTest::keyClick(month, Qt::Key_Escape);
    EXPECT_FALSE(month->isVisible());
    EXPECT_EQ(changed.size(), 1);
    field->openPopup();
    month = qobject_cast<MonthPopup *>(field->popup());
    EXPECT_EQ(month->firstShown().daysTo(QDate(2026, 3, 1)),
              (QDate(2026, 3, 1).dayOfWeek() - int(QLocale().firstDayOfWeek()) + 7) % 7);
    QTest::mouseClick(month, Qt::LeftButton, {}, month->dayRect(QDate(2026, 3, 5)).center());
    EXPECT_EQ(field->value().date(), QDate(2026, 3, 5));
    // The chevrons page the month shown without choosing.
    field->openPopup();
    month = qobject_cast<MonthPopup *>(field->popup());
    QTest::mouseClick(month, Qt::LeftButton, {}, month->nextRect().center());
    EXPECT_EQ(month->month(), QDate(2026, 4, 1));
    EXPECT_TRUE(month->isVisible());
    month->close();

    // Where nothing composites the panel is square.
    look.setCompositingProbe([] { return false; });
    field->openPopup();
    EXPECT_FALSE(qobject_cast<MonthPopup *>(field->popup())->roundedCorners());
    field->popup()->close();
}

TEST_F(KitPopups, TheTimeListIsOneColumnOnScreenNoTallerThanItsRoomAndShowsTheChosenTime)
{
    QWidget window;
    auto *field = new OrlixDateField(OrlixDateField::Mode::time, &window);
    field->setValue(QDateTime(QDate(2026, 3, 14), QTime(12, 10)));
    window.resize(200, 40);
    // Low on the screen, as the composer sits at the bottom of a card.
    window.move(screen().left() + 40, screen().bottom() - 200);
    window.show();
    QCoreApplication::processEvents();
    field->openPopup();
    auto *list = qobject_cast<ChoicePopup *>(field->popup());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->objectName(), u"timePopup"_s);
    EXPECT_EQ(field->findChild<QMenu *>(), nullptr) << "no stock menu";
    const QRect at = list->geometry();
    EXPECT_TRUE(screen().contains(at)) << "on the screen";
    EXPECT_LE(at.bottom(), global(field).top()) << "above the field, where the room is";
    EXPECT_LE(at.height(), global(field).top() - screen().top());
    EXPECT_GE(at.width(), field->width());
    EXPECT_LT(at.width(), 2 * field->width() + 80) << "one column";
    // Every row spans the list's width: one column.
    EXPECT_EQ(list->rowRect(0).left(), list->rowRect(30).left());
    // Scrolled so 12:00 (row 24) shows whole.
    EXPECT_EQ(list->current(), 24);
    const QRect chosen = list->rowRect(24);
    EXPECT_GE(chosen.top(), 0);
    EXPECT_LE(chosen.bottom(), list->height());
    EXPECT_GT(list->scrollOffset(), 0);
    // Down then Enter picks 12:30.
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(field->value().time(), QTime(12, 30));
    EXPECT_EQ(field->value().date(), QDate(2026, 3, 14));

    // With room below, below; the End key brings the last row into view.
    window.move(screen().left() + 40, screen().top() + 20);
    QCoreApplication::processEvents();
    field->openPopup();
    list = qobject_cast<ChoicePopup *>(field->popup());
    EXPECT_GE(list->geometry().top(), global(field).bottom());
    EXPECT_TRUE(screen().contains(list->geometry()));
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(list->scrollOffset(), list->maximumOffset());
    EXPECT_LE(list->rowRect(47).bottom(), list->height());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(field->value().time(), QTime(12, 30));
}

TEST_F(KitPopups, TheThinScrollBarTakesNoRoomAndDrivesItsArea)
{
    QScrollArea area;
    auto *content = new QWidget;
    content->setMinimumHeight(1000);
    area.setWidget(content);
    area.setWidgetResizable(true);
    area.resize(300, 200);
    OverlayScrollBar *bar = OverlayScrollBar::attach(&area);
    area.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(area.viewport()->width(), area.width() - 2 * area.frameWidth());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry().right(), area.viewport()->geometry().right());
    EXPECT_LE(bar->width(), OverlayScrollBar::kWidth);
    // Dragging the thumb to the end scrolls to the end; a press above it pages back.
    const QRect thumb = bar->thumbRect();
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QMouseEvent move(QEvent::MouseMove, QPointF(thumb.center().x(), bar->height()), QPointF(), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(thumb.center().x(), bar->height() - 1));
    EXPECT_EQ(area.verticalScrollBar()->value(), area.verticalScrollBar()->maximum());
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 2));
    EXPECT_LT(area.verticalScrollBar()->value(), area.verticalScrollBar()->maximum());
    // Nothing to scroll: no bar.
    content->setMinimumHeight(50);
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(KitPopups, APickersMenuIsNeverNarrowerThanThePicker)
{
    MenuPicker picker({u"Bell"_s, u"Ocean"_s});
    picker.resize(128, 26);
    picker.show();
    QCoreApplication::processEvents();
    EXPECT_GE(picker.menu()->minimumWidth(), 128);
    EXPECT_GE(picker.menu()->sizeHint().width(), 128);
}

} // namespace

// A field low in its card, with the screen going on below the card: the
// month opens above the field, inside the card, not down onto the desktop.
// A card too short for either side takes the roomier one and no more.
TEST_F(KitPopups, ThePopupsStayInsideTheirCardFromTopToBottom)
{
    ModuleCard card(u"Reminders"_s, u"checklist"_s);
    card.setFixedSize(330, 360);
    auto *field = new OrlixDateField(OrlixDateField::Mode::date);
    field->setValue(QDateTime(QDate(2026, 3, 14), QTime(9, 0)));
    field->setToday([] { return QDate(2026, 3, 10); });
    card.contentLayout()->addStretch(1);
    card.contentLayout()->addWidget(field);
    card.move(screen().right() - 330, screen().top() + 20);
    card.show();
    QCoreApplication::processEvents();

    field->openPopup();
    QWidget *month = field->popup();
    ASSERT_NE(month, nullptr);
    ASSERT_GT(screen().bottom() - global(field).bottom(), month->height() + 4) << "the screen has room below";
    EXPECT_TRUE(global(&card).contains(month->geometry())) << "inside the card";
    EXPECT_LE(month->geometry().bottom(), global(field).top()) << "above the field";
    EXPECT_EQ(popupBounds(field, month->width()), global(&card) & screen());
    month->close();

    // The time list in a card too short for it on either side of the field.
    card.setFixedSize(330, 160);
    QCoreApplication::processEvents();
    auto *time = new OrlixDateField(OrlixDateField::Mode::time);
    card.contentLayout()->insertWidget(0, time);
    QCoreApplication::processEvents();
    time->openPopup();
    QWidget *list = time->popup();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(global(&card).contains(list->geometry()));
    const int above = global(time).top() - global(&card).top();
    const int below = global(&card).bottom() - global(time).bottom();
    EXPECT_EQ(list->geometry().bottom() < global(time).top(), above > below) << "on the roomier side";
    list->close();
}

// A card taller than the scroll area it sits in, below the panel's header,
// as in the rail: what shows of the panel bounds the month, not the card's
// whole rectangle, and a month too tall for what shows of the card above a
// field opens whole over the panel's header.
TEST_F(KitPopups, ThePopupsStayOnThePartOfThePanelThatShows)
{
    QWidget panel;
    setPopupPanel(&panel);
    panel.setFixedSize(330, 500);
    auto *column = new QVBoxLayout(&panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addSpacing(90); // the panel's header
    auto *area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    column->addWidget(area, 1);
    auto *card = new ModuleCard(u"Reminders"_s, u"checklist"_s);
    card->setFixedSize(330, 900);
    auto *field = new OrlixDateField(OrlixDateField::Mode::date);
    field->setValue(QDateTime(QDate(2026, 12, 8), QTime(14, 50)));
    card->contentLayout()->addSpacing(180);
    card->contentLayout()->addWidget(field);
    card->contentLayout()->addStretch(1);
    area->setWidget(card);
    panel.move(screen().right() - 330, screen().top() + 20);
    panel.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(visibleGlobalRect(card), global(area->viewport()) & global(card));
    field->openPopup();
    QWidget *month = field->popup();
    ASSERT_NE(month, nullptr);
    ASSERT_GT(global(card).bottom() - global(field).bottom(), month->height() + 4) << "the card runs on below";
    ASSERT_LT(global(field).top() - global(card).top(), month->sizeHint().height() + 4) << "short above in the card";
    EXPECT_EQ(month->height(), month->sizeHint().height()) << "the whole month";
    EXPECT_TRUE(global(&panel).contains(month->geometry())) << "on the panel";
    EXPECT_LE(month->geometry().bottom(), global(field).top()) << "above the field";
    // The release of the opening press, below the month, chooses no day.
    QTest::mouseRelease(month, Qt::LeftButton, {}, QPoint(month->width() / 2, month->height() + 20));
    EXPECT_EQ(field->value().date(), QDate(2026, 12, 8));
    month->close();

    // Scrolled until the field is near the top of what shows: below again,
    // inside what shows of the card.
    area->verticalScrollBar()->setValue(150);
    QCoreApplication::processEvents();
    field->openPopup();
    month = field->popup();
    ASSERT_NE(month, nullptr);
    EXPECT_TRUE(global(area->viewport()).contains(month->geometry()));
    EXPECT_GE(month->geometry().top(), global(field).bottom()) << "below the field";
    month->close();

    // A menu of the card, which places itself by its own rule and keeps only
    // to the screen, opened under the field's far end with room on the
    // screen past the panel: it comes back onto the panel, under the field.
    panel.move(screen().center().x() - 165, panel.y());
    QCoreApplication::processEvents();
    QMenu menu(field);
    for (const QString &choice : {u"United Arab Emirates"_s, u"Saudi Arabia"_s, u"Egypt"_s})
        menu.addAction(choice);
    const QPoint at = global(field).bottomRight() + QPoint(-20, 3);
    ASSERT_LT(at.x() + menu.sizeHint().width(), screen().right()) << "the screen has room past the panel";
    menu.popup(at);
    ASSERT_TRUE(menu.isVisible());
    EXPECT_TRUE(global(&panel).contains(menu.geometry()));
    EXPECT_EQ(menu.geometry().top(), at.y()) << "under the field, as the menu put itself";
    menu.close();
}
