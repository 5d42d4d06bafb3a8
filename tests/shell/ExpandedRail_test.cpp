#include "shell/rail/DockRail.h"
#include "shell/rail/EdgeNotification.h"
#include "shell/rail/EdgeNotificationRings.h"
#include "shell/rail/EdgeNotificationRingsClock.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/FloatingConnector.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rail/expanded/ToolStripButton.h"
#include "style/OrlixStyle.h"
#include "style/TodayVisuals.h"
#include "style/widgets/ShrinkLabel.h"

#include "ManualAnimationDriver.h"
#include "ShellFixture.h"
#include "TestFiles.h"
#include "WorkersHeld.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPaintEvent>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtMath>
#include <QTimer>
#include <QVariantAnimation>
#include <QWindow>

using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {
class ExpandedRailTest : public test::RailStateTest {
protected:
    static void hover(QWidget *w, bool in)
    {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(w, in ? static_cast<QEvent *>(&enter) : &leave);
    }
    // Drags `mime` over `w` and drops it: how many of the two `w` took.
    static int dropOn(QWidget *w, QMimeData &mime)
    {
        const bool entered = test::dragEnter(w, mime);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &drop);
        return int(entered) + int(drop.isAccepted());
    }
};

struct RecordingRefresh final : RailRefreshCalls {
    QStringList calls;
    void refreshCalendarEvents() override { calls << u"calendar"_s; }
    void refreshNowPlaying() override { calls << u"nowPlaying"_s; }
    void refreshReminders() override { calls << u"reminders"_s; }
    void refreshTodayWeather(bool force) override { calls << u"weather %1"_s.arg(force); }
    void refreshNotes(bool force) override { calls << u"notes %1"_s.arg(force); }
    void refreshPrayerTimesIfNeeded() override { calls << u"prayers"_s; }
};

} // namespace

TEST_F(ExpandedRailTest, SwipeCollapsesPastItsThresholdTowardsTheEdge)
{
    const std::tuple<RailEdge, QPointF, bool> rows[] = {
        {RailEdge::right, {70, 0}, false},  {RailEdge::right, {71, 0}, true},  {RailEdge::right, {-110, 0}, false},
        {RailEdge::right, {-111, 0}, true}, {RailEdge::right, {10, 5}, false}, {RailEdge::right, {0, 200}, false},
        {RailEdge::top, {0, -70}, false},   {RailEdge::top, {0, -71}, true},   {RailEdge::top, {0, 300}, false},
        {RailEdge::top, {300, 0}, false},   {RailEdge::top, {-300, 0}, false}};
    for (const auto &[edge, by, collapses] : rows) {
        SCOPED_TRACE(testing::Message() << int(edge) << " " << by.x() << "," << by.y());
        state->setRailEdge(edge);
        ExpandedRail rail(*state);
        rail.resize(edge == RailEdge::top ? 800 : 441, 620);
        rail.show();
        state->setIsExpanded(true);
        swipe(rail.detailPanel()->findChild<QLabel *>(u"detailTitle"_s), QPointF(4, 4), by);
        EXPECT_EQ(!state->isExpanded(), collapses);
    }
    // A swipe that starts in a text field selects text instead; so does a reorder drag.
    state->setRailEdge(RailEdge::right);
    ExpandedRail rail(*state);
    rail.resize(441, 620);
    rail.show();
    state->setIsExpanded(true);
    swipe(new QLineEdit(rail.detailPanel()), QPointF(4, 4), QPointF(200, 0));
    EXPECT_TRUE(state->isExpanded());
    state->setIsReorderingRail(true);
    swipe(rail.detailPanel()->findChild<QLabel *>(u"detailTitle"_s), QPointF(4, 4), QPointF(200, 0));
    EXPECT_TRUE(state->isExpanded());
}

