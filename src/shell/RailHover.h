#pragma once

#include "platform/x11/PointerMotion.h"
#include "shell/rules/HoverRules.h"

#include <QDateTime>
#include <QObject>
#include <QList>
#include <QPoint>
#include <QPointer>

#include <chrono>
#include <functional>
#include <optional>

class QWidget;

namespace kolu {

class AppState;
class Clock;
class ClockTimer;
class RailPanel;

// Reveals the rail when the pointer touches the band at its edge, keeps it
// out while the pointer is near, and hides it a moment after the pointer
// leaves, by polling the pointer on one timer whose period follows the
// rail's state. A status-menu command holds the rail out for a while.
//
// Given a source of pointer motion, the poll rests once two looks in a row
// find the pointer where it was and no slide runs: it looks on at the
// parked period only (for a pointer moved without a motion of the device,
// which the source cannot tell), and at once when the pointer moves. So a
// pointer resting by the open rail costs what a parked rail does, and a
// pointer that leaves is seen as soon as before.
//
// A pop-up opened from the rail (a menu, a list, a date picker) holds it
// out like a drag: the pop-up reaches past the panel, and a pointer resting
// on it must not send the rail and the pick away. When the rail goes in all
// the same, its pop-ups close with it.
class RailHover : public QObject {
    Q_OBJECT
public:
    using PointerSource = std::function<QPoint()>;

    // `state`, `panel` and `clock` must outlive the object. `pointer` reads
    // the global pointer position (QCursor::pos() when empty).
    RailHover(AppState &state, RailPanel &panel, Clock &clock, PointerSource pointer = {}, QObject *parent = nullptr);

    // Lets the poll rest while the pointer does (see above); null: never.
    void setPointerMotion(PointerMotion *motion);
    ~RailHover() override;

    // Starts polling at the period the state wants.
    void start();
    // Stops polling and cancels the pending hide and the hold.
    void stop();

    // Picks the period again; the timer is restarted only when it changes.
    void refreshInterval();
    // One look at the pointer.
    void poll();
    // Keeps the rail out for the state's status-menu hold, wherever the
    // pointer is; when the hold ends the rail is looked at again at once.
    void holdStatusMenuOpenBriefly();
    // While a file drag or a menu of the rail is under way, the rail stays
    // out wherever the pointer is; when it ends the rail is looked at again.
    void setInteractionActive(bool active);
    // Whether the pointer is on what the panel draws. The window system
    // tells when it leaves, so meanwhile the poll keeps the parked period.
    void setPointerInside(bool inside);

    std::chrono::milliseconds interval() const { return m_interval; }
    bool isPolling() const;
    // The poll looks at the parked period while waiting for a motion.
    bool isResting() const { return m_resting; }
    bool isHidePending() const;
    bool isHoldRunning() const;
    // Whether a pop-up opened from the rail is open.
    bool isPopupOpen() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HoverInput input(QPoint pointer) const;
    void restIfStill(QPoint pointer);
    void wake();
    std::chrono::milliseconds wantedInterval() const;
    void scheduleHide(std::chrono::milliseconds delay);
    void cancelHide();
    bool opensFromRail(const QWidget *popup) const;
    void popupsChanged();
    void closePopups();

    AppState &m_state;
    RailPanel &m_panel;
    Clock &m_clock;
    PointerSource m_pointer;
    ClockTimer *m_poll = nullptr;
    ClockTimer *m_hide = nullptr;
    ClockTimer *m_holdEnd = nullptr;
    std::optional<QDateTime> m_holdUntil;
    std::chrono::milliseconds m_interval{350};
    bool m_kept = false;
    bool m_interactionActive = false;
    QList<QPointer<QWidget>> m_popups;
    bool m_popupHold = false;
    bool m_pointerInside = false;
    QPointer<PointerMotion> m_motion;
    std::optional<QPoint> m_lastPointer;
    bool m_resting = false;
};

} // namespace kolu
