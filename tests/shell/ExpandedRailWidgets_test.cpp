#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rail/expanded/ToolStripButton.h"
#include "state/AppState.h"
#include "style/widgets/RailIconButton.h"
#include "style/TodayVisuals.h"

#include "ShellFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDragEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QVariantAnimation>
#include <QTest>

#include <memory>

using namespace kolu;
using namespace std::chrono_literals;

namespace {

class ExpandedRailWidgetsTest : public test::RailStateTest {
protected:
    void hover(QWidget *w)
    {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(w, &enter);
    }
    void unhover(QWidget *w)
    {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(w, &leave);
    }
    // Sends a drag of `mime` over `w` and drops it; whether the drop was taken.
    bool dropOn(QWidget *w, QMimeData &mime, bool *entered)
    {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &enter);
        *entered = enter.isAccepted();
        if (!*entered)
            return false;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &drop);
        return drop.isAccepted();
    }
};

class RecordingRefresh final : public RailRefreshCalls {
public:
    explicit RecordingRefresh(QStringList *log) : m_log(log) {}
    void refreshCalendarEvents() override { *m_log << QStringLiteral("calendar"); }
    void refreshNowPlaying() override { *m_log << QStringLiteral("nowPlaying"); }
    void refreshReminders() override { *m_log << QStringLiteral("reminders"); }
    void refreshTodayWeather(bool force) override { *m_log << QStringLiteral("weather %1").arg(force); }
    void refreshNotes(bool force) override { *m_log << QStringLiteral("notes %1").arg(force); }
    void refreshPrayerTimesIfNeeded() override { *m_log << QStringLiteral("prayers"); }

private:
    QStringList *m_log;
};

} // namespace

TEST_F(ExpandedRailWidgetsTest, HoverOpensOnlyAfterItsDelay)
{
    state->setSelectedModule(RailModule::calendar);
    ExpandedToolStrip strip(*state);
    ToolStripButton *focus = strip.findChild<ToolStripButton *>(QStringLiteral("toolStripButton-focus"));
    ASSERT_NE(focus, nullptr);

    // Leaving after 50 ms opens nothing, even once the delay has passed.
    hover(focus);
    clock.advance(50ms);
    unhover(focus);
    clock.advance(200ms);
    EXPECT_EQ(state->selectedModule(), RailModule::calendar);

    // Staying 100 ms opens it.
    hover(focus);
    clock.advance(50ms);
    EXPECT_EQ(state->selectedModule(), RailModule::calendar);
    clock.advance(50ms);
    EXPECT_EQ(state->selectedModule(), RailModule::focus);

    // While the modules are being reordered nothing opens.
    ToolStripButton *links = strip.button(RailModule::links);
    state->setIsReorderingRail(true);
    hover(links);
    clock.advance(100ms);
    click(links);
    EXPECT_EQ(state->selectedModule(), RailModule::focus);
    state->setIsReorderingRail(false);
    click(links);
    EXPECT_EQ(state->selectedModule(), RailModule::links);
}

