#pragma once

#include "platform/windowing/PanelWindowing.h"
#include "shell/ApplicationDelegate.h"
#include "shell/RailHover.h"
#include "shell/RailPanel.h"
#include "shell/rail/RailView.h"
#include "shell/rail/expanded/ExpandedRail.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"

#include "EventWait.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QImage>
#include <QList>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>

#include <memory>
#include <optional>

namespace kolu::test {
// What the shell asked of the window system, in order.
class RecordingPanelWindowing final : public PanelWindowing {
public:
    bool isAvailable() const override { return true; }
    void prepare(quint32 window) override { prepared.append(window); }
    void requestStates(quint32 window) override { statesRequested.append(window); }
    void raise(quint32) override { ++raises; }
    void setAcceptsFocus(quint32, bool accepts) override { acceptsFocus = accepts; }
    void setInputRegion(quint32, const QRegion &region) override { inputRegion = region; }
    void setVisibleRegion(quint32, const std::optional<QRegion> &region) override
    {
        visibleRegion = region;
        visibleRegions.append(region);
    }
    void showStandIn(quint32 window, const QImage &picture, const QRegion &shape) override
    {
        standIn = {window, picture, shape};
    }
    void removeStandIn() override { standIn.reset(); }
    void forget(quint32 window) override { forgotten.append(window); }

    QList<quint32> prepared;
    QList<quint32> statesRequested;
    int raises = 0;
    std::optional<bool> acceptsFocus;
    std::optional<QRegion> inputRegion;
    std::optional<QRegion> visibleRegion; // none: the whole window shows
    QList<std::optional<QRegion>> visibleRegions;
    struct StandIn {
        quint32 window;
        QImage picture;
        QRegion shape;
    };
    std::optional<StandIn> standIn;
    QList<quint32> forgotten;
};

// Moves every finite animation under `root` on by `ms`, frame by frame;
// the wall clock drives none of them while a ManualAnimationDriver is installed.
inline void step(QObject &root, int ms)
{
    for (int t = 0; t < ms; t += 16) {
        QList<QPointer<QAbstractAnimation>> running;
        for (QAbstractAnimation *a : root.findChildren<QAbstractAnimation *>())
            if (a->state() == QAbstractAnimation::Running && a->loopCount() != -1)
                running.append(a);
        for (const QPointer<QAbstractAnimation> &a : running)
            if (a && a->state() == QAbstractAnimation::Running)
                a->setCurrentTime(a->currentTime() + 16);
    }
}

// Runs every motion to its end; then only the endless rings of a pending
// alert may still run.
inline void settle(QObject &root)
{
    step(root, 1000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QAbstractAnimation *a : root.findChildren<QAbstractAnimation *>())
        if (a->loopCount() != -1) {
            EXPECT_EQ(a->state(), QAbstractAnimation::Stopped) << a->parent()->metaObject()->className();
        }
}

// What `widget` paints with its children over transparent pixels.
inline QImage picture(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// What the widgets of a window paint, in the window's coordinates.
class PaintedRegion : public QObject {
public:
    explicit PaintedRegion(QWidget *window)
        : m_window(window)
    {
        window->installEventFilter(this);
        for (QWidget *child : window->findChildren<QWidget *>())
            child->installEventFilter(this);
    }
    QRegion region;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *widget = static_cast<QWidget *>(watched);
            region += static_cast<QPaintEvent *>(event)->region().translated(widget->mapTo(m_window, QPoint()));
        }
        return false;
    }

private:
    QWidget *m_window;
};

// How many pixels of `image` are not wholly transparent.
inline int inkedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

// A drag of `mime` entering `w`; whether `w` would take it.
inline bool dragEnter(QWidget *w, QMimeData &mime)
{
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &enter);
    return enter.isAccepted();
}
inline void dragLeave(QWidget *w)
{
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(w, &leave);
}

