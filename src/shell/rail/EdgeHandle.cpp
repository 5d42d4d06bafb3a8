#include "shell/rail/EdgeHandle.h"

#include "shell/rail/RailGlass.h"
#include "shell/rail/expanded/Glide.h"
#include "shell/rules/CollapsedRailRules.h"
#include "state/AppState.h"
#include "style/IconProvider.h"
#include "style/LiquidGlassSurface.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QDragEnterEvent>

#include <algorithm>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

EdgeHandle::EdgeHandle(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
{
    setObjectName(u"edgeHandle"_s);
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(tr("Hover to show Kolu"));
    setAttribute(Qt::WA_NoSystemBackground);
    repaintOnStyleChange(this);
    m_dropLook = new Glide(
        0, [this] { update(); }, this);
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::railEdge || field == AppState::Field::railSize) {
            updateGeometry();
            update();
        }
    });
}

QSize EdgeHandle::sizeHint() const
{
    return railview::handleSize(m_state.railEdge(), m_state.railScaleFactor()).toSize();
}

bool EdgeHandle::carriesLocalFiles(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return false;
    const QList<QUrl> urls = mime->urls();
    if (urls.isEmpty())
        return false;
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            return false;
    }
    return true;
}

void EdgeHandle::setFileDropTarget(bool target)
{
    if (target == m_fileDropTarget)
        return;
    m_fileDropTarget = target;
    m_dropLook->moveTo(target ? 1 : 0, OrlixMotion::smooth());
    Q_EMIT dragActiveChanged(target);
    if (target)
        m_state.openModule(RailModule::fileTray);
}

double EdgeHandle::dropLook() const
{
    return m_dropLook->value();
}

QRectF EdgeHandle::pill() const
{
    QRectF pill(QPointF(), railview::handleSize(m_state.railEdge(), m_state.railScaleFactor()));
    pill.moveCenter(QRectF(rect()).center());
    return pill;
}

QRegion EdgeHandle::drawnShape() const
{
    const QRectF shape = pill();
    return drawnshape::rounded(shape, std::min(shape.width(), shape.height()) / 2);
}

void EdgeHandle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const OrlixStyle &style = OrlixStyle::current();
    const RailEdge edge = m_state.railEdge();
    const QRectF pill = this->pill();
    const qreal radius = std::min(pill.width(), pill.height()) / 2;
    const QColor trayTint = style.tint(RailModule::fileTray);
    // The chevron look and the drop look cross-fade on the smooth spring.
    const qreal drop = std::clamp(m_dropLook->value(), 0.0, 1.0);
    const auto layer = [&painter](qreal opacity, const auto &paint) {
        if (opacity <= 0.001)
            return;
        painter.save();
        painter.setOpacity(opacity);
        paint();
        painter.restore();
    };
    layer(1 - drop, [&] { LiquidGlassSurface::paint(painter, pill, radius, OrlixGlassProfile::edgeHandle()); });
    layer(drop, [&] { LiquidGlassSurface::paint(painter, pill, radius, railSelectionGlass(trayTint)); });

    QString chevron;
    QPointF offset;
    switch (edge) {
    case RailEdge::left:
        chevron = u"chevron.right"_s;
        offset = {2, 0};
        break;
    case RailEdge::right:
        chevron = u"chevron.left"_s;
        offset = {-2, 0};
        break;
    case RailEdge::top:
        chevron = u"chevron.down"_s;
        offset = {0, 2};
        break;
    }
    const auto symbolAt = [&](const QString &symbol, qreal size, QPointF by, const QColor &color) {
        QRectF iconRect(QPointF(), QSizeF(size * 2, size * 2));
        iconRect.moveCenter(pill.center() + by);
        IconProvider::paint(painter, iconRect, symbol, size, color, IconWeight::bold);
    };
    layer(1 - drop, [&] { symbolAt(chevron, 8, offset, style.iconPrimary()); });
    layer(drop, [&] { symbolAt(u"tray.and.arrow.down"_s, 11, {}, style.symbolInk(trayTint)); });
}

void EdgeHandle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void EdgeHandle::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        if (rect().contains(event->position().toPoint()))
            m_state.expandPanel();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void EdgeHandle::dragEnterEvent(QDragEnterEvent *event)
{
    if (!carriesLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    setFileDropTarget(true);
}

void EdgeHandle::dragMoveEvent(QDragMoveEvent *event)
{
    if (carriesLocalFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void EdgeHandle::dragLeaveEvent(QDragLeaveEvent *event)
{
    QWidget::dragLeaveEvent(event);
    setFileDropTarget(false);
}

void EdgeHandle::dropEvent(QDropEvent *event)
{
    if (!carriesLocalFiles(event->mimeData())) {
        event->ignore();
        setFileDropTarget(false);
        return;
    }
    m_state.openModule(RailModule::fileTray);
    // The state decides what the tray takes; the drop reports its answer.
    if (m_state.receiveFileTrayDrop(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
    setFileDropTarget(false);
}

} // namespace kolu
