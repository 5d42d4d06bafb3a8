#include "shell/rail/EdgeNotificationRings.h"

#include "shell/rail/DrawnShape.h"
#include "shell/rail/EdgeNotificationRingsClock.h"
#include "shell/rail/EdgeNotificationRingsPictures.h"
#include "shell/rules/RingPhase.h"
#include "style/ClipRects.h"
#include "style/WidgetSnapshot.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>

namespace kolu {

EdgeNotificationRings::EdgeNotificationRings(const QColor &tint, QWidget *parent)
    : QWidget(parent)
    , m_tint(tint)
    , m_runner(new RingsRunner(this, true))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    connect(m_runner, &RingsRunner::moved, this, [this] {
        const bool solid = drawnshape::inShapedWindow(this);
        const int picture = ringpictures::solidPicture(RingClock::shared().picture());
        m_runner->setStep(solid ? ringpictures::kSolidStep : 1);
        // Solid rings move on fewer pictures: each is a new window shape.
        if (solid && m_shapedSolid && picture == m_solidPicture)
            return;
        m_solidPicture = picture;
        // Solid rings are all one colour: what a new picture shows that the
        // last did not is new to the window's shape, and the panel paints
        // it before it shows it; the rest holds the tint already.
        if (!solid || !m_shapedSolid)
            update(ringsRect());
        WidgetSnapshot::markChanged(this);
        // A new solid picture changes only the ornaments; drawn solid or
        // blended from now on, what the parent draws may change too.
        if (solid && m_shapedSolid)
            drawnshape::ornamentChanged(this);
        else if ((solid || m_shapedSolid) && parentWidget())
            QCoreApplication::postEvent(parentWidget(), new QEvent(QEvent::LayoutRequest));
        m_shapedSolid = solid;
    });
}

void EdgeNotificationRings::setTint(const QColor &tint)
{
    if (tint == m_tint)
        return;
    m_tint = tint;
    update();
}

QRect EdgeNotificationRings::ringsRect() const
{
    return ringpictures::area(QRectF(rect()).center()) & rect();
}

const QTimer &EdgeNotificationRings::sharedTimer()
{
    return RingClock::shared().timer();
}

void EdgeNotificationRings::setTimeSource(std::function<double()> seconds)
{
    RingClock::shared().setTimeSource(std::move(seconds));
}

void EdgeNotificationRings::paintRings(QPainter &painter, const QRectF &rect, const QColor &tint, double seconds)
{
    ringpictures::stroke(painter, rect.center(), tint, seconds * rings::cyclesPerSecond);
}

QRegion EdgeNotificationRings::solidShape() const
{
    if (!drawnshape::inShapedWindow(this))
        return {};
    return ringpictures::solidShape(QRectF(rect()).center(), ringpictures::solidPicture(RingClock::shared().picture()))
           & rect();
}

void EdgeNotificationRings::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (const QRegion solid = solidShape(); !solid.isEmpty()) {
        QColor tint = m_tint;
        tint.setAlpha(255);
        for (const QRect &r : solid & event->region())
            painter.fillRect(r, tint);
        return;
    }
    const int picture = RingClock::shared().picture();
    // Once per rectangle of what is repainted: a picture blended through a
    // clip of several goes span by span to the thread pool (ClipRects.h).
    drawPerRect(painter, event->region(),
                [&] { ringpictures::draw(painter, QRectF(rect()).center(), m_tint, picture); });
}

} // namespace kolu
