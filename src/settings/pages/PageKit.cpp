#include "settings/pages/PageKit.h"

#include "settings/SettingsRowKit.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace kolu {

SettingsSymbol::SettingsSymbol(const QString &symbol, qreal pointSize, IconWeight weight, ColorSource color,
                               int frameWidth, QWidget *parent)
    : QWidget(parent)
    , m_symbol(symbol)
    , m_pointSize(pointSize)
    , m_weight(weight)
    , m_color(std::move(color))
    , m_frameWidth(frameWidth)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(sizeHint());
    repaintOnStyleChange(this);
}

void SettingsSymbol::setSymbol(const QString &symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    update();
}

QSize SettingsSymbol::sizeHint() const
{
    const int side = int(std::ceil(m_pointSize * 1.25));
    return {std::max(m_frameWidth, side), side};
}

void SettingsSymbol::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    IconProvider::paint(painter, QRectF(rect()), m_symbol, m_pointSize, m_color(), m_weight);
}

SettingsSymbol::ColorSource styleColor(PaletteRole role)
{
    return [role] { return OrlixStyle::current().color(role); };
}

QWidget *settingsSymbolLabel(const QString &title, const QString &symbol, const QFont &font, QWidget *parent)
{
    auto *label = new QWidget(parent);
    auto *row = new QHBoxLayout(label);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    const qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize();
    row->addWidget(new SettingsSymbol(symbol, size, font.bold() ? IconWeight::bold : IconWeight::regular,
                                      styleColor(PaletteRole::text), 0, label),
                   0, Qt::AlignVCenter);
    row->addWidget(settingsText(title, font, PaletteRole::text, 1, label), 1, Qt::AlignVCenter);
    return label;
}

QWidget *settingsRowHeading(const QString &title, const QString &symbol, const QString &caption, QWidget *parent)
{
    auto *heading = new QWidget(parent);
    auto *column = new QVBoxLayout(heading);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(settingsSymbolLabel(title, symbol, OrlixFonts::system(13, QFont::Bold), heading));
    if (!caption.isEmpty())
        column->addWidget(
            settingsText(caption, OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 0, heading));
    return heading;
}

QSize SettingsPageWidget::sizeHint() const
{
    // The column is as wide as its content asks, up to its own maximum.
    return {4096, QWidget::sizeHint().height()};
}

QWidget *fullWidth(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Expanding);
    widget->setSizePolicy(policy);
    return widget;
}

} // namespace kolu
