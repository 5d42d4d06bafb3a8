// Kolu's entry point: one instance per user, the rail at its screen edge, the
// status item, and the state saved on the way out.
#include "model/BuildInfo.h"
#include "model/Clock.h"
#include "model/PrivateFiles.h"
#include "model/UserDefaults.h"
#include "platform/desktop/FolderPicker.h"
#include "platform/system/QuitSignals.h"
#include "platform/x11/Compositor.h"
#include "shell/ApplicationDelegate.h"
#include "shell/DialogFolderPicker.h"
#include "shell/DuplicateInstances.h"
#include "shell/FirstFrameReport.h"
#include "shell/SingleInstanceLock.h"
#include "state/AppState.h"
#include "shell/StatusItem.h"
#include "settings/SettingsView.h"
#include "shell/rail/RailView.h"
#include "settings/onboarding/OnboardingView.h"
#include "state/AppServices.h"
#include "style/InterfaceFamily.h"
#include "style/MenuLook.h"
#include "style/OrlixStyle.h"
#include "style/SystemColorScheme.h"

#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QTextStream>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPoolThreadExpiryMs = 5000;

// The rail needs what only X11 offers (the global pointer, placing and
// stacking its own window), so on a Wayland session it runs through
// XWayland unless the user picked a platform.
void preferX11(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return;
    qputenv("QT_QPA_PLATFORM", "xcb");
}

// The value given with Qt's `option` ("-option value", "-option=value", or
// the same with two dashes, as Qt reads them), or null.
const char *argumentOf(int argc, char **argv, const char *option)
{
    const std::size_t length = std::strlen(option);
    for (int i = 1; i < argc; ++i) {
        const char *argument = std::strncmp(argv[i], "--", 2) == 0 ? argv[i] + 1 : argv[i];
        if (std::strcmp(argument, option) == 0)
            return i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strncmp(argument, option, length) == 0 && argument[length] == '=')
            return argument + length + 1;
    }
    return nullptr;
}

// Qt's X11 platform aborts with a message of several lines and a core dump
// when no X server answers; Kolu says why in one line instead, whatever the
// display's name. Only for that platform: another one chosen is Qt's to
// report. Qt's own connection is the test, so a launch opens no other: its
// refusal is caught as Qt reports it, and the abort that follows becomes
// that one line and exit status 1.
const char *const kDisplayLead = "Kolu needs an X11 display (or XWayland on a Wayland session): ";
QByteArray missingDisplayName;
bool displayRefused = false;
QtMessageHandler qtMessages = nullptr;

void reportMissingDisplay(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!displayRefused && type == QtWarningMsg && qstrcmp(context.category, "qt.qpa.xcb") == 0
        && message.startsWith(u"could not connect to display"))
        displayRefused = true;
    if (!displayRefused) {
        qtMessages(type, context, message);
        return;
    }
    // What Qt says after the refusal (which plugin it tried, the abort) is
    // all said by the one line.
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%sno X server answers on %s.\n", kDisplayLead, missingDisplayName.constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
}

bool watchForMissingDisplay(int argc, char **argv)
{
    const char *chosen = argumentOf(argc, argv, "-platform");
    const QByteArray platform = chosen ? QByteArray(chosen) : qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "xcb" && !platform.startsWith("xcb:"))
        return true;
    const char *argument = argumentOf(argc, argv, "-display");
    missingDisplayName = argument ? QByteArray(argument) : qgetenv("DISPLAY");
    // The same words as scripts/run.sh, which checks a local display before it builds.
    if (missingDisplayName.isEmpty()) {
        std::fprintf(stderr, "%sDISPLAY is not set.\n", kDisplayLead);
        return false;
    }
    qtMessages = qInstallMessageHandler(reportMissingDisplay);
    return true;
}