TEST_F(ExpandedRailTest, NotificationsComeAndGoBesideTheCard)
{
    test::ManualAnimationDriver wallClockHeld; // only the test moves the animations
    raiseAlerts(15);
    ExpandedRail rail(*state);
    rail.resize(795, 620);
    rail.show();
    const QPoint origin = rail.canvasRect().topLeft();
    const auto rest = [&](EdgeAlertKind kind) {
        for (const expandedrail::PlacedNotification &p :
             expandedrail::sideNotifications(railViewInput(*state), state->visibleRailModules()))
            if (p.kind == kind)
                return QRectF(origin + p.centre - QPointF(p.size.width(), p.size.height()) / 2, p.size).toRect();
        return QRect();
    };
    // Those pending when the rail opens are in place at once, under the strip.
    for (const EdgeAlertKind kind :
         {EdgeAlertKind::calendar, EdgeAlertKind::prayer, EdgeAlertKind::reminder, EdgeAlertKind::focus}) {
        EdgeNotification *n = rail.notification(kind);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->geometry(), rest(kind));
        EXPECT_LT(rail.children().indexOf(n), rail.children().indexOf(rail.toolStrip()));
    }
    // Focus leaves to the right, fading and taking no clicks, then goes.
    QPointer<QWidget> focus = rail.notification(EdgeAlertKind::focus);
    const QRect focusRest = rest(EdgeAlertKind::focus);
    state->setPomodoroAlertVisible(false);
    EXPECT_EQ(rail.notification(EdgeAlertKind::focus), nullptr);
    test::step(rail, 64);
    ASSERT_TRUE(focus);
    EXPECT_GT(focus->x(), focusRest.x());
    EXPECT_TRUE(focus->testAttribute(Qt::WA_TransparentForMouseEvents));
    test::settle(rail);
    EXPECT_FALSE(focus);
    // The calendar's goes at once; a new focus alert enters from 14 to the right.
    QPointer<QWidget> calendar = rail.notification(EdgeAlertKind::calendar);
    state->setActiveCalendarAlert(std::nullopt);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(calendar);
    state->setPomodoroAlertVisible(true);
    EdgeNotification *entering = rail.notification(EdgeAlertKind::focus);
    EXPECT_EQ(entering->geometry(), focusRest.translated(14, 0));
    test::settle(rail);
    EXPECT_EQ(entering->geometry(), focusRest);
    EXPECT_EQ(entering->graphicsEffect(), nullptr);
}

TEST_F(ExpandedRailTest, PartsSitWhereTheGeometrySaysAndTheCardGlidesFromTheEdgeToItsButton)
{
    test::ManualAnimationDriver wallClockHeld; // only the test moves the animations
    for (const RailEdge edge : {RailEdge::left, RailEdge::right}) {
        SCOPED_TRACE(int(edge));
        state->setRailEdge(edge);
        state->setSelectedModule(RailModule::links);
        state->setIsExpanded(true);
        ExpandedRail rail(*state);
        rail.resize(441, 700);
        rail.show();
        const QRect canvas = rail.canvasRect();
        EXPECT_EQ(canvas, QRect(0, 40, 441, 620));
        EXPECT_EQ(rail.toolStrip()->geometry().center().x() + 1,
                  canvas.left() + int(expandedrail::toolStripCenterX(rail.canvas())));
        EXPECT_EQ(rail.detailPanel()->size(), QSize(318, 500));
        const int away = edge == RailEdge::left ? -318 : 318;
        const int enteringX = rail.detailPanel()->x();
        EXPECT_EQ(rail.presence(), 0);
        test::settle(rail);
        EXPECT_EQ(rail.detailPanel()->x(), enteringX - away);
        EXPECT_EQ(rail.detailPanel()->graphicsEffect(), nullptr);
        // The connector, its button and the card's centre line up.
        const double from = expandedrail::moduleIconY(RailModule::links, state->visibleRailModules(), 1.0);
        EXPECT_DOUBLE_EQ(rail.connector()->y(), from);
        rail.toolStrip()->layout()->activate();
        QWidget *button = rail.toolStrip()->button(RailModule::links);
        EXPECT_NEAR(button->mapTo(&rail, button->rect().center()).y() + 0.5, canvas.top() + from, 1);

        const double to = expandedrail::moduleIconY(RailModule::nowPlaying, state->visibleRailModules(), 1.0);
        state->openModule(RailModule::nowPlaying);
        EXPECT_EQ(rail.detailPanel()->module(), RailModule::nowPlaying);
        test::step(rail, 96);
        EXPECT_GT(rail.connector()->y(), from);
        EXPECT_LT(rail.connector()->y(), to);
        test::settle(rail);
        EXPECT_DOUBLE_EQ(rail.connector()->y(), to);
        EXPECT_EQ(rail.detailPanel()->geometry().center().y() + 1 - canvas.top(),
                  int(expandedrail::detailCardCenterY(to, 1.0)));

        // Collapsing takes the card back to the edge.
        state->setIsExpanded(false);
        test::settle(rail);
        EXPECT_EQ(rail.detailPanel()->x(), enteringX);
    }
}

