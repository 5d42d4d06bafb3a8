#include "shell/rail/EdgeNotificationRings.h"

#include "shell/rail/RailGlass.h"
#include "shell/rules/RingPhase.h"
#include "style/ContinuousCorners.h"
#include "style/WidgetSnapshot.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QPen>
#include <QSet>
#include <QTimer>

namespace kolu {

namespace {

// About one frame of a 60 Hz display.
constexpr int frameIntervalMs = 16;

struct Ticker {
    QTimer timer;
    QSet<EdgeNotificationRings *> visible;
    QElapsedTimer steady;
    std::function<double()> seconds;

    Ticker()
    {
        timer.setInterval(frameIntervalMs);
        timer.setTimerType(Qt::PreciseTimer);
        steady.start();
        QObject::connect(&timer, &QTimer::timeout, [this] {
            for (EdgeNotificationRings *rings : std::as_const(visible)) {
                rings->update();
                WidgetSnapshot::markChanged(rings);
            }
        });
    }
    double now() const { return seconds ? seconds() : static_cast<double>(steady.nsecsElapsed()) / 1e9; }
    void add(EdgeNotificationRings *rings)
    {
        visible.insert(rings);
        if (!timer.isActive())
            timer.start();
    }
    void remove(EdgeNotificationRings *rings)
    {
        visible.remove(rings);
        if (visible.isEmpty())
            timer.stop();
    }
};

Ticker &ticker()
{
    static Ticker instance;
    return instance;
}

} // namespace

EdgeNotificationRings::EdgeNotificationRings(const QColor &tint, QWidget *parent)
    : QWidget(parent)
    , m_tint(tint)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

EdgeNotificationRings::~EdgeNotificationRings()
{
    ticker().remove(this);
}

void EdgeNotificationRings::setTint(const QColor &tint)
{
    if (tint == m_tint)
        return;
    m_tint = tint;
    update();
}

const QTimer &EdgeNotificationRings::sharedTimer()
{
    return ticker().timer;
}

void EdgeNotificationRings::setTimeSource(std::function<double()> seconds)
{
    ticker().seconds = std::move(seconds);
}

void EdgeNotificationRings::paintRings(QPainter &painter, const QRectF &rect, const QColor &tint, double seconds)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    const QPointF centre = rect.center();
    for (const RingFrame &ring : rings::framesAt(seconds)) {
        if (ring.opacity <= 0.002)
            continue;
        // The slight blur softens the stroke: a wider, fainter pen stands for it.
        const qreal width = rings::lineWidth + ring.blur * 2;
        painter.setPen(QPen(withAlpha(tint, ring.opacity * rings::lineWidth / width), width));
        QRectF shape(QPointF(), ring.size);
        shape.moveCenter(centre);
        painter.drawPath(continuousRoundedRect(shape, ring.cornerRadius));
    }
    painter.restore();
}

void EdgeNotificationRings::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintRings(painter, QRectF(rect()), m_tint, ticker().now());
}

void EdgeNotificationRings::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ticker().add(this);
}

void EdgeNotificationRings::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    ticker().remove(this);
}

} // namespace kolu
