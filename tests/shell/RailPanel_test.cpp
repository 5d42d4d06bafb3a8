#include "ShellFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace kolu;
using namespace std::chrono_literals;

namespace {
using RailPanelTest = test::ShellTest;
} // namespace

TEST_F(RailPanelTest, IsPreparedBeforeItShowsAndFollowsTheStateToEveryEdge)
{
    launch();
    ASSERT_EQ(windowing->prepared.size(), 1);
    EXPECT_EQ(windowing->prepared.front(), static_cast<quint32>(panel().winId()));
    EXPECT_EQ(windowing->statesRequested, windowing->prepared);
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(panel().geometry(), panel().targetFrame());
    EXPECT_EQ(panel().geometry().right(), panel().visibleFrame().right()) << "at the right edge";

    // Side to side slides; anything to or from the top jumps.
    state().setRailEdge(RailEdge::left);
    EXPECT_TRUE(panel().isAnimating());
    settle();
    EXPECT_EQ(panel().geometry().left(), panel().visibleFrame().left());
    state().setRailEdge(RailEdge::top);
    EXPECT_FALSE(panel().isAnimating());
    EXPECT_EQ(panel().geometry(), panel().targetFrame());
    EXPECT_EQ(panel().geometry().top(), panel().visibleFrame().top());
    state().expandPanel();
    EXPECT_FALSE(panel().isAnimating()) << "expanding at the top never slides";
    EXPECT_EQ(panel().geometry(), panel().targetFrame());
    state().hideToEdge();
    state().setRailEdge(RailEdge::right);
    EXPECT_FALSE(panel().isAnimating());
    EXPECT_EQ(panel().geometry(), panel().targetFrame());
}

TEST_F(RailPanelTest, OnlyWhatIsDrawnTakesClicksAndTheQuietTopRailNone)
{
    launch();
    ASSERT_TRUE(windowing->inputRegion);
    EXPECT_EQ(*windowing->inputRegion, QRegion(panel().rect())) << "the whole handle takes drops";

    panel().setDrawnRegion(QRegion(0, 100, 18, 300));
    EXPECT_EQ(*windowing->inputRegion, QRegion(0, 100, 18, 300));

    state().setRailEdge(RailEdge::top);
    EXPECT_TRUE(windowing->inputRegion->isEmpty()) << "collapsed at the top: clicks pass";
    state().setClipboardPulseActive(true);
    EXPECT_FALSE(windowing->inputRegion->isEmpty()) << "the pulse takes clicks";
    state().setClipboardPulseActive(false);
    EXPECT_TRUE(windowing->inputRegion->isEmpty());
    panel().setDrawnRegion(QRegion(0, 0, 5, 5));
    EXPECT_TRUE(windowing->inputRegion->isEmpty()) << "a new drawing does not take the clicks back";

    // The region follows the window as it grows.
    state().expandPanel();
    settle();
    EXPECT_EQ(*windowing->inputRegion, QRegion(0, 0, 5, 5));
    panel().setDrawnRegion(QRegion(panel().rect()).united(QRect(-10, -10, 5000, 5000)));
    EXPECT_EQ(*windowing->inputRegion, QRegion(panel().rect())) << "clipped to the window";
}

TEST_F(RailPanelTest, ShowsOnlyWhatIsDrawnWhileNothingComposites)
{
    bool compositing = true;
    parts.isCompositing = [&] { return compositing; };
    launch();
    panel().setDrawnRegion(QRegion(0, 100, 18, 300));
    // Blended by the compositor: the whole window shows, no hard edges (it
    // is still shaped, to all of it, so compositors add no square shadow).
    EXPECT_EQ(windowing->visibleRegion, QRegion(panel().rect()));

    // The compositor goes: the translucent panel would show black where it
    // draws nothing, so from its next layout only the drawing shows.
    compositing = false;
    state().setClipboardPulseActive(true);
    EXPECT_EQ(windowing->visibleRegion, QRegion(0, 100, 18, 300));
    EXPECT_EQ(windowing->inputRegion, windowing->visibleRegion);
    compositing = true;
    state().setClipboardPulseActive(false);
    EXPECT_EQ(windowing->visibleRegion, QRegion(panel().rect()));
}

TEST_F(RailPanelTest, TakesTheKeyboardOnlyWhenExpandedAndAFieldIsClicked)
{
    parts.railContent = [](AppState &, QWidget *parent) {
        auto *content = new QWidget(parent);
        auto *layout = new QVBoxLayout(content);
        auto *field = new QLineEdit(content);
        field->setObjectName(QStringLiteral("cardField"));
        layout->addWidget(field);
        return content;
    };
    launch();
    auto *field = panel().findChild<QLineEdit *>(QStringLiteral("cardField"));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(windowing->acceptsFocus, false);

    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_NE(QApplication::activeWindow(), &panel()) << "collapsed: a click never takes the keyboard";

    state().expandPanel();
    EXPECT_EQ(windowing->acceptsFocus, true);
    EXPECT_NE(QApplication::activeWindow(), &panel()) << "expanding alone takes nothing";
    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_TRUE(test::waitUntil([this] { return QApplication::activeWindow() == &panel(); }));

    state().hideToEdge();
    EXPECT_EQ(windowing->acceptsFocus, false);
}
