#include "platform/desktop/SystemDesktopPicture.h"

#include "AwaitTask.h"
#include "PrivateBus.h"
#include "RecordingProcessRunner.h"

#include <QGuiApplication>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const QString kImage = u"/home/me/Pictures/sea.png"_s;
const QString kImageUrl = u"file:///home/me/Pictures/sea.png"_s;

// Plasma's scripting object, as far as the setter uses it.
class FakePlasmaShell : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.PlasmaShell")
public:
    QStringList scripts;

public Q_SLOTS:
    QString evaluateScript(const QString &script)
    {
        scripts.append(script);
        return {};
    }
};

using test::exited;

class DesktopPictureChain : public ::testing::Test {
protected:
    DesktopPictureResult set(const QString &desktop, DisplayTarget target, const QString &display = u":0"_s)
    {
        SystemDesktopPicture setter(runner, QDBusConnection(u"none"_s), SessionEnvironment{desktop, {}, display},
                                    [this] { return layout; });
        return test::awaitTask(setter.setPicture(kImage, target));
    }

    // The kind and sentence of the error setting the picture fails with.
    std::optional<std::pair<DesktopPictureError::Kind, QString>> failure(const QString &desktop,
                                                                         const QString &display = u":0"_s)
    {
        try {
            set(desktop, DisplayTarget::allDisplays, display);
        } catch (const DesktopPictureError &error) {
            return std::pair(error.kind(), error.description());
        }
        return std::nullopt;
    }

    // The xfconf property each call since the `from`th names (empty for the listing).
    QStringList xfconfProperties(qsizetype from = 0) const
    {
        QStringList properties;
        for (const QStringList &call : runner.commandLines(from))
            properties << call.value(4);
        return properties;
    }

    test::RecordingProcessRunner runner;
    DisplayLayout layout{{u"DP-1"_s, u"HDMI-1"_s}, u"HDMI-1"_s};
};

} // namespace

TEST(DesktopDetection, ReadsTheCurrentDesktopThenTheSession)
{
    // Each desktop's own name is covered by its setter chain below.
    EXPECT_EQ(detectDesktop({u"i3"_s, u"xfce"_s, {}}), DesktopKind::xfce);
    EXPECT_EQ(detectDesktop({{}, u"/usr/share/xsessions/plasma"_s, {}}), DesktopKind::plasma);
    EXPECT_EQ(detectDesktop({u"i3"_s, u"i3"_s, u":0"_s}), DesktopKind::other);
}

TEST(DesktopPictureQuoting, PathsCannotBreakOutOfTheirLiterals)
{
    EXPECT_EQ(gvariantStringLiteral(u"it's a \\ test\n"_s), u"'it\\'s a \\\\ test\\n'"_s);
    EXPECT_EQ(javaScriptStringLiteral(u"a\"b\\c\nd"_s + QChar(0x2028)), u"\"a\\\"b\\\\c\\nd\\u2028\""_s);

    const QString script = plasmaWallpaperScript(u"file:///x/\"); evil(); (\""_s, DisplayTarget::allDisplays);
    EXPECT_TRUE(script.contains(u"var image = \"file:///x/\\\"); evil(); (\\\"\";"_s)) << script.toStdString();
    EXPECT_TRUE(script.contains(u"var mainOnly = false;"_s));
}

TEST_F(DesktopPictureChain, GnomeSetsBothStylesAndCoversEveryDisplay)
{
    const DesktopPictureResult result = set(u"ubuntu:GNOME"_s, DisplayTarget::mainDisplay);
    const auto gsettings = [](const QString &key, const QString &value) {
        return QStringList{u"/usr/bin/gsettings"_s, u"set"_s, u"org.gnome.desktop.background"_s, key, value};
    };
    const QString value = u"'"_s + kImageUrl + u"'"_s;
    EXPECT_EQ(runner.commandLines(),
              (QList<QStringList>{gsettings(u"picture-uri"_s, value), gsettings(u"picture-uri-dark"_s, value),
                                  gsettings(u"picture-options"_s, u"'zoom'"_s)}));
    EXPECT_TRUE(result.setOnEveryDisplayInstead);
    EXPECT_FALSE(set(u"GNOME"_s, DisplayTarget::allDisplays).setOnEveryDisplayInstead);
}

