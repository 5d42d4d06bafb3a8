// The real program on a 1440 x 900 desktop of the test's own with openbox,
// driven by xdotool and read back with xprop and xwininfo.
#include "model/LocalStore.h"
#include "model/PersistedFiles.h"

#include "EventWait.h"
#include "PrivateDisplay.h"
#include "RailShape.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {
const QString kRailName = u"^Kolu Rail$"_s;
const QRect kParkedRight(1422, 110, 18, 680);

class RailWindowTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    test::PrivateDisplay display{1440, 900};
    std::vector<std::unique_ptr<QProcess>> programs;

    void SetUp() override
    {
        if (!display.isRunning() || !display.startWindowManager())
            KOLU_SKIP_OR_FAIL_UNDER_CI("no Xvfb with openbox here");
    }

    void TearDown() override
    {
        for (auto &program : programs) {
            program->terminate();
            if (!program->waitForFinished(10000))
                program->kill();
        }
    }

    // Ends every program started and waits for the rail to go.
    bool quitAll()
    {
        TearDown();
        programs.clear();
        return test::waitUntil([this] { return display.findWindow(kRailName) == 0; });
    }

    // Settings the program reads at launch, with the onboarding done.
    void writeDefaults(QJsonObject values)
    {
        values.insert(u"hasCompletedOrlixOnboarding"_s, true);
        EXPECT_TRUE(test::writeFile(home.configHome() + u"/Kolu/defaults.json"_s, QJsonDocument(values).toJson()));
    }

    QProcess &launch(const QString &program = QStringLiteral(KOLU_EXECUTABLE), const QStringList &arguments = {})
    {
        programs.push_back(std::make_unique<QProcess>());
        programs.back()->setProcessEnvironment(display.environment());
        programs.back()->setProcessChannelMode(QProcess::ForwardedChannels);
        programs.back()->start(program, arguments);
        EXPECT_TRUE(programs.back()->waitForStarted(10000));
        return *programs.back();
    }

    // An ordinary window at `geometry`, made the active one.
    quint32 openUserWindow(const QString &geometry)
    {
        launch(u"xmessage"_s, {u"-geometry"_s, geometry, u"the user's window"_s});
        quint32 window = 0;
        EXPECT_TRUE(test::waitUntil([&] { return (window = display.findWindow(u"^xmessage$"_s)) != 0; }));
        display.run(u"xdotool"_s, {u"windowactivate"_s, u"--sync"_s, QString::number(window)});
        return window;
    }
    quint32 active() const { return display.run(u"xdotool"_s, {u"getactivewindow"_s}).trimmed().toUInt(); }

    // Launches with `defaults` and waits for the rail to be mapped, parked where it belongs.
    quint32 launchRail(const QRect &expected = kParkedRight, const QJsonObject &defaults = {})
    {
        writeDefaults(defaults);
        launch();
        quint32 rail = 0;
        // A generous bound: under a fully loaded machine every X tool run is slow.
        EXPECT_TRUE(test::waitUntil(
            [&] {
                rail = display.findWindow(kRailName);
                return rail && test::railStandsIn(display, rail, expected, false);
            },
            std::chrono::seconds(60)))
            << "rail " << rail << " at " << where(rail);
        return rail;
    }
    std::string where(quint32 rail) const
    {
        const QRect on = test::railOnScreen(display, rail);
        return std::to_string(on.x()) + "," + std::to_string(on.y()) + " " + std::to_string(on.width()) + "x"
               + std::to_string(on.height());
    }
    // Waits for the rail to stand in `frame`, opened or parked.
    bool waitForRail(quint32 rail, const QRect &frame, bool opened) const
    {
        return test::waitUntil([&] { return test::railStandsIn(display, rail, frame, opened); });
    }

    // A window of the test's own, unmanaged, at the bottom of the stack.
    xcb_window_t windowBelow(const QRect &area, quint32 colour = 0) const
    {
        const uint32_t values[] = {colour, 1};
        const xcb_window_t window = display.createWindow(area, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        const uint32_t bottom[] = {XCB_STACK_MODE_BELOW};
        xcb_map_window(display.connection(), window);
        xcb_configure_window(display.connection(), window, XCB_CONFIG_WINDOW_STACK_MODE, bottom);
        xcb_flush(display.connection());
        return window;
    }

    bool waitForGeometry(quint32 window, const QRect &expected)
    {
        return test::waitUntil([&] { return display.geometry(window) == expected; });
    }

    // What the screen shows at `p`, as 0xRRGGBB.
    quint32 pixel(QPoint p) const
    {
        xcb_connection_t *c = display.connection();
        auto *reply = xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, display.root(), p.x(), p.y(), 1, 1, ~0u), nullptr);
        quint32 value = 0;
        if (reply && xcb_get_image_data_length(reply) >= 4)
            std::memcpy(&value, xcb_get_image_data(reply), 4);
        std::free(reply);
        return value & 0xFFFFFF;
    }

    // How the window's bounding shape cuts it: not at all, to all of it (a
    // compositor blends it whole), or to what it draws.
    enum class Shape { none, whole, cut };
    Shape shapeOf(quint32 window) const
    {
        xcb_connection_t *c = display.connection();
        auto *extents = xcb_shape_query_extents_reply(c, xcb_shape_query_extents(c, window), nullptr);
        const QRect shaped = extents
                                 ? QRect(extents->bounding_shape_extents_x, extents->bounding_shape_extents_y,
                                         extents->bounding_shape_extents_width, extents->bounding_shape_extents_height)
                                 : QRect();
        // Whole: the shape holds all of the window (it may reach past it).
        const Shape shape = !extents || !extents->bounding_shaped                               ? Shape::none
                            : shaped.contains(QRect(QPoint(), display.geometry(window).size())) ? Shape::whole
                                                                                                : Shape::cut;
        std::free(extents);
        return shape;
    }
};

} // namespace

