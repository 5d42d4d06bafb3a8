#pragma once

#include "shell/rules/RingPhase.h"

#include <QObject>
#include <QPointer>
#include <QHash>
#include <QTimer>

#include <functional>

class QWidget;

namespace kolu {

// The one clock every ring animation runs on. The rings repeat once a
// cycle and are drawn from rings::framesPerCycle pictures, so the clock
// ticks once a picture and says when the picture to show has changed. It
// runs only while something holds it, so a rail with no rings showing
// wakes nothing, and ticks only as often as the holder that moves on most
// often needs: rings that show one picture in several (drawn solid) wake
// it once for each they show.
class RingClock : public QObject {
    Q_OBJECT
public:
    // One picture's time, 136 ms.
    static constexpr int intervalMs = int(1000.0 / (rings::cyclesPerSecond * rings::framesPerCycle) + 0.5);

    static RingClock &shared();

    // Seconds on a steady clock; tests and benchmarks put their own (an
    // empty function puts the steady clock back).
    void setTimeSource(std::function<double()> seconds);
    double seconds() const;
    // The picture that shows now (rings::pictureAt).
    int picture() const;

    // `step`: the holder shows one picture in that many.
    void hold(const QObject *holder, int step = 1);
    void release(const QObject *holder);
    bool isHeldBy(const QObject *holder) const { return m_holders.contains(holder); }
    const QTimer &timer() const { return m_timer; }

    // What one tick of the timer does, now (tests).
    void tick();

Q_SIGNALS:
    // The picture to show changed since the last tick.
    void pictureChanged(int picture);

private:
    RingClock();
    // Ticks as often as the holders' least step needs.
    void followSteps();

    QTimer m_timer;
    // Each holder and its step.
    QHash<const QObject *, int> m_holders;
    std::function<double()> m_seconds;
    int m_shown = -1;
};

// Runs the rings of one widget on the shared clock while they are wanted
// and the widget is visible; a hidden rail (a kept layout) holds nothing.
class RingsRunner : public QObject {
    Q_OBJECT
public:
    RingsRunner(QWidget *widget, bool wanted);
    ~RingsRunner() override;

    void setWanted(bool wanted);
    bool isWanted() const { return m_wanted; }
    // These rings show one picture in `step` from now on.
    void setStep(int step);
    // Whether the clock moves these rings on now.
    bool isRunning() const;

Q_SIGNALS:
    // The rings moved on to another picture.
    void moved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow();

    QPointer<QWidget> m_widget;
    bool m_wanted;
    int m_step = 1;
};

} // namespace kolu
