#include "shell/rail/EdgeAlert.h"

#include "shell/rail/EdgeNotification.h"
#include "shell/rail/EdgeNotificationRings.h"
#include "shell/rail/GlowTile.h"
#include "shell/rules/EdgeNotificationContent.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

using namespace Qt::StringLiterals;

namespace kolu {

EdgeAlert::EdgeAlert(EdgeAlertKind kind, AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_state(state)
    , m_rings(new EdgeNotificationRings(OrlixStyle::current().tint(edgenotification::look(kind).module), this))
    , m_tile(new GlowTile({edgenotification::look(kind).module,
                           edgenotification::look(kind).symbol,
                           QSizeF(70, 62),
                           {0.1, 13, 0, 6},
                           0.3,
                           0.9},
                          this))
    , m_notification(new EdgeNotification(kind, state, this))
{
    setObjectName(u"edgeAlert"_s);
    setAttribute(Qt::WA_NoSystemBackground);
    m_rings->setObjectName(u"edgeAlertRings"_s);
    onStyleChange(this,
                  [this] { m_rings->setTint(OrlixStyle::current().tint(edgenotification::look(m_kind).module)); });
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::railEdge || field == AppState::Field::railSize) {
            updateGeometry();
            relayout();
        }
    });
    relayout();
}

railview::EdgeAlertGeometry EdgeAlert::geometryNow() const
{
    return railview::edgeAlertGeometry(m_kind, m_state.railEdge(), m_state.railScaleFactor());
}

QSize EdgeAlert::sizeHint() const
{
    return geometryNow().frame.toSize();
}

QRegion EdgeAlert::drawnShape() const
{
    const QRegion notification = drawnshape::rounded(m_notification->geometry(), 28);
    if (drawnshape::inShapedWindow(this))
        return m_tile->glassShape() + notification;
    return drawnshape::rounded(QRectF(m_rings->geometry()).adjusted(1, 2, -1, -2), 36) + notification;
}

QRegion EdgeAlert::ornamentShape() const
{
    return m_rings->solidShape().translated(m_rings->pos());
}

void EdgeAlert::relayout()
{
    const railview::EdgeAlertGeometry g = geometryNow();
    // The frame may be wider than the alert's own (the panel gives the whole
    // canvas); keep the alert against the screen edge.
    const double shift = m_state.railEdge() == RailEdge::right ? width() - g.frame.width() : 0.0;
    const double lift = (height() - g.frame.height()) / 2.0;
    m_notification->setGeometry(g.notification.translated(shift, lift).toRect());
    QRectF rings(QPointF(), railview::alertRingsSize());
    rings.moveCenter(g.tile.translated(shift, lift).center());
    m_rings->setGeometry(rings.toAlignedRect());
    m_tile->setGeometry(g.tile.translated(shift, lift).toRect());
}

void EdgeAlert::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

} // namespace kolu
