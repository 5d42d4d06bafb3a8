#include "style/widgets/ModuleCard.h"

#include "style/LiquidGlassSurface.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

ModuleCard::ModuleCard(const QString &title, const QString &symbol, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
    , m_symbol(symbol)
    , m_layout(new QVBoxLayout(this))
{
    setObjectName(u"moduleCard"_s);
    m_layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    m_layout->setSpacing(kSpacing);
    // No alignment on the layout: an aligned layout is laid out at its size
    // hint, which for wrapped text is shorter than the height the card's
    // width needs, and the content would be squeezed into the top.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    repaintOnStyleChange(this);
}

void ModuleCard::addContent(QWidget *widget)
{
    m_layout->addWidget(widget);
}

void ModuleCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    LiquidGlassSurface::paint(painter, rect(), kCornerRadius, OrlixGlassProfile::card());
}

} // namespace kolu