TEST_F(DesktopPictureChain, GnomeWithoutTheDarkKeyStillSucceedsButAFailedPictureKeyFails)
{
    runner.setResponder([](const test::RecordedProcess &call) {
        return call.arguments.value(2) == u"picture-uri-dark"_s ? exited(1, {}, "No such key") : exited(0);
    });
    EXPECT_NO_THROW(set(u"GNOME"_s, DisplayTarget::allDisplays));

    runner.setResponder([](const test::RecordedProcess &) { return exited(1, {}, "No such schema\n"); });
    EXPECT_EQ(failure(u"GNOME"_s),
              std::pair(DesktopPictureError::Kind::failed,
                        u"Kolu could not set the desktop picture with gsettings. Try another picture."_s));
}

TEST_F(DesktopPictureChain, CinnamonAndMateUseTheirOwnSchemas)
{
    set(u"X-Cinnamon"_s, DisplayTarget::allDisplays);
    EXPECT_EQ(runner.runs().front().arguments, (QStringList{u"set"_s, u"org.cinnamon.desktop.background"_s,
                                                            u"picture-uri"_s, u"'"_s + kImageUrl + u"'"_s}));
    EXPECT_EQ(runner.runs().size(), 2); // no dark variant

    set(u"MATE"_s, DisplayTarget::allDisplays);
    EXPECT_EQ(runner.runs().at(2).arguments,
              (QStringList{u"set"_s, u"org.mate.background"_s, u"picture-filename"_s, u"'"_s + kImage + u"'"_s}));
}

TEST_F(DesktopPictureChain, XfceSetsEachBackdropOfTheChosenMonitors)
{
    runner.respond(u"/usr/bin/xfconf-query"_s, exited(0, "/backdrop/screen0/monitorDP-1/workspace0/last-image\n"
                                                         "/backdrop/screen0/monitorDP-1/workspace0/image-style\n"
                                                         "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                                                         "/backdrop/screen0/monitorHDMI-1/workspace1/last-image\n"
                                                         "/backdrop/single-workspace-mode\n"));
    const DesktopPictureResult main = set(u"XFCE"_s, DisplayTarget::mainDisplay);
    EXPECT_FALSE(main.setOnEveryDisplayInstead);
    const QString xfconf = u"/usr/bin/xfconf-query"_s, desktop = u"xfce4-desktop"_s;
    const QString hdmi0 = u"/backdrop/screen0/monitorHDMI-1/workspace0/"_s;
    const QString hdmi1 = u"/backdrop/screen0/monitorHDMI-1/workspace1/"_s;
    const QList<QStringList> calls = runner.commandLines();
    ASSERT_EQ(calls.size(), 5);
    EXPECT_EQ(calls[0], (QStringList{xfconf, u"-c"_s, desktop, u"-l"_s}));
    EXPECT_EQ(calls[1], (QStringList{xfconf, u"-c"_s, desktop, u"-p"_s, hdmi0 + u"last-image"_s, u"-n"_s, u"-t"_s,
                                     u"string"_s, u"-s"_s, kImage}));
    EXPECT_EQ(calls[2].mid(5), (QStringList{u"-n"_s, u"-t"_s, u"int"_s, u"-s"_s, u"5"_s}));
    EXPECT_EQ(
        xfconfProperties(),
        (QStringList{
            {}, hdmi0 + u"last-image"_s, hdmi0 + u"image-style"_s, hdmi1 + u"last-image"_s, hdmi1 + u"image-style"_s}));

    // Every display: each of the three backdrops with its style.
    set(u"XFCE"_s, DisplayTarget::allDisplays);
    const QString dp0 = u"/backdrop/screen0/monitorDP-1/workspace0/"_s;
    EXPECT_EQ(xfconfProperties(5), (QStringList{{},
                                                dp0 + u"last-image"_s,
                                                dp0 + u"image-style"_s,
                                                hdmi0 + u"last-image"_s,
                                                hdmi0 + u"image-style"_s,
                                                hdmi1 + u"last-image"_s,
                                                hdmi1 + u"image-style"_s}));
}