TEST_F(RailWindowTest, SitsAtEachEdgeAboveOtherWindowsAndCollapsedAtTheTopLetsClicksThrough)
{
    // Ten modules with the minimize-all button make the top rail 779 + 32 wide.
    const std::tuple<const char *, QRect> cases[] = {
        {"left", {0, 110, 18, 680}}, {"right", {1422, 110, 18, 680}}, {"top", {314, 0, 811, 18}}};
    quint32 rail = 0;
    for (const auto &[edge, frame] : cases) {
        ASSERT_TRUE(!rail || quitAll());
        rail = launchRail(frame, {{u"railEdge"_s, QString::fromLatin1(edge)}, {u"showMinimizeAllAppsButton"_s, true}});
        ASSERT_NE(rail, 0u) << edge;
        const QString states = display.property(rail, u"_NET_WM_STATE"_s);
        for (const QString &state :
             {u"_NET_WM_STATE_ABOVE"_s, u"_NET_WM_STATE_SKIP_TASKBAR"_s, u"_NET_WM_STATE_SKIP_PAGER"_s})
            EXPECT_TRUE(states.contains(state)) << edge << ": " << states.toStdString();
        EXPECT_EQ(display.property(rail, u"_NET_WM_DESKTOP"_s), u"4294967295"_s);
        EXPECT_TRUE(display.property(rail, u"_NET_WM_WINDOW_TYPE"_s).startsWith(u"_NET_WM_WINDOW_TYPE_DOCK"_s));
    }

    // A window of the test's own at the bottom of the stack, under the top rail's left end (away
    // from the reveal band in its middle). The server sends a click to the window the pointer is
    // in, found through every window's input shape (the rail's and its frame's).
    const xcb_window_t below = windowBelow({300, 0, 400, 200});
    ASSERT_TRUE(waitForGeometry(below, {300, 0, 400, 200}));
    display.movePointer({400, 6});
    EXPECT_TRUE(test::waitUntil([&] { return display.windowUnderPointer() == below; })) << "clicks go through the rail";
    EXPECT_TRUE(test::railStandsIn(display, rail, QRect(314, 0, 811, 18), false)) << "and it stays collapsed";
    // Expanded, the rail takes what falls on it.
    display.movePointer({719, 2});
    ASSERT_TRUE(test::waitUntil([&] { return test::railOnScreen(display, rail).height() > 18; }));
    // What takes clicks is set as the rail opens, what shows once its
    // picture is painted: a click lands where the rail shows.
    ASSERT_TRUE(test::waitUntil(
        [&] { return test::shapeOnScreen(display, rail, XCB_SHAPE_SK_BOUNDING).contains(QPoint(400, 6)); }));
    display.movePointer({400, 6});
    EXPECT_NE(display.windowUnderPointer(), below);

    // An ordinary window brought to the front stays below the rail.
    const quint32 window = openUserWindow(u"600x400+1000+300"_s);
    display.run(u"xdotool"_s, {u"windowraise"_s, QString::number(window)});
    EXPECT_TRUE(test::waitUntil([&] {
        const auto stacking = display.property(display.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
        return stacking.size() >= 2 && stacking.back() == rail;
    }));
}

TEST_F(RailWindowTest, AComposerGetsTheKeyboardAndCollapsingHandsItBack)
{
    // The notes button first in the tool strip.
    const quint32 rail = launchRail(kParkedRight, {{u"railModuleOrder"_s, QJsonArray{u"notes"_s, u"today"_s}}});
    ASSERT_NE(rail, 0u);
    const auto focused = [this] { return display.run(u"xdotool"_s, {u"getwindowfocus"_s}).trimmed().toUInt(); };
    // What shows at `p` once the slide or the card's entrance has come to
    // rest there: the same colour several looks in a row.
    const auto settled = [this](QPoint p) {
        quint32 last = 0;
        int same = 0;
        return test::waitUntil([&] {
            const quint32 now = pixel(p);
            same = now == last && now != 0 ? same + 1 : 0;
            last = now;
            return same >= 5;
        });
    };
    // Collapsing gives the keyboard back to the window that had it; when
    // that one has gone, the collapsed rail still lets go of it.
    for (const bool ownerGoes : {false, true}) {
        SCOPED_TRACE(ownerGoes ? "owner gone" : "owner there");
        const quint32 window = openUserWindow(u"400x300+200+300"_s);
        QProcess &other = *programs.back();
        ASSERT_TRUE(test::waitUntil([&] { return active() == window; }));
        display.movePointer({1439, 450});
        ASSERT_TRUE(waitForRail(rail, {999, 110, 441, 680}, true));
        if (!ownerGoes) {
            // The composer focuses its title field; the window manager must hand the rail the
            // keyboard for it (some refuse a dock's plain request and keep it on a window of their own).
            ASSERT_TRUE(settled({1387, 173}));
            display.run(u"xdotool"_s, {u"mousemove"_s, u"1387"_s, u"173"_s, u"click"_s, u"1"_s});
            ASSERT_TRUE(settled({1073, 250}));
            display.run(u"xdotool"_s, {u"mousemove"_s, u"1073"_s, u"250"_s, u"click"_s, u"1"_s});
            ASSERT_TRUE(test::waitUntil([&] { return active() == rail && focused() == rail; }))
                << "active " << active() << " focus " << focused();
        } else {
            display.run(u"xdotool"_s, {u"windowactivate"_s, QString::number(rail)});
            ASSERT_TRUE(test::waitUntil([&] { return active() == rail; }));
            other.kill();
            other.waitForFinished(5000);
            ASSERT_TRUE(test::waitUntil([&] { return display.findWindow(u"^xmessage$"_s) == 0; }));
        }
        display.movePointer({300, 150});
        ASSERT_TRUE(waitForRail(rail, kParkedRight, false));
        EXPECT_TRUE(test::waitUntil([&] { return ownerGoes ? active() != rail : active() == window; }))
            << "active " << active();
        other.kill();
        other.waitForFinished(5000);
    }
}

TEST_F(RailWindowTest, HoverRaisesTheRailAsAPagerWouldAndNeverAsksForActivation)
{
    // What the rail asks of the window manager, heard as any client may:
    // requests to the manager go to the root window's substructure.
    xcb_connection_t *c = display.connection();
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, display.root(), XCB_CW_EVENT_MASK, &mask);
    const auto atom = [c](const char *name) {
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    };
    const xcb_atom_t activate = atom("_NET_ACTIVE_WINDOW");
    const xcb_atom_t restack = atom("_NET_RESTACK_WINDOW");
    const quint32 rail = launchRail();
    ASSERT_NE(rail, 0u);
    const quint32 window = openUserWindow(u"400x300+200+300"_s);
    ASSERT_TRUE(test::waitUntil([&] { return active() == window; }));
    int activations = 0;
    int pagerRaises = 0;
    const auto drain = [&] {
        xcb_flush(c);
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
                const auto *message = reinterpret_cast<const xcb_client_message_event_t *>(event);
                if (message->window == rail && message->type == activate)
                    ++activations;
                if (message->window == rail && message->type == restack && message->data.data32[0] == 2)
                    ++pagerRaises;
            }
            std::free(event);
        }
    };
    drain();
    for (int i = 0; i < 2; ++i) {
        display.movePointer({1439, 450});
        ASSERT_TRUE(waitForRail(rail, {999, 110, 441, 680}, true));
        display.movePointer({300, 150});
        ASSERT_TRUE(waitForRail(rail, kParkedRight, false));
    }
    drain();
    EXPECT_EQ(activations, 0);
    // Where the window manager takes restacks from pagers (xfwm4 does not
    // say it does, and the rail restacks itself plainly there).
    const std::vector<std::uint32_t> supported = display.property(display.root(), "_NET_SUPPORTED", XCB_ATOM_ATOM);
    if (std::find(supported.begin(), supported.end(), restack) != supported.end()) {
        EXPECT_GE(pagerRaises, 2) << "each reveal brings the rail up";
    }
    EXPECT_EQ(active(), window) << "the user's window keeps the keyboard";
}