TEST_F(ExpandedRailTest, TopRailShowsTheFirstPendingNotificationAndNarrowStripKeepsItsButtons)
{
    test::ManualAnimationDriver wallClockHeld; // only the test moves the animations
    state->setRailEdge(RailEdge::top);
    state->setShowMinimizeAllAppsButton(true);
    raiseAlerts(3);
    ExpandedRail rail(*state);
    rail.resize(900, 600);
    rail.show();
    ASSERT_TRUE(rail.notification() && rail.notification()->kind() == EdgeAlertKind::calendar);
    EXPECT_EQ(rail.detailPanel()->x(), (900 - 318 - 12 - 318) / 2);
    state->setActiveCalendarAlert(std::nullopt);
    test::settle(rail);
    EXPECT_EQ(rail.findChildren<EdgeNotification *>().size(), 1);
    EXPECT_EQ(rail.notification()->kind(), EdgeAlertKind::prayer);
    EXPECT_EQ(rail.detailPanel()->x(), (900 - 318 - 12 - 332) / 2);
    EXPECT_EQ(rail.notification()->x(), rail.detailPanel()->geometry().right() + 1 + 12);

    // Too narrow for the whole strip: the module buttons keep their width and
    // the actions still fit inside the glass.
    rail.resize(780, 600);
    QWidget *strip = rail.toolStrip();
    for (QWidget *b : strip->findChildren<QWidget *>(QRegularExpression(u"^toolStripButton-"_s)))
        EXPECT_EQ(b->width(), 54);
    EXPECT_LE(strip->findChild<QWidget *>(u"settingsButton"_s)->geometry().right(), strip->width() - 14);

    // Narrower still, Settings stays whole inside the glass, clear of the
    // module buttons; the other actions give way before it.
    for (const int width : {760, 700, 660}) {
        SCOPED_TRACE(width);
        rail.resize(width, 600);
        const QWidget *settings = strip->findChild<QWidget *>(u"settingsButton"_s);
        ASSERT_TRUE(settings->isVisibleTo(strip));
        EXPECT_GE(settings->width(), 24);
        EXPECT_LE(settings->geometry().right() + 1, strip->width() - toprail::minimumStripPadding);
        for (QWidget *b : strip->findChildren<QWidget *>(QRegularExpression(u"^toolStripButton-"_s)))
            if (b->isVisibleTo(strip)) {
                EXPECT_LT(b->geometry().right(), settings->x());
            }
    }
}

TEST_F(ExpandedRailTest, RailViewWaitsWhileANotificationMenuIsOpen)
{
    state->setRailEdge(RailEdge::left);
    raiseAlerts(2);
    RailView view(*state);
    state->setIsExpanded(true);
    QSignalSpy waiting(&view, &RailView::interactionActiveChanged);
    auto *rail = qobject_cast<ExpandedRail *>(view.content());
    ASSERT_NE(rail, nullptr);
    Q_EMIT rail->notification(EdgeAlertKind::prayer)->menuActiveChanged(true);
    EXPECT_TRUE(waiting.count() == 1 && waiting.at(0).at(0).toBool());
}