// The state on test services, for the rail's widgets on their own, with the
// input their tests drive them by.
class RailStateTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    TestAppServices services{defaults, clock, home};
    std::unique_ptr<AppState> state = std::make_unique<AppState>(defaults, clock, services.take());

    static void mouse(QWidget *w, QEvent::Type type, QPointF at, Qt::MouseButtons held)
    {
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    static void click(QWidget *w)
    {
        mouse(w, QEvent::MouseButtonPress, w->rect().center(), Qt::LeftButton);
        mouse(w, QEvent::MouseButtonRelease, w->rect().center(), Qt::NoButton);
    }
    // A press on `w` at `at` and a release `by` away from it, in fractional points.
    static void swipe(QWidget *w, QPointF at, QPointF by)
    {
        mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
        mouse(w, QEvent::MouseButtonRelease, at + by, Qt::NoButton);
    }

    // Raises the calendar (1), prayer (2), reminder (4) and focus (8) alerts
    // in `bits` and clears the others.
    void raiseAlerts(int bits)
    {
        CalendarEvent event;
        event.startDate = clock.now().addSecs(300);
        state->setActiveCalendarAlert(bits & 1 ? std::optional(event) : std::nullopt);
        ActivePrayerAlert prayer;
        prayer.prayer.name = PrayerName::asr;
        state->setActivePrayerAlert(bits & 2 ? std::optional(prayer) : std::nullopt);
        ReminderItem item;
        item.id = QStringLiteral("r-7");
        item.title = QStringLiteral("Call the bank");
        state->setActiveReminderAlert(bits & 4 ? std::optional(ActiveReminderAlert{item, clock.now()}) : std::nullopt);
        state->setPomodoroAlertVisible(bits & 8);
    }
};

// The whole shell on the offscreen platform: real state and services over
// test collaborators, a manual clock, a pointer the test moves, and a
// window layer that records.
class ShellTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    TestAppServices services{defaults, clock, home};
    RecordingPanelWindowing *windowing = nullptr;
    QPoint pointer{10, 10};
    ShellParts parts;
    std::unique_ptr<ApplicationDelegate> delegate;

    ShellTest()
    {
        parts.panelWindowing = [this] {
            auto recording = std::make_unique<RecordingPanelWindowing>();
            windowing = recording.get();
            return recording;
        };
        parts.pointer = [this] { return pointer; };
    }

    // The start-up refresh asks the local server for prayers and weather;
    // its answers are let in before the state goes.
    void TearDown() override
    {
        if (delegate) {
            EXPECT_TRUE(waitUntil([this] { return !state().isLoadingPrayers() && !state().isLoadingTodayWeather(); }));
        }
        // A launch under a compositor left the process's style see-through.
        OrlixStyle::current().setGlassTier(GlassTier::opaque);
    }

    // The rail's own views, as the program has them.
    void withRailViews()
    {
        parts.railContent = [](AppState &state, QWidget *parent) -> QWidget * { return new RailView(state, parent); };
    }

    void launch()
    {
        delegate = std::make_unique<ApplicationDelegate>(defaults, clock, services.take(), parts);
        delegate->start();
    }

    AppState &state() const { return delegate->state(); }
    RailPanel &panel() const { return *delegate->railPanel(); }
    RailHover &hover() const { return *delegate->railHover(); }

    // Lets a running slide finish; it runs on Qt's animation clock.
    void settle() const
    {
        EXPECT_TRUE(waitUntil([this] { return !panel().isAnimating(); }));
    }

    // The middle of the reveal band of the parked rail at its side edge.
    QPoint sideBandPoint() const
    {
        const QRect frame = panel().visibleFrame();
        const QRect rail = panel().geometry();
        const int x = state().railEdge() == RailEdge::left ? frame.x() : frame.x() + frame.width() - 1;
        return {x, rail.y() + rail.height() / 2};
    }
    QPoint farAway() const { return panel().visibleFrame().center() - QPoint(panel().visibleFrame().width() / 3, 0); }

    // Opens the parked side rail from its band and lets the slide finish.
    void revealFromBand()
    {
        pointer = sideBandPoint();
        clock.advance(hover().interval());
        ASSERT_TRUE(state().isExpanded());
        settle();
    }
};

} // namespace kolu::test
