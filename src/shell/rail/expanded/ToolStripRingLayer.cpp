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
#include <QScrollArea>
#include <QScrollBar>

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
    // Rings move with their buttons as the list scrolls, and show or go at its ends.
    if (QScrollArea *list = strip->moduleList())
        connect(list->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
            if (!m_strip)
                return;
            for (const ToolStripButton *button : m_strip->buttons())
                if (button->ringsRunning()) {
                    update();
                    return;
                }
        });
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
    // Through the shared window, not the screen: asked for every button on
    // every frame of the rings, and the screen's position takes the window
    // system's transforms.
    const QWidget *top = window();
    return QRectF(button->rect()).center() + mapFrom(top, button->mapTo(top, QPoint()));
}

QRect ToolStripRingLayer::shownBand() const
{
    // A scrolling list shows its buttons between its ends only: rings of a
    // button scrolled past one would otherwise ring over the actions or the
    // strip's ends. Across, they still reach past the strip.
    if (!m_strip || !m_strip->isModuleListScrolling())
        return rect();
    const QWidget *viewport = m_strip->moduleList()->viewport();
    const QRect list(mapFromGlobal(viewport->mapToGlobal(QPoint())), viewport->size());
    return QRect(0, list.top(), width(), list.height()) & rect();
}

void ToolStripRingLayer::updateRings(ToolStripButton *button)
{
    // Only the rings' own box: the layer covers the whole rail.
    update(ringpictures::area(ringsCentre(button)) & shownBand());
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
    const QRegion region = event->region() & shownBand();
    if (region.isEmpty())
        return;
    drawPerRect(painter, region, [&] {
        // Drawn in one pass, the pictures are still held to the band.
        if (!painter.hasClipping())
            painter.setClipRegion(region);
        for (const ToolStripButton *button : m_strip->buttons()) {
            const QPointF centre = ringsCentre(button);
            if (button->ringsRunning() && button->isVisible() && region.intersects(ringpictures::area(centre)))
                ringpictures::draw(painter, centre, style.tint(button->module()), picture);
        }
    });
}

} // namespace kolu
