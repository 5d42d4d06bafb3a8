#pragma once

#include <QObject>

class QWidget;

namespace kolu {

class Clock;
class ClockTimer;

// Tells a view each time the wall clock passes a whole minute, only while
// the view is shown: texts such as "in 45m" or a greeting that follows the
// hour stay true while a card is open, and nothing runs while it is hidden
// (a collapsed rail hides its cards). One single-shot timer, armed for the
// next minute boundary and again after each one.
class MinuteTicker : public QObject {
    Q_OBJECT
public:
    // Watches `view`'s showing and hiding; owned by `view`.
    MinuteTicker(Clock &clock, QWidget *view);

    bool isRunning() const;

Q_SIGNALS:
    void minutePassed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arm();
    void fire();

    Clock &m_clock;
    QWidget *m_view;
    ClockTimer *m_timer;
};

} // namespace kolu
