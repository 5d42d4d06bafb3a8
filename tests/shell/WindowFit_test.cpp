#include "ShellFixture.h"

#include "settings/SettingsView.h"
#include "settings/onboarding/OnboardingView.h"
#include "shell/WindowPlacementHold.h"
#include "shell/rules/WindowPlacement.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>

using namespace kolu;
using namespace Qt::StringLiterals;

using WindowFitTest = test::ShellTest;

namespace {
// Whether `widget` lies whole inside `window` once `scroll` has brought it
// into view.
bool reachable(QScrollArea *scroll, QWidget *widget, QWidget *window)
{
    scroll->ensureWidgetVisible(widget, 0, 0);
    const QRect shown(widget->mapTo(window, QPoint(0, 0)), widget->size());
    const QRect viewport(scroll->viewport()->mapTo(window, QPoint(0, 0)), scroll->viewport()->size());
    return window->rect().contains(shown) && viewport.contains(shown);
}
} // namespace

// On a short work area (1920 x 540, or 1080p at scale 2, under a frame with
// a 29-point title bar) the settings window takes the height left, and its
// sidebar and pages scroll so that every page and button stays reachable;
// the onboarding's content still fits.
TEST_F(WindowFitTest, OnAShortScreenEveryPageAndButtonStaysReachable)
{
    launch();
    const QMargins frame(5, 29, 5, 5);
    for (const QRect &area : {QRect(0, 0, 1920, 540), QRect(0, 24, 960, 516)}) {
        SCOPED_TRACE(area.height());
        SettingsView settings(state(), delegate->updateController());
        const QSize size =
            windowplacement::fittedClientSize(area, settings.size(), frame, settings.minimumSizeHint().height());
        ASSERT_LT(size.height(), 640);
        EXPECT_EQ(size.height(), area.height() - 34) << "no taller than the area less the frame";
        settings.setFixedSize(size);
        settings.show();

        auto *sidebar = settings.findChild<QScrollArea *>(u"settingsSidebarScroll"_s);
        auto *page = settings.findChild<QScrollArea *>(u"settingsContentScroll"_s);
        ASSERT_TRUE(sidebar && page);
        const auto pages = sidebar->widget()->findChildren<QAbstractButton *>();
        ASSERT_GE(pages.size(), 8);
        bool scrolled = false;
        for (QAbstractButton *button : pages) {
            SCOPED_TRACE(button->text().toStdString());
            EXPECT_TRUE(reachable(sidebar, button, &settings));
            button->click();
            QCoreApplication::sendPostedEvents();
            // Every control of the page it opens comes into view.
            for (QAbstractButton *control : page->widget()->findChildren<QAbstractButton *>()) {
                if (control->isVisibleTo(page->widget())) {
                    EXPECT_TRUE(reachable(page, control, &settings)) << control->objectName().toStdString();
                }
            }
            scrolled = scrolled || page->verticalScrollBar()->maximum() > 0;
        }
        EXPECT_TRUE(scrolled) << "a long page scrolls";

        OnboardingView onboarding([] {});
        const QSize welcome =
            windowplacement::fittedClientSize(area, onboarding.size(), frame, onboarding.minimumSizeHint().height());
        EXPECT_EQ(welcome.height(), std::min(520, area.height() - 34)) << "its content fits the height left";
    }
}

// A manager that puts a newly mapped window elsewhere (by its own rule, or
// taking the asked place for the frame's) has it put back where it belongs;
// once the manager has it there, a later move is the user's and stays.
TEST_F(WindowFitTest, ANewWindowIsHeldWhereItBelongsUntilTheManagerHasTakenItOn)
{
    parts.settingsWindow = [](ApplicationDelegate &) -> QWidget * {
        auto *window = new QWidget;
        window->setFixedSize(400, 300);
        return window;
    };
    launch();
    delegate->showSettingsWindow();
    QWidget *window = delegate->settingsWindow();
    ASSERT_NE(window, nullptr);
    QCoreApplication::processEvents();
    const QRect placed = window->geometry();
    auto *hold = window->findChild<WindowPlacementHold *>();
    ASSERT_NE(hold, nullptr);

    // Mapped 29 lower, as if the frame's top were put at the asked place.
    window->windowHandle()->setPosition(placed.topLeft() + QPoint(0, 29));
    EXPECT_TRUE(test::waitUntil([&] { return window->geometry() == placed; })) << "put back";
    EXPECT_TRUE(test::waitUntil([&] { return !hold->isHolding(); })) << "let go once there";

    // The user's move stays.
    window->windowHandle()->setPosition(placed.topLeft() + QPoint(120, 40));
    QCoreApplication::processEvents();
    EXPECT_TRUE(test::waitUntil([&] { return window->geometry().topLeft() == placed.topLeft() + QPoint(120, 40); }));

    // A manager that puts it where asked reports no move: the hold ends a
    // moment after the show all the same, and the user's first move stays.
    window->close();
    delete window;
    delegate->showSettingsWindow();
    window = delegate->settingsWindow();
    ASSERT_NE(window, nullptr);
    QCoreApplication::processEvents();
    hold = window->findChild<WindowPlacementHold *>();
    ASSERT_TRUE(hold && hold->isHolding());
    clock.advance(WindowPlacementHold::kLongest);
    EXPECT_FALSE(hold->isHolding());
    const QPoint moved = window->geometry().topLeft() + QPoint(-60, 30);
    window->windowHandle()->setPosition(moved);
    EXPECT_TRUE(test::waitUntil([&] { return window->geometry().topLeft() == moved; }));
}
