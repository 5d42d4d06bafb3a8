#include "ShellFixture.h"

#include "shell/StatusItem.h"
#include "shell/rules/StatusMenuRules.h"
#include "style/IconProvider.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace kolu;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

using StatusItemTest = test::ShellTest;

namespace {
// The contrast ratio of two sRGB colours, from their relative luminance.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &color) {
        const auto channel = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
    };
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

} // namespace

TEST(StatusIcon, ItsOutlineReadsOnBlackAndOnWhitePanels)
{
    // Trays draw at their own sizes; the icon's outline (its opaque pixels
    // next to transparent ones) must stand out from the panel at 3:1.
    for (const int size : {16, 22, 24, 32}) {
        const QImage icon =
            StatusItem::statusIcon().pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(icon.size(), QSize(size, size));
        const auto opaque = [&icon](int x, int y) {
            return x >= 0 && y >= 0 && x < icon.width() && y < icon.height() && qAlpha(icon.pixel(x, y)) >= 200;
        };
        for (const QColor panel : {QColor(Qt::black), QColor(Qt::white)}) {
            std::vector<double> ratios;
            for (int y = 0; y < icon.height(); ++y)
                for (int x = 0; x < icon.width(); ++x)
                    if (opaque(x, y) && !(opaque(x - 1, y) && opaque(x + 1, y) && opaque(x, y - 1) && opaque(x, y + 1)))
                        ratios.push_back(contrast(QColor::fromRgb(icon.pixel(x, y)), panel));
            ASSERT_FALSE(ratios.empty()) << size;
            std::sort(ratios.begin(), ratios.end());
            EXPECT_GE(ratios[ratios.size() / 2], 3.0) << size << " px on " << panel.name().toStdString();
        }
    }
}

TEST_F(StatusItemTest, NineCommandsInOrderWithIconsFollowTheRailsModules)
{
    // A later launch, which skips the onboarding.
    defaults.set(SettingsKey::hasCompletedOrlixOnboarding, true);
    bool onboardingMade = false;
    parts.onboardingWindow = [&onboardingMade](ApplicationDelegate &, std::function<void()>) {
        onboardingMade = true;
        return new QWidget;
    };
    launch();
    ASSERT_TRUE(test::waitUntil([this] { return delegate->statusItem() != nullptr; }));
    const StatusItem &item = *delegate->statusItem();
    EXPECT_EQ(item.trayIcon()->toolTip(), u"Kolu"_s);
    EXPECT_FALSE(item.trayIcon()->icon().isNull());
    QStringList texts;
    for (const QAction *action : item.menu()->actions())
        texts << (action->isSeparator() ? u"-"_s : action->text() + u'|' + action->shortcut().toString());
    EXPECT_EQ(texts, (QStringList{u"Show Kolu|Ctrl+Shift+D"_s, u"-"_s, u"Agenda|"_s, u"Capture|"_s, u"Now Playing|"_s,
                                  u"File Tray|"_s, u"Clipboard|"_s, u"-"_s, u"Settings...|Ctrl+,"_s,
                                  u"Check for Updates...|"_s, u"-"_s, u"Quit Kolu|Ctrl+Q"_s}));
    EXPECT_FALSE(StatusItem::applicationIcon().pixmap(64, 64).isNull());

    // Every command but the update check (no update feed is built in) is
    // enabled; every row with a symbol draws it, enabled and disabled.
    int withIcons = 0;
    for (const StatusMenuRow &row : statusmenu::rows()) {
        if (!row.command)
            continue;
        SCOPED_TRACE(row.title);
        const QAction *action = item.action(*row.command);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->isEnabled(), *row.command != StatusCommand::checkForUpdates);
        EXPECT_EQ(action->icon().isNull(), row.symbol == nullptr);
        if (!row.symbol)
            continue;
        EXPECT_TRUE(IconProvider::hasSymbol(QString::fromLatin1(row.symbol)));
        // A mask: the menu draws it in the row's own text colour, in every look.
        EXPECT_TRUE(action->icon().isMask());
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
            EXPECT_GT(test::inkedPixels(action->icon().pixmap(16, 16, mode).toImage()), 0) << int(mode);
        ++withIcons;
    }
    EXPECT_EQ(withIcons, 8);

    const auto enabled = [&item](StatusCommand command) { return item.action(command)->isEnabled(); };
    // Hiding the file tray disables its three commands together, at once.
    state().setRailModule(RailModule::fileTray, false);
    for (StatusCommand command :
         {StatusCommand::openCapture, StatusCommand::openFileTray, StatusCommand::openClipboard})
        EXPECT_FALSE(enabled(command)) << int(command);
    EXPECT_TRUE(enabled(StatusCommand::openAgenda));
    state().setRailModule(RailModule::calendar, false);
    state().setRailModule(RailModule::fileTray, true);
    Q_EMIT item.menu()->aboutToShow();
    EXPECT_FALSE(enabled(StatusCommand::openAgenda));
    EXPECT_TRUE(enabled(StatusCommand::openClipboard));
    // Triggering a menu entry runs its command.
    item.action(StatusCommand::openClipboard)->trigger();
    EXPECT_TRUE(state().isExpanded());
    EXPECT_EQ(state().selectedModule(), RailModule::fileTray);
    clock.advance(5s);
    EXPECT_FALSE(onboardingMade);
}