TEST_F(DesktopPictureChain, XfceMatchesNumberedMonitorsFallsBackToAllAndFillsAFreshSetup)
{
    runner.respond(u"/usr/bin/xfconf-query"_s, exited(0, "/backdrop/screen0/monitor0/workspace0/last-image\n"
                                                         "/backdrop/screen0/monitor1/workspace0/last-image\n"));
    EXPECT_FALSE(set(u"XFCE"_s, DisplayTarget::mainDisplay).setOnEveryDisplayInstead);
    EXPECT_EQ(runner.runs().at(1).arguments.at(3), u"/backdrop/screen0/monitor1/workspace0/last-image"_s);

    layout.primary.clear();
    const qsizetype before = runner.runs().size();
    EXPECT_TRUE(set(u"XFCE"_s, DisplayTarget::mainDisplay).setOnEveryDisplayInstead);
    EXPECT_EQ(runner.runs().size() - before, 5); // listing, then two backdrops with their style

    // A fresh desktop lists no backdrop yet: one is made per display.
    runner.respond(u"/usr/bin/xfconf-query"_s, exited(0, "/backdrop/single-workspace-mode\n"));
    set(u"XFCE"_s, DisplayTarget::allDisplays);
    const QStringList properties = xfconfProperties(before + 5);
    EXPECT_TRUE(properties.contains(u"/backdrop/screen0/monitorDP-1/workspace0/last-image"_s));
    EXPECT_TRUE(properties.contains(u"/backdrop/screen0/monitorHDMI-1/workspace0/last-image"_s));
}

TEST_F(DesktopPictureChain, PlainX11UsesXwallpaperThenFeh)
{
    DesktopPictureResult result = set(u"i3"_s, DisplayTarget::mainDisplay);
    EXPECT_FALSE(result.setOnEveryDisplayInstead);
    EXPECT_EQ(runner.commandLines().back(),
              (QStringList{u"/usr/bin/xwallpaper"_s, u"--output"_s, u"HDMI-1"_s, u"--zoom"_s, kImage}));
    set(u"i3"_s, DisplayTarget::allDisplays);
    EXPECT_EQ(runner.commandLines().back(), (QStringList{u"/usr/bin/xwallpaper"_s, u"--zoom"_s, kImage}));

    layout.primary.clear();
    EXPECT_TRUE(set(u"i3"_s, DisplayTarget::mainDisplay).setOnEveryDisplayInstead);
    EXPECT_EQ(runner.commandLines().back(), (QStringList{u"/usr/bin/xwallpaper"_s, u"--zoom"_s, kImage}));

    runner.setMissing({u"xwallpaper"_s});
    EXPECT_TRUE(set(u"i3"_s, DisplayTarget::mainDisplay).setOnEveryDisplayInstead);
    EXPECT_EQ(runner.commandLines().back(), (QStringList{u"/usr/bin/feh"_s, u"--no-fehbg"_s, u"--bg-fill"_s, kImage}));

    // A known desktop whose own tool is missing falls back the same way.
    runner.setMissing({u"gsettings"_s, u"xwallpaper"_s});
    set(u"GNOME"_s, DisplayTarget::allDisplays);
    EXPECT_EQ(runner.runs().back().program, u"/usr/bin/feh"_s);
}

