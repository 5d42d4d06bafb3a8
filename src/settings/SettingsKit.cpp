#include "settings/SettingsKit.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/GlassProfile.h"
#include "style/IconProvider.h"
#include "style/LiquidGlassSurface.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolLabel.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// "As many lines as needed" for a label that elides after a fixed count.
constexpr int kUnlimitedLines = 1000;

void fillRounded(QPainter &painter, const QRectF &rect, qreal radius, const QColor &color)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(continuousRoundedRect(rect, radius));
}

} // namespace

ElidedLabel *settingsText(const QString &text, const QFont &font, PaletteRole role, int maximumLines, QWidget *parent)
{
    auto *label = new ElidedLabel(text, parent);
    label->setFont(font);
    label->setMaximumLines(maximumLines > 0 ? maximumLines : kUnlimitedLines);
    // The quieter roles too stay readable on the window's light surfaces.
    const auto ink = [role] { return OrlixStyle::current().readable(OrlixStyle::current().color(role)); };
    label->setColor(ink());
    onStyleChange(label, [label, ink] { label->setColor(ink()); });
    return label;
}

void paintSettingsCardOutline(QPainter &painter, const QRectF &rect, qreal cornerRadius, const QColor &color,
                              qreal opacity)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(withAlpha(color, opacity), 0.8);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(continuousRoundedRect(rect, cornerRadius));
    painter.restore();
}

SettingsGroup::SettingsGroup(const QString &title, QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_title(settingsText(title, OrlixFonts::system(15, QFont::Bold), PaletteRole::text, 0, this))
{
    setObjectName(u"settingsGroup"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(m_title);
    if (content)
        layout->addWidget(content);
}

SettingsSectionCard::SettingsSectionCard(Variant variant, QWidget *parent)
    : QWidget(parent)
    , m_variant(variant)
    , m_layout(new QVBoxLayout(this))
{
    setObjectName(variant == Variant::wide ? u"settingsWideSectionCard"_s : u"settingsSectionCard"_s);
    if (variant == Variant::wide) {
        m_layout->setSpacing(22);
        m_layout->setContentsMargins(28, 26, 28, 26);
    } else {
        m_layout->setSpacing(12);
        m_layout->setContentsMargins(14, 14, 14, 14);
    }
    m_layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    repaintOnStyleChange(this);
}

void SettingsSectionCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    LiquidGlassSurface::paint(painter, QRectF(rect()), m_variant == Variant::wide ? 24 : 16, OrlixGlassProfile::card());
}

SettingsInfoCard::SettingsInfoCard(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    setObjectName(u"settingsInfoCard"_s);
    m_layout->setSpacing(0);
    m_layout->setContentsMargins(14, 10, 14, 10);
    m_layout->setAlignment(Qt::AlignHCenter);
    repaintOnStyleChange(this);
}

void SettingsInfoCard::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    fillRounded(painter, card, 16, withAlpha(style.surfaceRaised(), 0.54));
    paintSettingsCardOutline(painter, card, 16, style.hairline(), 0.34);
}

SettingsDivider::SettingsDivider(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"settingsDivider"_s);
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

void SettingsDivider::paintEvent(QPaintEvent *)
{
    // 28 pt badge + 12 pt spacing: the rule starts under the row's text.
    QPainter painter(this);
    painter.fillRect(QRectF(40, 0, width() - 40, 1), withAlpha(OrlixStyle::current().line(), 0.72));
}

SettingsSymbolBadge::SettingsSymbolBadge(const QString &symbol, const QColor &tint, int side, qreal symbolSize,
                                         bool bold, QWidget *parent)
    : QWidget(parent)
    , m_symbol(symbol)
    , m_tint(tint)
    , m_symbolSize(symbolSize)
    , m_bold(bold)
{
    setObjectName(u"settingsSymbolBadge"_s);
    setFixedSize(side, side);
}

void SettingsSymbolBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    fillRounded(painter, QRectF(rect()), 8, withAlpha(m_tint, 0.12));
    IconProvider::paint(painter, QRectF(rect()), m_symbol, m_symbolSize,
                        OrlixStyle::current().symbolInk(m_tint, withAlpha(m_tint, 0.12)),
                        m_bold ? IconWeight::bold : IconWeight::regular);
}

