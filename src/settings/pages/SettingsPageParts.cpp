#include "settings/pages/SettingsPageParts.h"

#include "settings/SettingsRowKit.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace kolu {

namespace {

constexpr int kSymbolGap = 6;

} // namespace

SettingsSymbolLabel::SettingsSymbolLabel(const QString &text, const QString &symbol, const QFont &font,
                                         PaletteRole role, int maximumLines, QWidget *parent)
    : QWidget(parent)
    , m_symbol(symbol)
    , m_font(font)
    , m_role(role)
    , m_label(new ElidedLabel(text, this))
{
    m_label->setFont(font);
    m_label->setMaximumLines(maximumLines);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(symbolExtent() + kSymbolGap, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_label, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    applyColor();
    connect(&OrlixStyle::current(), &OrlixStyle::changed, this, &SettingsSymbolLabel::applyColor);
}

QString SettingsSymbolLabel::text() const
{
    return m_label->text();
}

void SettingsSymbolLabel::setText(const QString &text)
{
    m_label->setText(text);
    updateGeometry();
}

void SettingsSymbolLabel::setColor(const QColor &color)
{
    m_fixed = color;
    applyColor();
}

QColor SettingsSymbolLabel::color() const
{
    return m_fixed.isValid() ? m_fixed : OrlixStyle::current().color(m_role);
}

void SettingsSymbolLabel::applyColor()
{
    m_label->setColor(color());
    update();
}

int SettingsSymbolLabel::symbolExtent() const
{
    return static_cast<int>(std::ceil(QFontMetricsF(m_font).height()));
}

int SettingsSymbolLabel::heightForWidth(int width) const
{
    const int textWidth = std::max(1, width - symbolExtent() - kSymbolGap);
    return std::max(symbolExtent(), m_label->heightForWidth(textWidth));
}

QSize SettingsSymbolLabel::sizeHint() const
{
    const QSize label = m_label->sizeHint();
    return {label.width() + symbolExtent() + kSymbolGap, std::max(label.height(), symbolExtent())};
}

QSize SettingsSymbolLabel::minimumSizeHint() const
{
    const QSize label = m_label->minimumSizeHint();
    return {label.width() + symbolExtent() + kSymbolGap, std::max(label.height(), symbolExtent())};
}

void SettingsSymbolLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal side = symbolExtent();
    const QRectF square(0, 0, side, side);
    // The kit's fonts are sized in pixels; a point size is unset (-1) then.
    const qreal size = m_font.pointSizeF() > 0 ? m_font.pointSizeF() : m_font.pixelSize();
    IconProvider::paint(painter, square, m_symbol, size * 0.95, color(),
                        m_font.weight() >= QFont::DemiBold ? IconWeight::bold : IconWeight::regular);
}

OrlixButton *settingsPageButton(OrlixButton::Kind kind, const QString &text, const QString &symbol,
                                const QString &objectName, QWidget *parent)
{
    auto *button = new OrlixButton(kind, text, parent);
    button->setSymbol(symbol);
    button->setObjectName(objectName);
    return button;
}

QWidget *settingsCardHeader(const QString &title, const QString &symbol, const QString &trailingText,
                            ElidedLabel **trailing, QWidget *parent)
{
    auto *header = new QWidget(parent);
    auto *layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *titleLabel =
        new SettingsSymbolLabel(title, symbol, OrlixFonts::system(15, QFont::Bold), PaletteRole::text, 1, header);
    titleLabel->setObjectName(QStringLiteral("settingsCardTitle"));
    layout->addWidget(titleLabel, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    auto *badge =
        settingsText(trailingText, OrlixFonts::system(12, QFont::Bold), PaletteRole::secondaryText, 1, header);
    badge->setAlignment(Qt::AlignRight);
    layout->addWidget(badge, 0, Qt::AlignVCenter);
    if (trailing)
        *trailing = badge;
    return header;
}

QWidget *settingsSectionPage(const QString &groupTitle, SettingsSectionCard **card, QWidget *parent)
{
    auto *sectionCard = new SettingsSectionCard(SettingsSectionCard::Variant::standard);
    sectionCard->contentLayout()->setSpacing(12);
    auto *group = new SettingsGroup(groupTitle, sectionCard, parent);
    *card = sectionCard;
    return group;
}

} // namespace kolu