TEST_F(ExpandedRailTest, RingsAndTheCardShadowReachPastTheirWidgets)
{
    test::ManualAnimationDriver wallClockHeld;
    EdgeNotificationRings::setTimeSource([] { return 0.0; }); // the rings stay at their first picture
    OrlixStyle &style = OrlixStyle::current();
    const GlassTier tier = style.glassTier();
    style.setGlassTier(GlassTier::translucent); // where glass casts shadows
    state->setRailEdge(RailEdge::left);
    state->setSelectedModule(RailModule::links);
    const auto paint = [&](bool alert, QRect *button, QRect *strip, QRect *card) {
        state->setPomodoroAlertVisible(alert);
        ExpandedRail rail(*state);
        rail.resize(441, 620);
        rail.show();
        rail.toolStrip()->layout()->activate();
        QWidget *focus = rail.toolStrip()->button(RailModule::focus);
        *button = QRect(focus->mapTo(&rail, QPoint()), focus->size());
        *strip = rail.toolStrip()->geometry();
        *card = rail.detailPanel()->geometry();
        return test::picture(rail);
    };
    QRect button, strip, card;
    const QImage calm = paint(false, &button, &strip, &card);
    const QImage alert = paint(true, &button, &strip, &card);
    style.setGlassTier(tier);
    EdgeNotificationRings::setTimeSource({});

    // The focus button's rings reach past the button and past the strip, on
    // the screen side where nothing else is drawn.
    int changed = 0;
    for (int y = button.center().y() - 43; y <= button.center().y() + 43; ++y)
        for (int x = 0; x < strip.left(); ++x)
            changed += calm.pixel(x, y) != alert.pixel(x, y);
    EXPECT_GT(changed, 10);

    // The card's shadow lies below the card, not cut at its edges.
    EXPECT_GT(qAlpha(calm.pixel(card.center().x(), card.bottom() + 6)), 0);
    EXPECT_GT(qAlpha(calm.pixel(card.left() + 6, card.bottom() + 4)), 0);
}