// At 1.5, 18 points are 27 device pixels and 441 are 661.5: the window
// manager's answer, whatever size it gives, ends the wait, and the rail
// asks for none it would round a pixel short of the screen's last column.
TEST_F(RailWindowTest, AtAFractionalScaleTheRailReachesTheLastColumnParkedAndOpened)
{
    writeDefaults({});
    programs.push_back(std::make_unique<QProcess>());
    QProcessEnvironment environment = display.environment();
    environment.insert(u"QT_SCALE_FACTOR"_s, u"1.5"_s);
    programs.back()->setProcessEnvironment(environment);
    programs.back()->setProcessChannelMode(QProcess::ForwardedChannels);
    programs.back()->start(QStringLiteral(KOLU_EXECUTABLE));
    ASSERT_TRUE(programs.back()->waitForStarted(10000));
    quint32 rail = 0;
    // The window holds the opened rail, 661 or 662 pixels wide, and ends at the last column.
    const auto windowAtEdge = [&] {
        const QRect window = display.geometry(rail);
        return window.right() == 1439 && window.width() >= 661 && window.width() <= 662;
    };
    const auto handleAtEdge = [&] {
        const QRect on = test::railOnScreen(display, rail);
        return on.right() == 1439 && on.width() == 27;
    };
    const auto opened = [&] { return test::railOnScreen(display, rail).width() > 27; };
    ASSERT_TRUE(test::waitUntil(
        [&] {
            rail = display.findWindow(kRailName);
            return rail && windowAtEdge() && handleAtEdge();
        },
        std::chrono::seconds(60)))
        << "parked at " << where(rail);
    for (int i = 0; i < 2; ++i) {
        display.movePointer({1439, 450});
        ASSERT_TRUE(test::waitUntil([&] { return opened() && windowAtEdge(); })) << "opened at " << where(rail);
        display.movePointer({300, 150});
        ASSERT_TRUE(test::waitUntil([&] { return handleAtEdge() && windowAtEdge(); })) << "parked at " << where(rail);
    }
}

