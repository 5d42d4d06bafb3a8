#include "style/Motion.h"

#include <QVariantAnimation>

#include <cmath>
#include <numbers>

namespace kolu {

double dampedSpring(double t, double response, double dampingFraction)
{
    if (t <= 0)
        return 0;
    const double omega0 = 2 * std::numbers::pi / response;
    const double zeta = dampingFraction;
    const double decay = std::exp(-zeta * omega0 * t);
    if (zeta >= 1)
        return 1 - decay * (1 + omega0 * t);
    const double omegaD = omega0 * std::sqrt(1 - zeta * zeta);
    return 1 - decay * (std::cos(omegaD * t) + zeta * omega0 / omegaD * std::sin(omegaD * t));
}

double springSettleTime(double response, double dampingFraction, double tolerance)
{
    const double omega0 = 2 * std::numbers::pi / response;
    return std::log(1 / tolerance) / (dampingFraction * omega0);
}

namespace {

// QEasingCurve takes a plain function, so each spring gets its own.
constexpr double kSmoothResponse = 0.42, kSmoothDamping = 0.88;
constexpr double kRailResponse = 0.34, kRailDamping = 0.86;

qreal smoothCurve(qreal progress)
{
    if (progress >= 1)
        return 1;
    return dampedSpring(progress * springSettleTime(kSmoothResponse, kSmoothDamping), kSmoothResponse, kSmoothDamping);
}

qreal railCurve(qreal progress)
{
    if (progress >= 1)
        return 1;
    return dampedSpring(progress * springSettleTime(kRailResponse, kRailDamping), kRailResponse, kRailDamping);
}

Motion springMotion(double response, double damping, QEasingCurve::EasingFunction function)
{
    QEasingCurve curve;
    curve.setCustomType(function);
    return {int(std::lround(springSettleTime(response, damping) * 1000)), curve};
}

} // namespace

const Motion &OrlixMotion::smooth()
{
    static const Motion motion = springMotion(kSmoothResponse, kSmoothDamping, smoothCurve);
    return motion;
}

const Motion &OrlixMotion::railMotion()
{
    static const Motion motion = springMotion(kRailResponse, kRailDamping, railCurve);
    return motion;
}

const Motion &OrlixMotion::contentSwap()
{
    static const Motion motion{180, QEasingCurve(QEasingCurve::InOutQuad)};
    return motion;
}

namespace {
bool g_motionEnabled = true;
} // namespace

bool OrlixMotion::enabled()
{
    return g_motionEnabled;
}

void OrlixMotion::setEnabled(bool enabled)
{
    g_motionEnabled = enabled;
}

void runMotion(QVariantAnimation *animation)
{
    animation->stop();
    animation->start();
    if (!OrlixMotion::enabled())
        animation->setCurrentTime(animation->totalDuration());
}

void applyMotion(QVariantAnimation *animation, const Motion &motion)
{
    animation->setDuration(motion.durationMs);
    animation->setEasingCurve(motion.curve);
}

const Motion &OrlixMotion::press()
{
    static const Motion motion{120, QEasingCurve(QEasingCurve::OutQuad)};
    return motion;
}

} // namespace kolu
