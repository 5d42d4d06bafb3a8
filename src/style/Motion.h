#pragma once

#include <QEasingCurve>

class QVariantAnimation;

namespace kolu {

// One of the shared animations: how long it runs and how it eases.
// Give both to a QVariantAnimation / QPropertyAnimation.
struct Motion {
    int durationMs;
    QEasingCurve curve;
};

// The animations every view shares. The two springs are slightly underdamped
// springs sampled as easing curves (they overshoot a little); a spring's
// duration is the time its swing needs to settle within 0.1 % of the target.
struct OrlixMotion {
    // Hover and state changes inside the rail views and cards
    // (response 0.42 s, damping fraction 0.88).
    static const Motion &smooth();
    // Rail expand/collapse, selection moves, the connector, reordering
    // (response 0.34 s, damping fraction 0.86).
    static const Motion &railMotion();
    // Swapping content: ease-in-out over 0.18 s.
    static const Motion &contentSwap();
    // The press of primary and secondary buttons: ease-out over 0.12 s.
    static const Motion &press();

    // Whether views animate their changes. Off, every change lands at once:
    // still pictures of the views, and checks of where a change ends.
    static bool enabled();
    static void setEnabled(bool enabled);
};

// Starts `animation`; with motion off it jumps to its end value at once
// (emitting valueChanged and finished).
void runMotion(QVariantAnimation *animation);

// Sets `animation`'s duration and curve to `motion`'s.
void applyMotion(QVariantAnimation *animation, const Motion &motion);

// The progress (0 at t = 0, 1 at rest) of a spring released from rest,
// `response` seconds per undamped period, at time `t` seconds.
double dampedSpring(double t, double response, double dampingFraction);

// The time a spring needs to settle within `tolerance` of its target.
double springSettleTime(double response, double dampingFraction, double tolerance = 0.001);

} // namespace kolu