TEST_F(RailWindowTest, CompositorsAreAskedForNoShadowOnTheRailAndOnItsFrame)
{
    const quint32 rail = launchRail();
    ASSERT_NE(rail, 0u);
    xcb_connection_t *c = display.connection();
    xcb_intern_atom_reply_t *name = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 15, "_COMPTON_SHADOW"), nullptr);
    ASSERT_TRUE(name);
    const xcb_atom_t shadow = name->atom;
    std::free(name);
    const auto noShadow = [&](xcb_window_t window) {
        xcb_get_property_reply_t *reply =
            xcb_get_property_reply(c, xcb_get_property(c, 0, window, shadow, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        const bool zero = reply && xcb_get_property_value_length(reply) == 4
                          && *static_cast<const std::uint32_t *>(xcb_get_property_value(reply)) == 0;
        std::free(reply);
        return zero;
    };
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, rail), nullptr);
    ASSERT_TRUE(tree);
    const xcb_window_t frame = tree->parent != tree->root ? tree->parent : xcb_window_t(XCB_WINDOW_NONE);
    std::free(tree);
    EXPECT_TRUE(noShadow(rail));
    // picom reads the hint from the frame the window manager made.
    ASSERT_NE(frame, xcb_window_t(XCB_WINDOW_NONE)) << "openbox frames its docks";
    EXPECT_TRUE(test::waitUntil([&] { return noShadow(frame); }));
}