void stopWatchingForMissingDisplay()
{
    if (qtMessages)
        qInstallMessageHandler(qtMessages);
    qtMessages = nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    // Before anything is shown: a second copy leaves at once, with one line
    // saying why, and a success status (the user's Kolu is there).
    kolu::SingleInstanceLock lock;
    const kolu::SingleInstanceLock::Outcome locked = lock.acquire();
    if (locked == kolu::SingleInstanceLock::Outcome::heldElsewhere) {
        std::fputs("Kolu is already running.\n", stderr);
        return 0;
    }
    // A planted lock could hide a running copy: one that keeps the same
    // files is never started unguarded beside it.
    if (locked == kolu::SingleInstanceLock::Outcome::refused) {
        std::fprintf(stderr, "Kolu did not start: %s. Remove it and start Kolu again.\n",
                     qUtf8Printable(lock.refusal()));
        return 1;
    }

    preferX11(argc, argv);
    if (!watchForMissingDisplay(argc, argv))
        return 1;
    QApplication app(argc, argv);
    stopWatchingForMissingDisplay();
    QApplication::setApplicationName(QString::fromLatin1(kolu::buildinfo::kApplicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(kolu::buildinfo::kFullVersion));
    QApplication::setDesktopFileName(u"kolu"_s);
    QApplication::setQuitOnLastWindowClosed(false);
    // The session bus is joined on a worker (a connection, its handshake and
    // the bus's greeting) while the launch goes on; the first use on the
    // main thread waits only for what is left of it.
    (void)QtConcurrent::run([] { (void)QDBusConnection::sessionBus(); });
    QFuture<QString> interfaceFamily = kolu::lookUpInterfaceFamily();
    // Work goes to the pool in bursts (the launch, a card opening, a copy):
    // its threads end a few seconds after one, each with its stack, rather
    // than half a minute after.
    QThreadPool::globalInstance()->setExpiryTimeout(kPoolThreadExpiryMs);
    // Only the copy that runs tidies the cache, and never in the way of the
    // first frame, whatever the cache holds.
    (void)QtConcurrent::run(&kolu::narrowCacheFolder);

    // A quit signal during the launch is answered as soon as the event loop
    // runs, through the same saving path.
    kolu::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &kolu::QuitSignals::quitRequested, &app, &QApplication::quit);

    kolu::Clock &clock = kolu::SystemClock::instance();
    kolu::DuplicateInstanceCloser duplicates(clock);
    duplicates.closeAllInBackground();

    kolu::ShellParts parts;
    // Asked again at each layout of the rail: a compositor may come or go.
    std::shared_ptr<kolu::Compositor> compositor = kolu::createSystemCompositor();
    parts.isCompositing = [compositor] { return compositor->isCompositing(); };
    parts.railContent = [](kolu::AppState &state, QWidget *parent) -> QWidget * {
        return new kolu::RailView(state, parent);
    };
    parts.settingsWindow = [](kolu::ApplicationDelegate &owner) -> QWidget * {
        return new kolu::SettingsView(owner.state(), owner.updateController());
    };
    parts.onboardingWindow = [](kolu::ApplicationDelegate &, std::function<void()> finish) -> QWidget * {
        return new kolu::OnboardingView(std::move(finish));
    };
    // Drawn from a vector picture for every window: the rail's first frame
    // does without it, and the window takes it when it comes.
    parts.afterFirstFrame = [] { QApplication::setWindowIcon(kolu::StatusItem::applicationIcon()); };
    kolu::UserDefaults defaults;
    // The one style every view draws in; it follows the stored theme and the
    // desktop's light or dark preference.
    kolu::SystemColorScheme systemScheme;
    kolu::OrlixStyle style(defaults, &systemScheme);
    // Menus and drop-down lists in the same look; their corners round only
    // where a compositor blends them.
    kolu::MenuLook::install().setCompositingProbe([compositor] { return compositor->isCompositing(); });
    kolu::ApplicationDelegate delegate(defaults, clock,
                                       kolu::AppServices::createDefault(defaults, clock,
                                                                        std::make_unique<kolu::DialogFolderPicker>(),
                                                                        [] { QApplication::beep(); }),
                                       std::move(parts));
    QObject::connect(&app, &QApplication::aboutToQuit, &delegate, &kolu::ApplicationDelegate::terminate);
    kolu::reportFirstFrame(u"Kolu Rail"_s);
    delegate.start();
    // The parked rail is made and draws no text; whatever comes next, from
    // the first event on, is laid out in the settled family.
    kolu::settleInterfaceFamily(std::move(interfaceFamily));
    // One line when the rail is up, for scripts that wait for the program.
    QTextStream(stdout) << "Kolu " << kolu::buildinfo::kFullVersion
                        << " is running. Data: " << delegate.state().store().directory() << Qt::endl;

    const int status = QApplication::exec();
    delegate.terminate();
    lock.release();
    return status;
}