TEST_F(ExpandedRailWidgetsTest, OnlyTheTrayButtonTakesFileDrops)
{
    ExpandedToolStrip strip(*state);
    const QString file = home.path(QStringLiteral("dropped.txt"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();

    for (const RailModule module : state->visibleRailModules()) {
        SCOPED_TRACE(rawValue(module).toStdString());
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        bool entered = false;
        const bool taken = dropOn(strip.button(module), mime, &entered);
        EXPECT_EQ(entered, module == RailModule::fileTray);
        EXPECT_EQ(taken, module == RailModule::fileTray);
    }
    ASSERT_EQ(state->fileTrayItems().size(), 1u);
    EXPECT_EQ(strip.button(RailModule::fileTray)->badgeText(), QStringLiteral("1"));
    EXPECT_FALSE(strip.button(RailModule::fileTray)->isFileDropTarget());

    // Text without a file is no file drop.
    QMimeData text;
    text.setText(QStringLiteral("words"));
    bool entered = true;
    EXPECT_FALSE(dropOn(strip.button(RailModule::fileTray), text, &entered));
    EXPECT_FALSE(entered);
}

TEST_F(ExpandedRailWidgetsTest, ActionsOfBothStrips)
{
    for (const bool top : {false, true}) {
        SCOPED_TRACE(top ? "top" : "side");
        std::unique_ptr<ExpandedToolStrip> strip = top ? std::make_unique<TopExpandedToolStrip>(*state)
                                                       : std::make_unique<ExpandedToolStrip>(*state);
        QStringList calls;
        strip->setRefreshCalls(std::make_unique<RecordingRefresh>(&calls));
        auto *refresh = strip->findChild<QAbstractButton *>(QStringLiteral("refreshButton"));
        ASSERT_NE(refresh, nullptr);
        click(refresh);
        EXPECT_EQ(calls, (QStringList{QStringLiteral("calendar"), QStringLiteral("nowPlaying"),
                                      QStringLiteral("reminders"), QStringLiteral("weather 1"),
                                      QStringLiteral("notes 0"), QStringLiteral("prayers")}));

        QSignalSpy settings(strip.get(), &ExpandedToolStrip::settingsRequested);
        click(strip->findChild<QAbstractButton *>(QStringLiteral("settingsButton")));
        EXPECT_EQ(settings.count(), 1);

        // The minimise button comes and goes with its setting, before the others.
        state->setShowMinimizeAllAppsButton(false);
        EXPECT_EQ(strip->findChild<QAbstractButton *>(QStringLiteral("minimizeAllButton")), nullptr);
        state->setShowMinimizeAllAppsButton(true);
        EXPECT_NE(strip->findChild<QAbstractButton *>(QStringLiteral("minimizeAllButton")), nullptr);
    }
}

TEST_F(ExpandedRailWidgetsTest, LongPressAndDragReordersByWholeSteps)
{
    ExpandedToolStrip strip(*state);
    strip.resize(74, 620);
    strip.show();
    const RailModuleOrder before = state->visibleRailModules();
    ToolStripButton *first = strip.button(before[0]);
    const QPoint at(27, 21);

    const RailModule selected = state->selectedModule();
    // A press shorter than 0.28 s followed by a drag moves nothing.
    mouse(first, QEvent::MouseButtonPress, at, Qt::LeftButton);
    clock.advance(200ms);
    mouse(first, QEvent::MouseMove, at + QPoint(0, 60), Qt::LeftButton);
    mouse(first, QEvent::MouseButtonRelease, at + QPoint(0, 60), Qt::NoButton);
    EXPECT_EQ(state->visibleRailModules(), before);
    EXPECT_FALSE(state->isReorderingRail());

    // After the press, 24 points move nothing and 25 move one place.
    mouse(first, QEvent::MouseButtonPress, at, Qt::LeftButton);
    clock.advance(300ms);
    mouse(first, QEvent::MouseMove, at + QPoint(0, 24), Qt::LeftButton);
    EXPECT_TRUE(state->isReorderingRail());
    EXPECT_EQ(state->visibleRailModules(), before);
    mouse(first, QEvent::MouseMove, at + QPoint(0, 25), Qt::LeftButton);
    EXPECT_EQ(state->visibleRailModules()[1], before[0]);
    mouse(first, QEvent::MouseButtonRelease, at + QPoint(0, 25), Qt::NoButton);
    EXPECT_FALSE(state->isReorderingRail());
    // The release of a reorder is no click.
    EXPECT_EQ(state->selectedModule(), selected);

    // Hidden modules follow the visible ones in the stored order.
    state->setRailModule(RailModule::notes, false);
    state->moveRailModule(RailModule::today, 0);
    const RailModuleOrder stored = state->railModuleOrder();
    EXPECT_EQ(stored.back(), RailModule::notes);
    EXPECT_EQ(stored.front(), RailModule::today);
}

TEST_F(ExpandedRailWidgetsTest, AlertsPoseTheirButtonsAndRingsStopWhenIdle)
{
    ExpandedToolStrip strip(*state);
    ToolStripButton *focus = strip.button(RailModule::focus);
    EXPECT_FALSE(focus->ringsRunning());
    state->setPomodoroAlertVisible(true);
    EXPECT_TRUE(focus->isPulsing());
    EXPECT_TRUE(focus->ringsRunning());
    state->setPomodoroAlertVisible(false);
    EXPECT_FALSE(focus->isPulsing());
    EXPECT_FALSE(focus->ringsRunning());

    // A clipboard capture wobbles the tray icon until 0.65 s after the last one.
    ToolStripButton *tray = strip.button(RailModule::fileTray);
    state->setClipboardPulse(state->clipboardPulse() + 1);
    EXPECT_TRUE(tray->isPulsing());
    clock.advance(500ms);
    state->setClipboardPulse(state->clipboardPulse() + 1);
    clock.advance(500ms);
    EXPECT_TRUE(tray->isPulsing());
    clock.advance(200ms);
    EXPECT_FALSE(tray->isPulsing());
    // Other buttons never pulse for the clipboard.
    EXPECT_FALSE(strip.button(RailModule::links)->isPulsing());
}

TEST_F(ExpandedRailWidgetsTest, DetailHeaderPerModuleAndTodaySymbolByHour)
{
    for (const RailModule module : {RailModule::calendar, RailModule::notes, RailModule::reminders, RailModule::focus}) {
        ModuleDetailPanel panel(*state, module);
        auto *title = panel.findChild<QLabel *>(QStringLiteral("detailTitle"));
        auto *tagline = panel.findChild<QLabel *>(QStringLiteral("detailTagline"));
        ASSERT_NE(title, nullptr);
        ASSERT_NE(tagline, nullptr);
        EXPECT_EQ(title->text(), kolu::title(module));
        EXPECT_EQ(tagline->text(), ModuleDetailPanel::tagline(module));
        EXPECT_EQ(panel.badgeSymbol(), symbol(module));
    }

    struct Row {
        int hour;
        const char *symbol;
        const char *greeting;
    };
    const Row rows[] = {{0, "moon.stars", "Have a calm night"},  {5, "moon.stars", "Have a calm night"},
                        {6, "sun.max", "Have a nice morning"},   {11, "sun.max", "Have a nice morning"},
                        {12, "sun.max", "Have a nice day"},      {17, "sun.max", "Have a nice day"},
                        {18, "moon.stars", "Have a calm evening"}, {23, "moon.stars", "Have a calm evening"}};
    ModuleDetailPanel panel(*state, RailModule::calendar);
    for (const Row &r : rows) {
        SCOPED_TRACE(r.hour);
        clock.setNow(QDateTime(QDate(2026, 3, 14), QTime(r.hour, 30), Qt::LocalTime).toUTC());
        EXPECT_EQ(TodayVisuals::current(clock).greeting, QLatin1String(r.greeting));
        panel.setModule(RailModule::today);
        EXPECT_EQ(panel.badgeSymbol(), QLatin1String(r.symbol));
        panel.setModule(RailModule::calendar);
    }

    // A module change builds a fresh page; a module without a card shows its
    // header alone. The old page fades out, taking no input, and then goes.
    panel.setModule(RailModule::links);
    auto *page = panel.findChild<QWidget *>(QStringLiteral("detailPage"));
    EXPECT_EQ(page->findChild<QLabel *>(QStringLiteral("detailTitle"))->text(), kolu::title(RailModule::links));
    EXPECT_EQ(panel.findChildren<QWidget *>(QStringLiteral("detailPage")).size(), 1);
    QPointer<QWidget> leaving = panel.findChild<QWidget *>(QStringLiteral("leavingDetailPage"));
    ASSERT_TRUE(leaving);
    EXPECT_TRUE(leaving->testAttribute(Qt::WA_TransparentForMouseEvents));
    for (QVariantAnimation *swap : panel.findChildren<QVariantAnimation *>())
        swap->setCurrentTime(swap->duration());
    EXPECT_FALSE(leaving);
    EXPECT_EQ(page->graphicsEffect(), nullptr);
}

TEST_F(ExpandedRailWidgetsTest, TheSelectedIconCastsAShadowInItsTint)
{
    const auto inked = [&](RailModule selected) {
        state->setSelectedModule(selected);
        ToolStripButton button(*state, RailModule::links, Qt::Vertical);
        button.resize(button.sizeHint());
        QImage image(button.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += qAlpha(image.pixel(x, y)) > 0;
        return count;
    };
    const int plain = inked(RailModule::today);
    const int selected = inked(RailModule::links);
    EXPECT_GT(plain, 0);
    // The shadow spreads well past the glyph.
    EXPECT_GT(selected, plain * 3 / 2);
}