// The tray icon, its menu and what main puts off wait for the rail's first
// frame, and come once.
TEST_F(StatusItemTest, ComesAfterTheRailsFirstFrame)
{
    int deferredRuns = 0;
    bool itemFirst = false;
    parts.afterFirstFrame = [&] {
        ++deferredRuns;
        itemFirst = delegate->statusItem() != nullptr;
    };
    launch();
    EXPECT_EQ(delegate->statusItem(), nullptr) << "nothing before the frame";
    ASSERT_TRUE(test::waitUntil([this] { return delegate->statusItem() != nullptr; }));
    const QWindow *rail = panel().windowHandle();
    EXPECT_TRUE(rail && rail->isExposed());
    EXPECT_EQ(deferredRuns, 1);
    EXPECT_TRUE(itemFirst);
    EXPECT_TRUE(delegate->statusItem()->trayIcon()->isVisible());
    clock.advance(ApplicationDelegate::kStatusItemLatestDelay);
    EXPECT_EQ(deferredRuns, 1) << "once only";
}

// Keeps every expose of the window titled `title` from the rest of the
// program, as a window manager that never maps the window would.
class ExposeSwallower final : public QObject {
public:
    explicit ExposeSwallower(QString title)
        : m_title(std::move(title))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto *window = qobject_cast<QWindow *>(watched);
        return event->type() == QEvent::Expose && window && window->title() == m_title;
    }

private:
    QString m_title;
};

// A rail that is never shown gets its status item, its start-up refresh and
// its watch on the data folders all the same.
TEST_F(StatusItemTest, ComesTwoSecondsAfterALaunchThatShowsNoFrame)
{
    int deferredRuns = 0;
    parts.afterFirstFrame = [&deferredRuns] { ++deferredRuns; };
    launch();
    const ExposeSwallower noFrame(panel().windowTitle());
    clock.advance(ApplicationDelegate::kStatusItemLatestDelay - 1ms);
    EXPECT_EQ(delegate->statusItem(), nullptr);
    EXPECT_FALSE(state().isLoadingPrayers()) << "the start-up refresh waits for the frame";
    clock.advance(1ms);
    ASSERT_NE(delegate->statusItem(), nullptr);
    EXPECT_EQ(deferredRuns, 1);
    // Nor does what waited for the frame wait any longer.
    EXPECT_TRUE(state().isLoadingPrayers());
}

TEST_F(StatusItemTest, SettingsAndOnboardingOpenCentredOnceAndAreReused)
{
    int settingsMade = 0;
    parts.settingsWindow = [&settingsMade](ApplicationDelegate &) {
        ++settingsMade;
        auto *window = new QWidget;
        window->setFixedSize(860, 640);
        return window;
    };
    std::function<void()> finishOnboarding;
    parts.onboardingWindow = [&finishOnboarding](ApplicationDelegate &, std::function<void()> finish) {
        finishOnboarding = std::move(finish);
        auto *window = new QWidget;
        window->setFixedSize(520, 520);
        return window;
    };
    launch();
    // First launch: onboarding 0.7 s after the rail.
    clock.advance(699ms);
    EXPECT_EQ(delegate->onboardingWindow(), nullptr);
    clock.advance(1ms);
    delegate->runStatusCommand(StatusCommand::settings);
    QWidget *onboarding = delegate->onboardingWindow();
    QWidget *settings = delegate->settingsWindow();
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    const QPoint centre = (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry().center();
    for (QWidget *window : {onboarding, settings}) {
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_LE((window->frameGeometry().center() - centre).manhattanLength(), 4);
        const auto buttons = Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
        EXPECT_EQ(window->windowFlags() & buttons, Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        window->close();
    }
    // Asked for again: the same windows.
    state().requestOnboarding();
    state().requestSettings();
    EXPECT_EQ(delegate->onboardingWindow(), onboarding);
    EXPECT_TRUE(onboarding->isVisible());
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(settingsMade, 1) << "the same settings window";
    finishOnboarding();
    EXPECT_EQ(delegate->onboardingWindow(), nullptr);
    EXPECT_EQ(defaults.boolean(SettingsKey::hasCompletedOrlixOnboarding), true);
}