TEST_F(ExpandedRailTest, PulsingButtonsRepaintOnlyTheirRingsAndOnlyWhileTheRailShows)
{
    test::ManualAnimationDriver frozen;
    double seconds = 100;
    EdgeNotificationRings::setTimeSource([&seconds] { return seconds; });
    state->setRailEdge(RailEdge::left);
    state->setSelectedModule(RailModule::links);
    state->setPomodoroAlertVisible(true);
    ExpandedRail rail(*state);
    rail.resize(441, 620);
    rail.show();
    rail.toolStrip()->layout()->activate();
    const QTimer &timer = EdgeNotificationRings::sharedTimer();
    EXPECT_TRUE(timer.isActive());
    ASSERT_TRUE(test::waitUntil([&] { return rail.windowHandle() && rail.windowHandle()->isExposed(); }));
    rail.repaint();

    // Paints of the whole window after the next picture, in its coordinates.
    test::PaintedRegion spy(&rail);
    const QRegion &painted = spy.region;
    seconds += 1.0 / (rings::cyclesPerSecond * rings::framesPerCycle);
    RingClock::shared().tick();
    ASSERT_TRUE(test::waitUntil([&] { return !painted.isEmpty(); }));
    const QWidget *focus = rail.toolStrip()->button(RailModule::focus);
    const QPoint centre = focus->mapTo(&rail, focus->rect().center());
    EXPECT_TRUE(painted.contains(centre));
    // The box of the rings, which reach past the button: no more.
    QRect box(QPoint(), QSize(106, 92));
    box.moveCenter(centre);
    EXPECT_TRUE((painted - box).isEmpty()) << "painted beyond the focus button's rings";

    // A frame of the rings, the leaning button below them included, is drawn
    // on this thread alone: waking the pool's workers for its spans cost
    // more than the drawing, seven times a second.
    frozen.advanceBy(200);
    ASSERT_EQ(static_cast<const ToolStripButton *>(focus)->pose(), 1.0);
    QImage frame(rail.size(), QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    const auto drawFrame = [&] { rail.render(&frame, QPoint(), QRegion(box)); };
    drawFrame(); // the first frame of a pose may take its pictures
    EXPECT_TRUE(test::endsWithoutWorkers(drawFrame));

    // A rail kept hidden (collapsed) wakes nothing for its strip.
    rail.hide();
    EXPECT_FALSE(timer.isActive());
    rail.show();
    EXPECT_TRUE(timer.isActive());
    state->setPomodoroAlertVisible(false);
    EXPECT_FALSE(timer.isActive());
    EdgeNotificationRings::setTimeSource({});
}

TEST_F(ExpandedRailTest, HoverOpensOnlyAfterItsDelay)
{
    state->setSelectedModule(RailModule::calendar);
    ExpandedToolStrip strip(*state);
    ToolStripButton *focus = strip.findChild<ToolStripButton *>(u"toolStripButton-focus"_s);
    ASSERT_NE(focus, nullptr);

    // Leaving after 50 ms opens nothing, even once the delay has passed.
    hover(focus, true);
    clock.advance(50ms);
    hover(focus, false);
    clock.advance(200ms);
    EXPECT_EQ(state->selectedModule(), RailModule::calendar);

    // Staying 100 ms opens it.
    hover(focus, true);
    clock.advance(50ms);
    EXPECT_EQ(state->selectedModule(), RailModule::calendar);
    clock.advance(50ms);
    EXPECT_EQ(state->selectedModule(), RailModule::focus);

    // While the modules are being reordered nothing opens.
    ToolStripButton *links = strip.button(RailModule::links);
    state->setIsReorderingRail(true);
    hover(links, true);
    clock.advance(100ms);
    click(links);
    EXPECT_EQ(state->selectedModule(), RailModule::focus);
    state->setIsReorderingRail(false);
    click(links);
    EXPECT_EQ(state->selectedModule(), RailModule::links);
}

TEST_F(ExpandedRailTest, OnlyTheTrayButtonTakesFileDropsAndAlertsPoseTheirButtons)
{
    ExpandedToolStrip strip(*state);
    const QString file = home.path(u"dropped.txt"_s);
    ASSERT_TRUE(test::writeFile(file, "x"));
    for (const RailModule module : state->visibleRailModules()) {
        SCOPED_TRACE(rawValue(module).toStdString());
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        EXPECT_EQ(dropOn(strip.button(module), mime), module == RailModule::fileTray ? 2 : 0);
    }
    EXPECT_EQ(strip.button(RailModule::fileTray)->badgeText(), u"1"_s) << "one item in the tray";
    EXPECT_FALSE(strip.button(RailModule::fileTray)->isFileDropTarget());
    // Text without a file is no file drop.
    QMimeData text;
    text.setText(u"words"_s);
    EXPECT_EQ(dropOn(strip.button(RailModule::fileTray), text), 0);

    // Alerts pose their buttons, whose rings stop once idle.
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

TEST_F(ExpandedRailTest, ActionsOfBothStrips)
{
    for (const bool top : {false, true}) {
        SCOPED_TRACE(top ? "top" : "side");
        std::unique_ptr<ExpandedToolStrip> strip =
            top ? std::make_unique<TopExpandedToolStrip>(*state) : std::make_unique<ExpandedToolStrip>(*state);
        auto *calls = new RecordingRefresh;
        strip->setRefreshCalls(std::unique_ptr<RailRefreshCalls>(calls));
        auto *refresh = strip->findChild<QAbstractButton *>(u"refreshButton"_s);
        ASSERT_NE(refresh, nullptr);
        click(refresh);
        EXPECT_EQ(calls->calls, (QStringList{u"calendar"_s, u"nowPlaying"_s, u"reminders"_s, u"weather 1"_s,
                                             u"notes 0"_s, u"prayers"_s}));

        QSignalSpy settings(strip.get(), &ExpandedToolStrip::settingsRequested);
        click(strip->findChild<QAbstractButton *>(u"settingsButton"_s));
        EXPECT_EQ(settings.count(), 1);

        // The minimise button comes and goes with its setting, before the others.
        state->setShowMinimizeAllAppsButton(false);
        EXPECT_EQ(strip->findChild<QAbstractButton *>(u"minimizeAllButton"_s), nullptr);
        state->setShowMinimizeAllAppsButton(true);
        EXPECT_NE(strip->findChild<QAbstractButton *>(u"minimizeAllButton"_s), nullptr);
    }
}

TEST_F(ExpandedRailTest, LongPressAndDragReordersByWholeSteps)
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
}

TEST_F(ExpandedRailTest, DetailHeaderPerModuleAndTodaySymbolByHour)
{
    const auto text = [](const QWidget *in, const QString &name) {
        const auto *label = in->findChild<QLabel *>(name);
        return label ? label->text() : u"(none)"_s;
    };
    for (const RailModule module :
         {RailModule::calendar, RailModule::notes, RailModule::reminders, RailModule::focus}) {
        ModuleDetailPanel panel(*state, module);
        EXPECT_EQ(text(&panel, u"detailTitle"_s), kolu::title(module));
        EXPECT_EQ(text(&panel, u"detailTagline"_s), ModuleDetailPanel::tagline(module));
        EXPECT_EQ(panel.badgeSymbol(), symbol(module));
    }

    const std::tuple<int, const char *, const char *> rows[] = {
        {0, "moon.stars", "Have a calm night"},    {5, "moon.stars", "Have a calm night"},
        {6, "sun.max", "Have a nice morning"},     {11, "sun.max", "Have a nice morning"},
        {12, "sun.max", "Have a nice day"},        {17, "sun.max", "Have a nice day"},
        {18, "moon.stars", "Have a calm evening"}, {23, "moon.stars", "Have a calm evening"}};
    ModuleDetailPanel panel(*state, RailModule::calendar);
    for (const auto &[hour, badge, greeting] : rows) {
        SCOPED_TRACE(hour);
        clock.setNow(QDateTime(QDate(2026, 3, 14), QTime(hour, 30), Qt::LocalTime).toUTC());
        EXPECT_EQ(TodayVisuals::current(clock).greeting, QLatin1String(greeting));
        panel.setModule(RailModule::today);
        EXPECT_EQ(panel.badgeSymbol(), QLatin1String(badge));
        panel.setModule(RailModule::calendar);
    }

    // A module change builds a fresh page; a module without a card shows its
    // header alone. The old page fades out, taking no input, and then goes.
    panel.setModule(RailModule::links);
    auto *page = panel.findChild<QWidget *>(u"detailPage"_s);
    EXPECT_EQ(text(page, u"detailTitle"_s), kolu::title(RailModule::links));
    EXPECT_EQ(panel.findChildren<QWidget *>(u"detailPage"_s).size(), 1);
    QPointer<QWidget> leaving = panel.findChild<QWidget *>(u"leavingDetailPage"_s);
    ASSERT_TRUE(leaving && leaving->testAttribute(Qt::WA_TransparentForMouseEvents));
    // Finishing one animation may take others with the page that goes.
    QList<QPointer<QVariantAnimation>> swaps;
    for (QVariantAnimation *swap : panel.findChildren<QVariantAnimation *>())
        swaps << swap;
    for (const QPointer<QVariantAnimation> &swap : swaps)
        if (swap)
            swap->setCurrentTime(swap->duration());
    EXPECT_FALSE(leaving);
    EXPECT_EQ(page->graphicsEffect(), nullptr);
}

TEST_F(ExpandedRailTest, TheSelectedIconCastsAShadowInItsTint)
{
    const auto inked = [&](RailModule selected) {
        state->setSelectedModule(selected);
        ToolStripButton button(*state, RailModule::links, Qt::Vertical);
        button.resize(button.sizeHint());
        return test::inkedPixels(test::picture(button));
    };
    const int plain = inked(RailModule::today);
    const int selected = inked(RailModule::links);
    EXPECT_GT(plain, 0);
    // The shadow spreads well past the glyph.
    EXPECT_GT(selected, plain * 3 / 2);
}

TEST_F(ExpandedRailTest, AShortScreenKeepsEveryButtonShownWholeAndSettingsReachable)
{
    test::ManualAnimationDriver wallClockHeld; // only the test moves the animations
    // 540 and 720 points tall: the panel is 72 shorter than the screen.
    state->setShowMinimizeAllAppsButton(true);
    state->setSelectedModule(RailModule::nowPlaying); // the last button
    state->setIsExpanded(true);
    for (const RailSize size : {RailSize::standard, RailSize::large})
        for (const int screenHeight : {540, 720}) {
            SCOPED_TRACE(testing::Message() << "large " << (size == RailSize::large) << " screen " << screenHeight);
            state->setRailSize(size);
            const double s = state->railScaleFactor();
            ExpandedRail rail(*state);
            rail.resize(qCeil(expandedrail::width(rail.canvas())), screenHeight - 72);
            rail.show();
            test::settle(rail);
            rail.toolStrip()->layout()->activate();
            const QRect all = rail.rect();
            const QRect strip = rail.toolStrip()->geometry();
            EXPECT_TRUE(all.contains(strip)) << strip.top() << " " << strip.bottom();

            // Whatever stays is whole inside the strip; Settings always stays.
            const auto shown = [&](const QString &name) {
                const auto *w = rail.toolStrip()->findChild<QWidget *>(name);
                return w && w->isVisible();
            };
            EXPECT_TRUE(shown(u"settingsButton"_s));
            const bool fitsAll = 620 * s <= screenHeight - 72;
            EXPECT_EQ(shown(u"minimizeAllButton"_s), fitsAll);
            EXPECT_TRUE(shown(u"refreshButton"_s) || !shown(u"minimizeAllButton"_s)) << "minimise goes first";
            for (QWidget *child : rail.toolStrip()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (!child->isVisible())
                    continue;
                const QRect at(child->mapTo(&rail, QPoint()), child->size());
                EXPECT_TRUE(strip.contains(at)) << child->objectName().toStdString() << " " << at.top() << "-"
                                                << at.bottom() << " in " << strip.top() << "-" << strip.bottom();
            }
            // 540 tall: Settings, and a list of 9 whole buttons (7 large
            // ones) that scrolls to the others; 720 tall: every button, and
            // refresh too when the large ones are shown.
            auto *strip540 = qobject_cast<ExpandedToolStrip *>(rail.toolStrip());
            ASSERT_NE(strip540, nullptr);
            const QRect list(strip540->moduleList()->mapTo(&rail, QPoint()), strip540->moduleList()->size());
            int modules = 0;
            int whole = 0;
            for (ToolStripButton *b : strip540->buttons()) {
                modules += b->isVisible();
                whole += list.contains(QRect(b->mapTo(&rail, QPoint()), b->size()));
                EXPECT_EQ(b->size(), b->sizeHint()) << "every button at its size";
            }
            EXPECT_EQ(modules, 10);
            EXPECT_EQ(whole, screenHeight == 720 ? 10 : s == 1.0 ? 9 : 7);
            EXPECT_EQ(strip540->isModuleListScrolling(), screenHeight == 540);
            EXPECT_TRUE(strip.contains(list));
            EXPECT_EQ(shown(u"refreshButton"_s), screenHeight == 720);

            // The card keeps 10 clear of the top and bottom, with its title on
            // show; what does not fit scrolls.
            const QRect card = rail.detailPanel()->geometry();
            EXPECT_GE(card.top(), 10 - 1);
            EXPECT_LE(card.bottom(), all.bottom() - 10 + 1);
            auto *title = rail.detailPanel()->findChild<QLabel *>(u"detailTitle"_s);
            ASSERT_NE(title, nullptr);
            EXPECT_TRUE(card.contains(QRect(title->mapTo(&rail, QPoint()), title->size())));
            // The connector still points at the open module's button, where it
            // shows, and follows it as the list scrolls by hand; it goes while
            // the button is out of sight.
            ToolStripButton *b = rail.toolStrip()->button(RailModule::nowPlaying);
            ASSERT_NE(b, nullptr);
            QScrollBar *bar = strip540->moduleList()->verticalScrollBar();
            int outOfSight = 0;
            for (int value = bar->value(); value >= bar->minimum(); value -= 20) {
                bar->setValue(value);
                const int middle = b->mapTo(&rail, b->rect().center()).y();
                const bool inSight = middle >= list.top() && middle <= list.bottom();
                outOfSight += !inSight;
                EXPECT_EQ(rail.connector()->shows(), inSight) << value;
                EXPECT_EQ(rail.connector()->drawnShape().isEmpty(), !inSight) << value;
                if (inSight) {
                    EXPECT_NEAR(middle + 0.5, rail.canvasRect().top() + rail.connector()->y(), 1) << value;
                }
            }
            EXPECT_EQ(outOfSight > 0, strip540->isModuleListScrolling());
        }
}

TEST_F(ExpandedRailTest, OnAShortScreenTheTopRailsCardEndsAboveTheRailsBottom)
{
    // 540 points tall: the top rail is 36 shorter than the screen.
    state->setRailEdge(RailEdge::top);
    state->setIsExpanded(true);
    ExpandedRail rail(*state);
    rail.resize(800, 504);
    rail.show();
    test::settle(rail);
    const QRect card = rail.detailPanel()->geometry();
    EXPECT_EQ(card.top(), 74 + 14);
    EXPECT_EQ(card.bottom(), 504 - 10 - 1);
    // Tall enough, it has its usual height.
    rail.resize(800, 610);
    EXPECT_EQ(rail.detailPanel()->height(), 500);
}

// The header's symbol and the card's greeting follow one time-of-day rule and
// change on the same minute while the panel stays open.
TEST_F(ExpandedRailTest, TodaysHeaderSymbolTurnsWithTheGreetingOnTheMinute)
{
    for (const auto &[hour, before, after] : {std::tuple{5, "moon.stars", "sun.max"}, {17, "sun.max", "moon.stars"}}) {
        SCOPED_TRACE(hour);
        clock.setNow(QDateTime(QDate(2026, 3, 14), QTime(hour, 59, 30), Qt::LocalTime).toUTC());
        ModuleDetailPanel panel(*state, RailModule::today);
        panel.show();
        auto *badge = panel.findChild<QWidget *>(u"detailBadge"_s);
        auto *greeting = panel.findChild<ShrinkLabel *>(u"todayGreeting"_s);
        ASSERT_TRUE(badge && greeting);
        EXPECT_EQ(badge->accessibleName(), QLatin1String(before));
        const QString earlier = greeting->text();
        clock.advance(std::chrono::seconds(31)); // the minute, and the ticker's margin past it
        EXPECT_EQ(badge->accessibleName(), QLatin1String(after));
        EXPECT_EQ(badge->accessibleName(), panel.badgeSymbol());
        EXPECT_NE(greeting->text(), earlier) << "the greeting turned on the same minute";
        EXPECT_EQ(greeting->text(), TodayVisuals::current(clock).greeting);
    }
}
