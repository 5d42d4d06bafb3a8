#include "style/widgets/RailIconButton.h"

#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

RailIconButton::RailIconButton(const QString &symbol, const QString &help, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setObjectName(u"railIconButton"_s);
    setToolTip(help);
    setAccessibleName(help);
    setFixedSize(28, 28);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    repaintOnStyleChange(this);
}

void RailIconButton::setSymbol(const QString &symbol)
{
    if (m_symbol == symbol)
        return;
    m_symbol = symbol;
    update();
}

void RailIconButton::setSymbolSize(qreal size)
{
    if (qFuzzyCompare(m_symbolSize, size))
        return;
    m_symbolSize = size;
    update();
}

void RailIconButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QColor color = OrlixStyle::current().symbolInk(OrlixStyle::current().secondaryText());
    if (isDown())
        color.setAlphaF(color.alphaF() * 0.6f);
    IconProvider::paint(painter, rect(), m_symbol, m_symbolSize, color, IconWeight::bold);
}

} // namespace kolu
