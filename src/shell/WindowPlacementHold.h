#pragma once

#include <QObject>
#include <QRect>

#include <optional>

#include <chrono>

class QWidget;

namespace kolu {

class Clock;
class ClockTimer;

// Keeps a new window where it was placed while the window manager takes it
// on. A manager that places a newly mapped window by a rule of its own, or
// reads the asked position as the frame's, moves it elsewhere as it maps
// it: the window is placed again, once. The manager's first placing ends the
// hold, and so does `kLongest` after the show (a manager that places the
// window as asked reports no move): from then on the window is the user's
// to move. Owned by the window.
class WindowPlacementHold : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kLongest{1000};

    WindowPlacementHold(QWidget *window, Clock &clock);

    // Where the window's client area belongs, in global coordinates.
    void setTarget(const QRect &client);
    bool isHolding() const { return m_holding; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void release();

    QWidget *m_window;
    ClockTimer *m_end;
    std::optional<QRect> m_target;
    bool m_holding = true;
};

} // namespace kolu
