#include "style/widgets/SymbolLabel.h"

#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolView.h"

#include <QFontMetricsF>
#include <QHBoxLayout>

#include <cmath>

namespace kolu {

namespace {

constexpr int kSymbolGap = 6;

// The kit's fonts are sized in pixels; a point size is unset (-1) then.
qreal textSize(const QFont &font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize();
}

qreal symbolSize(const QFont &font, SymbolLabel::Fit fit)
{
    return fit == SymbolLabel::Fit::firstLine ? textSize(font) * 0.95 : textSize(font);
}

QSize symbolFrame(const QFont &font, SymbolLabel::Fit fit)
{
    qreal side = 0;
    switch (fit) {
    case SymbolLabel::Fit::firstLine: side = QFontMetricsF(font).height(); break;
    case SymbolLabel::Fit::line: side = textSize(font) * 1.25; break;
    case SymbolLabel::Fit::wideLine: side = textSize(font) * 1.3; break;
    }
    const int whole = int(std::ceil(side));
    return {whole, whole};
}

} // namespace

SymbolLabel::SymbolLabel(const QString &text, const QString &symbol, const QFont &font, PaletteRole role, Fit fit,
                         QWidget *parent)
    : QWidget(parent)
    , m_role(role)
    , m_symbol(new SymbolView(symbol, symbolSize(font, fit), symbolFrame(font, fit), this))
    , m_label(new ElidedLabel(text, this))
{
    m_symbol->setWeight(font.bold() ? IconWeight::bold : IconWeight::regular);
    m_symbol->setColorSource([this] { return color(); });
    m_label->setFont(font);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kSymbolGap);
    if (fit == Fit::firstLine) {
        row->addWidget(m_symbol, 0, Qt::AlignTop);
        row->addWidget(m_label, 1);
    } else {
        row->addWidget(m_symbol, 0, Qt::AlignVCenter);
        row->addWidget(m_label, 1, Qt::AlignVCenter);
    }
    applyColor();
    onStyleChange(this, [this] { applyColor(); });
}

QString SymbolLabel::text() const
{
    return m_label->text();
}

void SymbolLabel::setText(const QString &text)
{
    m_label->setText(text);
    updateGeometry();
}

void SymbolLabel::setMaximumLines(int lines)
{
    m_label->setMaximumLines(lines);
}

void SymbolLabel::setColor(const QColor &color)
{
    m_fixed = color;
    applyColor();
}

QColor SymbolLabel::color() const
{
    return m_fixed.isValid() ? m_fixed : OrlixStyle::current().color(m_role);
}

void SymbolLabel::applyColor()
{
    m_label->setColor(m_fixed.isValid() ? m_fixed : OrlixStyle::current().readable(color()));
    m_symbol->update();
}

} // namespace kolu