TEST_F(RailWindowTest, ASecondLaunchLeavesAndQuittingOrLosingTheDisplaySavesTheFocusTimer)
{
    // Nothing saved the focus timer yet: only the way out can write it.
    for (const bool displayGoes : {false, true}) {
        SCOPED_TRACE(displayGoes ? "display lost" : "quit signal");
        writeDefaults({});
        QProcess &program = launch();
        ASSERT_TRUE(test::waitUntil([this] { return display.findWindow(kRailName) != 0; }));
        // The rail comes up without the media stack: it loads on first use.
        QFile maps(u"/proc/%1/maps"_s.arg(program.processId()));
        ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        for (const char *library : {"libkolu-media", "libQt6Multimedia", "libpulse", "libgst"})
            EXPECT_FALSE(mapped.contains(library)) << library;
        // A second copy leaves at once and the first one stays.
        QProcess &second = launch();
        ASSERT_TRUE(second.waitForFinished(10000));
        EXPECT_TRUE(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
        EXPECT_EQ(program.state(), QProcess::Running);
        EXPECT_EQ(display.findWindows(kRailName).size(), 1);
        const PersistedFiles files(LocalStore(home.dataHome()).directory());
        ASSERT_FALSE(QFile::exists(files.pathOf<PomodoroFile>()));
        if (displayGoes)
            ASSERT_TRUE(display.stopServer());
        else
            ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_TRUE(files.read<PomodoroFile>().has_value());
        QFile::remove(files.pathOf<PomodoroFile>());
    }
}

TEST_F(RailWindowTest, CollapsedSideRailShowsAndTakesOnlyItsHandleAndFollowsTheCompositor)
{
    // A window of the test's own in a colour of its own, under the rail.
    constexpr quint32 kGreen = 0x00FF00;
    const xcb_window_t below = windowBelow({1200, 0, 240, 900}, kGreen);
    // At rest the window is cut to what it draws, with a compositor as without one: compositors
    // blur what lies behind a window's shape, and draw no square shadow around a shaped one. The
    // desktop shows and takes the pointer beside the handle, as the compositor comes and goes.
    QProcess compositor;
    const auto stopCompositor = [&] {
        compositor.terminate();
        compositor.waitForFinished(5000);
        return test::waitUntil([this] { return !display.compositorRuns(); });
    };
    const auto desktopBesideTheHandle = [&] {
        return test::waitUntil([&] { return pixel({1430, 200}) == kGreen && pixel({1430, 450}) != kGreen; });
    };
    if (display.compositorRuns())
        GTEST_SKIP() << "the window manager composites by itself: compositing cannot come and go";
    if (!display.startCompositor(compositor))
        KOLU_SKIP_OR_FAIL_UNDER_CI("picom did not start");
    const quint32 rail = launchRail();
    ASSERT_NE(rail, 0u);
    for (const bool composited : {true, false, true}) {
        SCOPED_TRACE(composited ? "composited" : "not composited");
        ASSERT_TRUE(composited ? compositor.state() != QProcess::NotRunning || display.startCompositor(compositor)
                               : stopCompositor());
        EXPECT_TRUE(test::waitUntil([&] { return shapeOf(rail) == Shape::cut; }));
        EXPECT_TRUE(desktopBesideTheHandle());
        display.movePointer({1430, 200});
        EXPECT_TRUE(test::waitUntil([&] { return display.windowUnderPointer() == below; }));
    }
    // Launched with nothing compositing, it is cut from the start.
    ASSERT_TRUE(quitAll());
    ASSERT_TRUE(stopCompositor());
    const quint32 again = launchRail();
    EXPECT_TRUE(test::waitUntil([&] { return shapeOf(again) == Shape::cut; }));
    EXPECT_TRUE(desktopBesideTheHandle());
}

TEST_F(RailWindowTest, FirstRunOpensTheOnboardingInFrontOnceTheRailIsUp)
{
    // No defaults file at all: a fresh configuration.
    launch();
    quint32 welcome = 0;
    ASSERT_TRUE(test::waitUntil([&] { return (welcome = display.findWindow(u"^Welcome to Kolu$"_s)) != 0; },
                                std::chrono::seconds(60)));
    EXPECT_NE(display.findWindow(kRailName), 0u);
    // Named before the window manager has placed it: its size follows.
    EXPECT_TRUE(test::waitUntil([&] { return display.geometry(welcome).size() == QSize(520, 520); }))
        << display.geometry(welcome).width() << "x" << display.geometry(welcome).height();
    // Its whole frame, the manager's decorations too, is centred on the work
    // area once the manager has told the decorations.
    const auto offCentre = [&] {
        const QRect client = display.geometry(welcome);
        const std::vector<std::uint32_t> e = display.property(welcome, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
        const std::vector<std::uint32_t> a = display.property(display.root(), "_NET_WORKAREA", XCB_ATOM_CARDINAL);
        if (client.isEmpty())
            return QPoint(1000, 1000);
        const QRect frame = e.size() == 4 ? client.adjusted(-int(e[0]), -int(e[2]), int(e[1]), int(e[3])) : client;
        const QRect work = a.size() >= 4 ? QRect(int(a[0]), int(a[1]), int(a[2]), int(a[3])) : QRect(0, 0, 1440, 900);
        // Twice the centres, to keep the halves.
        return (frame.topLeft() + frame.bottomRight() + QPoint(1, 1))
               - (work.topLeft() + work.bottomRight() + QPoint(1, 1));
    };
    QPoint off;
    EXPECT_TRUE(test::waitUntil([&] {
        off = offCentre();
        return std::abs(off.x()) <= 4 && std::abs(off.y()) <= 4;
    })) << "frame centre off by "
        << off.x() / 2.0 << ", " << off.y() / 2.0;
    EXPECT_TRUE(test::waitUntil([&] { return active() == welcome; }));
}
