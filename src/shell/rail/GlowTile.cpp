#include "shell/rail/GlowTile.h"

#include "shell/rail/DrawnShape.h"
#include "shell/rail/RailGlass.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QPaintEvent>
#include <QPainter>

namespace kolu {

GlowTile::GlowTile(const Look &look, QWidget *parent)
    : QWidget(parent)
    , m_look(look)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    onStyleChange(this, [this] {
        m_picture.drop();
        update();
    });
}

QRegion GlowTile::glassShape() const
{
    QRectF tile(QPointF(), m_look.glass);
    tile.moveCenter(QRectF(geometry()).center());
    // A pixel in from the rim, whose antialiasing blends with what is
    // behind the tile.
    return drawnshape::rounded(tile.adjusted(1, 1, -1, -1), 23);
}

void GlowTile::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // Kept: the rings behind it repaint it on every one of their frames.
    m_picture.draw(painter, event->region(), size(), [this](QPainter &on) {
        const QColor tint = OrlixStyle::current().tint(m_look.module);
        QRectF tile(QPointF(), m_look.glass);
        tile.moveCenter(QRectF(rect()).center());
        paintRailGlass(on, tile, 24, railControlGlass(tint, m_look.shadow), withAlpha(tint, m_look.strokeOpacity),
                       m_look.strokeWidth);
        QRectF icon(QPointF(), QSizeF(50, 50));
        icon.moveCenter(tile.center());
        IconProvider::paint(on, icon, m_look.symbol, 25, OrlixStyle::current().symbolInk(tint), IconWeight::bold);
    });
}

} // namespace kolu
