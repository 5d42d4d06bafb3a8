#include "shell/rail/ClipboardEdgePulse.h"

#include "shell/rail/EdgeNotificationRings.h"
#include "shell/rail/GlowTile.h"
#include "shell/rules/CollapsedRailRules.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace kolu {

ClipboardEdgePulse::ClipboardEdgePulse(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_rings(new EdgeNotificationRings(OrlixStyle::current().tint(RailModule::fileTray), this))
    , m_tile(new GlowTile({RailModule::fileTray, u"tray.and.arrow.down"_s, QSizeF(66, 60), {0.1, 12, 0, 6}, 0.28, 0.8},
                          this))
{
    setObjectName(u"clipboardEdgePulse"_s);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_NoSystemBackground);
    m_rings->setObjectName(u"clipboardPulseRings"_s);
    onStyleChange(this, [this] { m_rings->setTint(OrlixStyle::current().tint(RailModule::fileTray)); });
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::railEdge) {
            updateGeometry();
            m_rings->setGeometry(badgeRect().toRect());
            m_tile->setGeometry(badgeRect().toRect());
        }
    });
}

QSize ClipboardEdgePulse::sizeHint() const
{
    const QSizeF size = railview::pulseSize();
    return QSizeF(size.width() + railview::pulseScreenPadding(m_state.railEdge()), size.height()).toSize();
}

QRectF ClipboardEdgePulse::badgeRect() const
{
    const QSizeF size = railview::pulseSize();
    const double pad = railview::pulseScreenPadding(m_state.railEdge());
    switch (m_state.railEdge()) {
    case RailEdge::left: return {QPointF(pad, (height() - size.height()) / 2), size};
    case RailEdge::right: return {QPointF(width() - pad - size.width(), (height() - size.height()) / 2), size};
    case RailEdge::top: break;
    }
    return {QPointF((width() - size.width()) / 2, 0), size};
}

QRegion ClipboardEdgePulse::drawnShape() const
{
    if (drawnshape::inShapedWindow(this))
        return m_tile->glassShape();
    return drawnshape::rounded(badgeRect().adjusted(2, 2, -2, -2), 36);
}

QRegion ClipboardEdgePulse::ornamentShape() const
{
    return m_rings->solidShape().translated(m_rings->pos());
}

void ClipboardEdgePulse::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_rings->setGeometry(badgeRect().toRect());
    m_tile->setGeometry(badgeRect().toRect());
}

void ClipboardEdgePulse::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void ClipboardEdgePulse::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        m_state.openModule(RailModule::fileTray);
}

} // namespace kolu