TEST_F(DesktopPictureChain, WithoutAToolOrADisplayItSaysWhy)
{
    runner.setMissing({u"xwallpaper"_s, u"feh"_s});
    EXPECT_EQ(failure(u"i3"_s), std::pair(DesktopPictureError::Kind::noSetter,
                                          u"Setting the desktop picture here needs xwallpaper or feh."_s));
    EXPECT_EQ(failure(u"i3"_s, {}), std::pair(DesktopPictureError::Kind::noDisplay, u"No X11 display is available."_s));

    runner.setMissing({});
    runner.respond(u"/usr/bin/xwallpaper"_s, exited(1));
    const auto toolFailure =
        std::pair(DesktopPictureError::Kind::failed,
                  u"Kolu could not set the desktop picture with xwallpaper. Try another picture."_s);
    EXPECT_EQ(failure(u"i3"_s), toolFailure);
    // The tool's own words (lower case, its jargon) stay in the log.
    runner.respond(u"/usr/bin/xwallpaper"_s, exited(1, {}, "xwallpaper: unable to open display"));
    EXPECT_EQ(failure(u"i3"_s), toolFailure);
}

TEST(PlasmaDesktopPicture, RunsTheScriptOverDBus)
{
    test::PrivateBus bus;
    QDBusConnection shellSide = bus.connect(u"plasmashell"_s);
    FakePlasmaShell shell;
    ASSERT_TRUE(shellSide.registerObject(u"/PlasmaShell"_s, &shell, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(shellSide.registerService(u"org.kde.plasmashell"_s));

    test::RecordingProcessRunner runner;
    SystemDesktopPicture setter(runner, bus.connect(u"kolu"_s), {u"KDE"_s, {}, u":0"_s}, [] {
        return DisplayLayout{{u"DP-1"_s, u"DP-2"_s}, u"DP-1"_s};
    });
    const DesktopPictureResult result = test::awaitTask(setter.setPicture(kImage, DisplayTarget::mainDisplay));
    EXPECT_FALSE(result.setOnEveryDisplayInstead);
    ASSERT_EQ(shell.scripts.size(), 1);
    EXPECT_EQ(shell.scripts.front(), plasmaWallpaperScript(kImageUrl, DisplayTarget::mainDisplay));
    EXPECT_TRUE(shell.scripts.front().contains(u"var mainOnly = true;"_s));
    EXPECT_TRUE(runner.runs().isEmpty());

    ASSERT_TRUE(shellSide.unregisterService(u"org.kde.plasmashell"_s));
    EXPECT_THROW(test::awaitTask(setter.setPicture(kImage, DisplayTarget::allDisplays)), DesktopPictureError);
}

// Sets the picture for real on the X server the tests run on and reads the
// root window back.
TEST(XwallpaperOnX11, PaintsTheRootWindow)
{
    SystemProcessRunner runner;
    const SessionEnvironment environment{{}, {}, qEnvironmentVariable("DISPLAY")};
    if (environment.x11Display.isEmpty() || QGuiApplication::platformName() != u"xcb"_s)
        GTEST_SKIP() << "needs an X11 display (run under xvfb-run)";
    if (runner.findExecutable(u"xwallpaper"_s).isEmpty())
        GTEST_SKIP() << "xwallpaper is not installed (scripts/setup.sh installs it)";

    QTemporaryDir dir;
    SystemDesktopPicture setter(runner, QDBusConnection(u"none"_s), environment);
    ASSERT_FALSE(setter.displays().isEmpty());
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPoint middle = screen->geometry().center();

    for (const auto &[colour, target] : {std::pair{QColor(Qt::red), DisplayTarget::allDisplays},
                                         std::pair{QColor(Qt::blue), DisplayTarget::mainDisplay}}) {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(colour.name().mid(1) + u".png"_s);
        ASSERT_TRUE(image.save(path));

        test::awaitTask(setter.setPicture(path, target));
        const QImage root = screen->grabWindow(0).toImage();
        ASSERT_FALSE(root.isNull());
        EXPECT_EQ(root.pixelColor(middle - screen->geometry().topLeft()).name(), colour.name());
    }
}

#include "SystemDesktopPicture_test.moc"
