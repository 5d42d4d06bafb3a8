#include "style/widgets/ComposerToggleButton.h"

#include "style/ContinuousCorners.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>

namespace kolu {

using namespace Qt::StringLiterals;

ComposerToggleButton::ComposerToggleButton(RailModule module, QSize size, qreal radius, int iconSize, QWidget *parent)
    : QAbstractButton(parent)
    , m_module(module)
    , m_size(size)
    , m_radius(radius)
    , m_iconSize(iconSize)
{
    setCursor(Qt::PointingHandCursor);
    setFixedSize(size);
    repaintOnStyleChange(this);
}

void ComposerToggleButton::setReady(bool ready)
{
    if (ready == m_ready)
        return;
    m_ready = ready;
    update();
}

QString ComposerToggleButton::symbol() const
{
    return m_ready ? u"checkmark"_s : u"plus"_s;
}

void ComposerToggleButton::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = style.tint(m_module);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isDown() ? 0.7 : 1.0);
    const QPainterPath shape = continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), m_radius);
    painter.fillPath(shape, m_ready ? withAlpha(tint, 0.95) : withAlpha(style.surfaceRaised(), 0.72));
    painter.strokePath(shape, QPen(withAlpha(m_ready ? tint : style.hairline(), 0.35), 0.8));
    IconProvider::paint(painter, rect(), symbol(), m_iconSize,
                        m_ready ? style.symbolInk(Qt::white, withAlpha(tint, 0.95)) : style.symbolInk(style.text()),
                        IconWeight::bold);
}

} // namespace kolu
