// A banner on a real X server: presses are weighed by the server's own
// stamps against the banner's first frame.
#include "../ShellFixture.h"

#include "platform/x11/ServerTime.h"
#include "shell/rail/EdgeNotification.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QTest>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

class NotificationPressTest : public test::RailStateTest {
protected:
    // A press and its release on `button`, stamped `at` by the server's clock.
    static void clickStamped(QWidget *button, quint32 at)
    {
        const QPointF centre = QRectF(button->rect()).center();
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, centre, button->mapToGlobal(centre), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            event.setTimestamp(at);
            QCoreApplication::sendEvent(button, &event);
        }
    }
};

// Input queued while the program was busy arrives late, after the half
// second has run out: a click the server stamped before the banner's first
// frame still does nothing, one stamped after it snoozes.
TEST_F(NotificationPressTest, APressStampedBeforeTheFirstFrameIsIgnoredHoweverLateItArrives)
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        GTEST_SKIP() << "no X server stamps the input here";
    raiseAlerts(8);
    QWidget card;
    card.resize(441, 200);
    auto *note = new EdgeNotification(EdgeAlertKind::focus, *state, &card);
    card.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&card));
    ASSERT_TRUE(test::waitUntil([&] { return note->frameServerTime().has_value(); }));
    const quint32 frame = *note->frameServerTime();

    // The server's time asked for later comes later: the frame's is its own.
    ServerTimeRequest later(card.windowHandle());
    std::optional<quint32> now;
    QObject::connect(&later, &ServerTimeRequest::answered, [&](quint32 time) { now = time; });
    ASSERT_TRUE(test::waitUntil([&] { return now.has_value(); }));
    EXPECT_GE(qint32(*now - frame), 0);

    clock.advance(EdgeNotification::settleTime);
    auto *snooze = note->findChild<QAbstractButton *>(u"snoozeButton"_s);
    ASSERT_NE(snooze, nullptr);
    clickStamped(snooze, frame - 1);
    EXPECT_TRUE(state->pomodoroAlertVisible()) << "a press from before the frame snoozed";
    clickStamped(snooze, frame);
    EXPECT_FALSE(state->pomodoroAlertVisible()) << "a press after the frame did not snooze";
}

} // namespace
} // namespace kolu
