#include "style/widgets/ModuleCard.h"

#include "style/LiquidGlassSurface.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>

namespace kolu {

ModuleCard::ModuleCard(const QString &title, const QString &symbol, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
    , m_symbol(symbol)
    , m_layout(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("moduleCard"));
    m_layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    m_layout->setSpacing(kSpacing);
    m_layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
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
