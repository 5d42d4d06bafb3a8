#include "shell/rail/expanded/ToolStripRingLayer.h"

#include "shell/rail/EdgeNotificationRings.h"
#include "shell/rail/expanded/ExpandedToolStrip.h"
#include "shell/rail/expanded/ToolStripButton.h"
#include "shell/rules/RingPhase.h"
#include "style/OrlixStyle.h"

#include <QEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The rings' largest frame.
const QSizeF largestRing(100, 86);

} // namespace

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

QRectF ToolStripRingLayer::ringsRect(const ToolStripButton *button) const
{
    const QPointF centre = QRectF(button->rect()).center() + mapFromGlobal(button->mapToGlobal(QPoint()));
    return {centre - QPointF(largestRing.width(), largestRing.height()) / 2, largestRing};
}

void ToolStripRingLayer::updateRings(ToolStripButton *button)
{
    // Only the rings' own square: the layer covers the whole rail.
    update(ringsRect(button).toAlignedRect().adjusted(-2, -2, 2, 2));
}

void ToolStripRingLayer::paintEvent(QPaintEvent *)
{
    if (!m_strip || !m_strip->isVisible())
        return;
    QPainter painter(this);
    const OrlixStyle &style = OrlixStyle::current();
    for (const ToolStripButton *button : m_strip->buttons()) {
        if (!button->ringsRunning() || !button->isVisible())
            continue;
        EdgeNotificationRings::paintRings(painter, ringsRect(button), style.tint(button->module()),
                                          button->ringPhase() / rings::cyclesPerSecond);
    }
}

} // namespace kolu
