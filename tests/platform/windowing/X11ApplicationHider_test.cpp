#include "platform/windowing/X11ApplicationHider.h"

#include "EventWait.h"
#include "PrivateDisplay.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const char kChildWindowsVariable[] = "KOLU_TEST_CHILD_WINDOWS";

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

using test::PrivateDisplay;
using test::waitUntil;

// Another program with a few top-level windows: this test executable run
// again in its child mode (see X11WindowChild below).
class WindowClient {
public:
    WindowClient(const PrivateDisplay &display, const QString &types)
    {
        QProcessEnvironment env = display.environment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(QString::fromLatin1(kChildWindowsVariable), types);
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QCoreApplication::applicationFilePath(),
                        {u"--gtest_filter=X11WindowChild.OpensTheRequestedWindows"_s});
        // gtest prints its own lines first; ours is the one marked.
        QByteArray line;
        while (!line.startsWith("windows:")) {
            if (!waitUntil([this] { return m_process.canReadLine() || m_process.state() == QProcess::NotRunning; })
                || !m_process.canReadLine())
                return;
            line = m_process.readLine().trimmed();
        }
        for (const QByteArray &id : line.mid(8).split(','))
            if (!id.isEmpty())
                windows.push_back(id.toUInt());
    }

    ~WindowClient()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    qint64 pid() const { return m_process.processId(); }

    std::vector<uint32_t> windows;

private:
    QProcess m_process;
};

bool listsAll(const std::vector<uint32_t> &list, const std::vector<uint32_t> &windows)
{
    return std::all_of(windows.begin(), windows.end(),
                       [&](uint32_t w) { return std::find(list.begin(), list.end(), w) != list.end(); });
}

} // namespace

// The child mode: opens one top-level window per requested type, tells the
// parent their ids, then waits to be ended.
TEST(X11WindowChild, OpensTheRequestedWindows)
{
    const QByteArray types = qgetenv(kChildWindowsVariable);
    if (types.isEmpty())
        GTEST_SKIP() << "runs only as another test's child process";
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(c), 0);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_atom_t pidAtom = internAtom(c, "_NET_WM_PID");
    const xcb_atom_t typeAtom = internAtom(c, "_NET_WM_WINDOW_TYPE");
    std::string ids;
    for (const QByteArray &type : types.split(',')) {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 10, 10, 120, 80, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        const uint32_t pid = static_cast<uint32_t>(QCoreApplication::applicationPid());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, pidAtom, XCB_ATOM_CARDINAL, 32, 1, &pid);
        const xcb_atom_t windowType = internAtom(c, QByteArray("_NET_WM_WINDOW_TYPE_" + type.toUpper()).constData());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, typeAtom, XCB_ATOM_ATOM, 32, 1, &windowType);
        xcb_map_window(c, window);
        ids += std::to_string(window) + ",";
    }
    xcb_flush(c);
    std::cout << "windows:" << ids << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    xcb_disconnect(c);
}

TEST(X11ApplicationHider, NoDisplayAndNoWindowManagerMeanNotOffered)
{
    X11ApplicationHider unreachable("unreachable.invalid:93");
    EXPECT_FALSE(unreachable.isConnected());
    EXPECT_FALSE(unreachable.isAvailable());
    EXPECT_EQ(unreachable.hideOtherApplications(), 0);

    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning());
    X11ApplicationHider bare(display.name());
    EXPECT_TRUE(bare.isConnected());
    EXPECT_FALSE(bare.isAvailable()) << "without a window manager there is no client list";
    EXPECT_EQ(bare.hideOtherApplications(), 0);
}

TEST(X11ApplicationHider, HidesNormalWindowsOfOtherProcessesAndCountsApplications)
{
    PrivateDisplay display;
    ASSERT_TRUE(display.isRunning());
    ASSERT_TRUE(display.startWindowManager());
    X11ApplicationHider probe(display.name());
    ASSERT_TRUE(waitUntil([&] { return probe.isAvailable(); })) << "the window manager did not come up";

    WindowClient other(display, u"normal,normal,dock,desktop"_s);
    WindowClient own(display, u"normal,normal"_s);
    WindowClient third(display, u"normal"_s);
    ASSERT_EQ(other.windows.size(), 4u);
    ASSERT_EQ(own.windows.size(), 2u);
    ASSERT_EQ(third.windows.size(), 1u);
    std::vector<uint32_t> all = other.windows;
    for (const WindowClient *client : {&own, &third})
        all.insert(all.end(), client->windows.begin(), client->windows.end());
    ASSERT_TRUE(waitUntil([&] { return listsAll(display.clientList(), all); })) << "windows were not managed";

    // `own` stands for Kolu: its process is the one never hidden.
    X11ApplicationHider hider(display.name(), own.pid());
    EXPECT_EQ(hider.hideOtherApplications(), 2) << "two applications, three windows";

    const std::vector<uint32_t> hidden{other.windows[0], other.windows[1], third.windows[0]};
    EXPECT_TRUE(waitUntil([&] {
        return std::all_of(hidden.begin(), hidden.end(), [&](uint32_t w) { return display.isIconic(w); });
    }));
    // Neither a dock, nor a desktop, nor Kolu's own windows.
    for (const uint32_t kept : {other.windows[2], other.windows[3], own.windows[0], own.windows[1]})
        EXPECT_FALSE(display.isIconic(kept)) << kept;

    EXPECT_EQ(hider.hideOtherApplications(), 0) << "hidden windows are neither hidden again nor counted";
}
