#include "shell/rail/expanded/ToolStripRingLayer.h"

#include "shell/rail/EdgeNotificationRingsClock.h"
#include "shell/rail/EdgeNotificationRingsPictures.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/ToolStripButton.h"
#include "style/ClipRects.h"
#include "style/OrlixStyle.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

ToolStripRingLayer::ToolStripRingLayer(ExpandedToolStrip *strip, QWidget *parent)
    : QWidget(parent)
    , m_strip(strip)
{
    setObjectName(u"toolStripRings"_s);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    connect(strip, &ExpandedToolStrip::ringsChanged, this, &ToolStripRingLayer::updateRings);
    parent->installEventFilter(this);
    setGeometry(parent->rect());
    raise();
}

bool ToolStripRingLayer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    // Whatever is raised later (the strip itself) stays below the rings.
    if (watched == parentWidget() && event->type() == QEvent::ChildAdded)
        raise();
    return QWidget::eventFilter(watched, event);
}

QPointF ToolStripRingLayer::ringsCentre(const ToolStripButton *button) const
{
    return QRectF(button->rect()).center() + mapFromGlobal(button->mapToGlobal(QPoint()));
}

void ToolStripRingLayer::updateRings(ToolStripButton *button)
{
    // Only the rings' own box: the layer covers the whole rail.
    update(ringpictures::area(ringsCentre(button)));
}

void ToolStripRingLayer::paintEvent(QPaintEvent *event)
{
    if (!m_strip || !m_strip->isVisible())
        return;
    QPainter painter(this);
    const OrlixStyle &style = OrlixStyle::current();
    const int picture = RingClock::shared().picture();
    // Once per rectangle of what is repainted: pictures blended through a
    // clip of several go span by span to the thread pool (ClipRects.h).
    drawPerRect(painter, event->region(), [&] {
        for (const ToolStripButton *button : m_strip->buttons()) {
            if (button->ringsRunning() && button->isVisible())
                ringpictures::draw(painter, ringsCentre(button), style.tint(button->module()), picture);
        }
    });
}

} // namespace kolu