SettingsRow::SettingsRow(Kind kind, const QString &title, const QString &detail, const QString &symbol,
                         const QColor &tint, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
{
    struct Metrics {
        int spacing, badge;
        qreal symbolSize, titleSize, detailSize;
        int titleLines;
        QMargins padding;
    };
    const Metrics m = kind == Kind::line     ? Metrics{12, 28, 15, 13, 12, 0, {0, 9, 0, 9}}
                      : kind == Kind::status ? Metrics{10, 26, 14, 12, 11, 1, {10, 10, 10, 10}}
                                             : Metrics{10, 28, 13, 12, 11, 0, {9, 9, 9, 9}};
    setObjectName(kind == Kind::line     ? u"settingLine"_s
                  : kind == Kind::status ? u"settingsStatusRow"_s
                                         : u"permissionActionRow"_s);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(m.padding);
    row->setSpacing(m.spacing);
    row->addWidget(new SettingsSymbolBadge(symbol, tint, m.badge, m.symbolSize, kind != Kind::line, this), 0,
                   Qt::AlignVCenter);

    auto *column = new QVBoxLayout;
    column->setSpacing(2);
    m_title = settingsText(title, OrlixFonts::system(m.titleSize, QFont::Bold), PaletteRole::text, m.titleLines, this);
    m_title->setObjectName(u"settingsRowTitle"_s);
    m_detail =
        settingsText(detail, OrlixFonts::system(m.detailSize, QFont::DemiBold), PaletteRole::secondaryText, 2, this);
    m_detail->setObjectName(u"settingsRowDetail"_s);
    column->addWidget(m_title);
    column->addWidget(m_detail);
    row->addLayout(column, 1);
    if (kind != Kind::line)
        repaintOnStyleChange(this);
}

void SettingsRow::paintEvent(QPaintEvent *)
{
    if (m_kind == Kind::line)
        return;
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    if (m_kind == Kind::status) {
        fillRounded(painter, card, 12, withAlpha(style.surfaceRaised(), 0.5));
        paintSettingsCardOutline(painter, card, 12, style.hairline(), 0.32);
    } else {
        fillRounded(painter, card, 12, withAlpha(style.surface(), 0.34));
        paintSettingsCardOutline(painter, card, 12, style.hairline(), 0.2);
    }
}

SettingsRow *settingLine(const QString &title, const QString &detail, const QString &symbol, const QColor &tint,
                         QWidget *parent)
{
    return new SettingsRow(SettingsRow::Kind::line, title, detail, symbol, tint, parent);
}

SettingsRow *settingsStatusRow(const QString &title, const QString &detail, const QString &symbol, const QColor &tint,
                               QWidget *parent)
{
    return new SettingsRow(SettingsRow::Kind::status, title, detail, symbol, tint, parent);
}

SettingsRow *permissionActionRow(const QString &title, const QString &detail, const QString &symbol, const QColor &tint,
                                 const QString &requestTitle, std::function<void()> requestAction,
                                 std::function<void()> settingsAction, QWidget *parent)
{
    auto *row = new SettingsRow(SettingsRow::Kind::permission, title, detail, symbol, tint, parent);
    auto *layout = static_cast<QHBoxLayout *>(row->layout());
    row->m_request = new OrlixButton(OrlixButton::Kind::secondary, requestTitle, row);
    row->m_request->setObjectName(u"permissionRequestButton"_s);
    QObject::connect(row->m_request, &OrlixButton::clicked, row, [action = std::move(requestAction)] {
        if (action)
            action();
    });
    row->m_settings = new OrlixButton(OrlixButton::Kind::secondary, QString(), row);
    row->m_settings->setObjectName(u"permissionSettingsButton"_s);
    row->m_settings->setSymbol(u"gearshape"_s);
    // Access to the desktop's folders is set up on Kolu's own pages.
    row->m_settings->setToolTip(u"Open Kolu settings"_s);
    QObject::connect(row->m_settings, &OrlixButton::clicked, row, [action = std::move(settingsAction)] {
        if (action)
            action();
    });
    layout->addWidget(row->m_request, 0, Qt::AlignVCenter);
    layout->addWidget(row->m_settings, 0, Qt::AlignVCenter);
    return row;
}

QWidget *settingsRowHeading(const QString &title, const QString &symbol, const QString &caption, QWidget *parent)
{
    auto *heading = new QWidget(parent);
    auto *column = new QVBoxLayout(heading);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(new SymbolLabel(title, symbol, OrlixFonts::system(13, QFont::Bold), PaletteRole::text,
                                      SymbolLabel::Fit::line, heading));
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
    auto *titleLabel = new SymbolLabel(title, symbol, OrlixFonts::system(15, QFont::Bold), PaletteRole::text,
                                       SymbolLabel::Fit::firstLine, header);
    titleLabel->setObjectName(u"settingsCardTitle"_s);
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
