#include "settings/pages/AppearancePage.h"

#include "settings/SettingsLogo.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "settings/SettingsViewSettings.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/HeroColor.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ColorWell.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/SegmentedPicker.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolView.h"
#include "style/widgets/SymbolLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(float(r), float(g), float(b));
}

QString modeTitle(OrlixAppearanceMode mode)
{
    switch (mode) {
    case OrlixAppearanceMode::system: return SettingsAppearancePage::tr("Follow System");
    case OrlixAppearanceMode::dark: return SettingsAppearancePage::tr("Dark");
    case OrlixAppearanceMode::light: return SettingsAppearancePage::tr("Light");
    }
    return {};
}

// Header: a labelled title, a space, the current choice.
QWidget *sectionHeader(const QString &title, const QString &symbol, ElidedLabel *value)
{
    auto *header = new QWidget;
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(
        new SymbolLabel(title, symbol, OrlixFonts::system(15, QFont::Bold), PaletteRole::text, SymbolLabel::Fit::line),
        1, Qt::AlignVCenter);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(value, 0, Qt::AlignVCenter);
    return header;
}

void fillRounded(QPainter &painter, const QRectF &rect, qreal radius, const QColor &color)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(continuousRoundedRect(rect, radius));
}

// The hero colour row's card.
class HeroColorRow : public QWidget {
public:
    explicit HeroColorRow(QWidget *parent = nullptr)
        : QWidget(parent)
    {
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const OrlixStyle &style = OrlixStyle::current();
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF card = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
        fillRounded(painter, card, 12, withAlpha(style.surface(), 0.42));
        paintSettingsCardOutline(painter, card, 12, themeAccentColor(), 0.24);
    }
};

} // namespace

std::vector<QColor> themeSwatchColors(OrlixTheme theme, const QColor &hero)
{
    switch (theme) {
    case OrlixTheme::default_: return {rgb(0.62, 0.79, 1.0), rgb(0.115, 0.108, 0.096), QColor(Qt::white)};
    case OrlixTheme::flatOlive: return {rgb(0.955, 0.93, 0.865), rgb(0.56, 0.665, 0.315), rgb(0.93, 0.56, 0.745)};
    case OrlixTheme::activeDark:
        return {rgb(0.052, 0.052, 0.05), rgb(1.0, 0.315, 0.095), rgb(0.32, 0.86, 0.36), rgb(0.61, 0.71, 0.95)};
    case OrlixTheme::heroLight: {
        const QColor h = hero.toRgb();
        const QColor blended = h.isValid() ? rgb(h.redF() + (1 - h.redF()) * 0.58, h.greenF() + (1 - h.greenF()) * 0.58,
                                                 h.blueF() + (1 - h.blueF()) * 0.58)
                                           : hero;
        return {rgb(0.975, 0.98, 0.988), hero, blended, rgb(0.17, 0.18, 0.205)};
    }
    }
    return {};
}

QString themeTitle(OrlixTheme theme)
{
    switch (theme) {
    case OrlixTheme::default_: return SettingsAppearancePage::tr("Default");
    case OrlixTheme::flatOlive: return SettingsAppearancePage::tr("Flat Olive");
    case OrlixTheme::activeDark: return SettingsAppearancePage::tr("Active Dark");
    case OrlixTheme::heroLight: return SettingsAppearancePage::tr("Hero Light");
    }
    return {};
}

QString themeDetail(OrlixTheme theme)
{
    switch (theme) {
    case OrlixTheme::default_: return SettingsAppearancePage::tr("Liquid glass with the original Kolu palette.");
    case OrlixTheme::flatOlive: return SettingsAppearancePage::tr("Warm flat surfaces with olive actions.");
    case OrlixTheme::activeDark: return SettingsAppearancePage::tr("Deep black with vivid sport accents.");
    case OrlixTheme::heroLight: return SettingsAppearancePage::tr("Bright white surfaces with your hero color.");
    }
    return {};
}

ThemeSwatches::ThemeSwatches(OrlixTheme theme, QWidget *parent)
    : QWidget(parent)
    , m_theme(theme)
{
    setObjectName(u"themeSwatches-"_s + rawValue(theme));
    // Four circles run past the 48 pt the row gives them, into the space
    // before the titles.
    setFixedSize(18 + 3 * 13, 18);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    repaintOnStyleChange(this);
}

std::vector<QColor> ThemeSwatches::colors() const
{
    return themeSwatchColors(m_theme, OrlixStyle::current().heroColor());
}

void ThemeSwatches::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor hairline = withAlpha(OrlixStyle::current().hairline(), 0.45);
    qreal x = 0;
    for (const QColor &color : colors()) {
        const QRectF circle(x + 0.4, 0.4, 17.2, 17.2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(circle);
        painter.setPen(QPen(hairline, 0.8));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(circle);
        x += 18 - 5;
    }
}

ThemeRow::ThemeRow(OrlixTheme theme, QWidget *parent)
    : QAbstractButton(parent)
    , m_theme(theme)
    , m_swatches(new ThemeSwatches(theme, this))
    , m_mark(nullptr)
{
    setObjectName(u"themeRow-"_s + rawValue(theme));
    setAccessibleName(themeTitle(theme));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    m_mark = new SymbolView(u"circle"_s, 17, {22, 22}, this);
    m_mark->setColorSource([this] { return m_selected ? themeAccentColor() : OrlixStyle::current().iconSecondary(); });

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(0);
    row->addWidget(m_swatches, 0, Qt::AlignVCenter);
    row->addSpacing(48 + 12 - m_swatches->width());
    auto *texts = new QWidget(this);
    texts->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *column = new QVBoxLayout(texts);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(settingsText(themeTitle(theme), OrlixFonts::system(13, QFont::Bold), PaletteRole::text, 1));
    column->addWidget(
        settingsText(themeDetail(theme), OrlixFonts::system(11, QFont::DemiBold), PaletteRole::secondaryText, 1));
    row->addWidget(texts, 1, Qt::AlignVCenter);
    row->addSpacing(12);
    row->addWidget(m_mark, 0, Qt::AlignVCenter);
    repaintOnStyleChange(this);
}

void ThemeRow::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    m_mark->setSymbol(selected ? u"checkmark.circle.fill"_s : u"circle"_s);
    m_mark->update();
    update();
}

QSize ThemeRow::sizeHint() const
{
    return layout() ? layout()->sizeHint() : QSize(300, 56);
}

void ThemeRow::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    fillRounded(painter, card, 12,
                m_selected ? withAlpha(style.surfaceRaised(), 0.74) : withAlpha(style.surface(), 0.42));
    if (m_selected)
        paintSettingsCardOutline(painter, card, 12, themeAccentColor(), 0.34);
    else
        paintSettingsCardOutline(painter, card, 12, style.hairline(), 0.2);
}

SettingsAppearancePage::SettingsAppearancePage(SettingsView &view, QWidget *parent)
    : SettingsPageWidget(parent)
    , m_settings(view.viewSettings())
    , m_modeTitle(settingsText(QString(), OrlixFonts::system(12, QFont::Bold), PaletteRole::secondaryText, 1))
    , m_mode(new SegmentedPicker)
    , m_themeTitle(settingsText(QString(), OrlixFonts::system(12, QFont::Bold), PaletteRole::secondaryText, 1))
    , m_heroRow(new HeroColorRow)
    , m_well(new ColorWell)
{
    setObjectName(u"settingsAppearancePage"_s);
    fullWidth(this); // the page fills the content column
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    auto *card = new SettingsSectionCard;
    page->addWidget(new SettingsGroup(tr("Appearance"), card));
    QVBoxLayout *content = card->contentLayout();

    m_modeTitle->setObjectName(u"appearanceModeTitle"_s);
    content->addWidget(fullWidth(sectionHeader(tr("Appearance"), u"circle.lefthalf.filled"_s, m_modeTitle)));
    QStringList modes;
    for (OrlixAppearanceMode mode : allCases<OrlixAppearanceMode>())
        modes << modeTitle(mode);
    m_mode->setSegments(modes);
    m_mode->setObjectName(u"appearanceModePicker"_s);
    m_mode->setAccessibleName(tr("Appearance"));
    content->addWidget(fullWidth(m_mode));
    content->addWidget(new SettingsDivider);

    m_themeTitle->setObjectName(u"appearanceThemeTitle"_s);
    QWidget *themeHeader = sectionHeader(tr("Theme"), u"paintpalette"_s, m_themeTitle);
    themeHeader->setContentsMargins(0, 2, 0, 0);
    content->addWidget(fullWidth(themeHeader));
    auto *list = new QWidget;
    auto *stack = new QVBoxLayout(list);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);
    for (OrlixTheme theme : allCases<OrlixTheme>()) {
        auto *row = new ThemeRow(theme, list);
        m_rows.push_back(row);
        stack->addWidget(row);
        connect(row, &QAbstractButton::clicked, this, [this, theme] { m_settings.setThemeRaw(rawValue(theme)); });
    }
    content->addWidget(fullWidth(list));

    m_heroRow->setObjectName(u"heroColorRow"_s);
    auto *heroLayout = new QHBoxLayout(m_heroRow);
    heroLayout->setContentsMargins(10, 10, 10, 10);
    heroLayout->setSpacing(12);
    auto *heroTexts = new QWidget(m_heroRow);
    auto *heroColumn = new QVBoxLayout(heroTexts);
    heroColumn->setContentsMargins(0, 0, 0, 0);
    heroColumn->setSpacing(2);
    heroColumn->addWidget(settingsText(tr("Hero Color"), OrlixFonts::system(12, QFont::Bold), PaletteRole::text, 1));
    heroColumn->addWidget(settingsText(tr("Active controls, selected tabs, and icons follow this color."),
                                       OrlixFonts::system(11, QFont::DemiBold), PaletteRole::secondaryText, 2));
    heroLayout->addWidget(heroTexts, 1, Qt::AlignVCenter);
    m_well->setObjectName(u"heroColorWell"_s);
    m_well->setAccessibleName(tr("Hero Color"));
    heroLayout->addWidget(m_well, 0, Qt::AlignVCenter);
    content->addWidget(fullWidth(m_heroRow));

    connect(m_mode, &SegmentedPicker::activated, this, [this](int index) {
        const auto modes = allCases<OrlixAppearanceMode>();
        if (index >= 0 && index < int(modes.size()))
            m_settings.setAppearanceModeRaw(rawValue(modes[std::size_t(index)]));
    });
    connect(m_well, &ColorWell::colorPicked, this, [this](const QColor &color) {
        // A colour without an sRGB form leaves the stored text as it is.
        m_settings.setHeroColorHex(hexString(color).value_or(m_settings.heroColorHex()));
    });
    connect(&m_settings, &SettingsViewSettings::changed, this, &SettingsAppearancePage::sync);
    onStyleChange(this, &SettingsAppearancePage::sync);
    sync();
}

void SettingsAppearancePage::sync()
{
    const QString storedMode = m_settings.appearanceModeRaw();
    const auto mode = fromRawValue<OrlixAppearanceMode>(storedMode);
    m_modeTitle->setText(modeTitle(mode.value_or(OrlixAppearanceMode::system)));
    m_mode->setCurrentIndex(mode ? int(*mode) : -1);

    const QString storedTheme = m_settings.themeRaw();
    const auto theme = fromRawValue<OrlixTheme>(storedTheme);
    m_themeTitle->setText(themeTitle(theme.value_or(OrlixTheme::default_)));
    for (ThemeRow *row : m_rows)
        row->setSelected(theme && row->theme() == *theme);
    m_heroRow->setVisible(theme == OrlixTheme::heroLight);
    m_well->setColor(OrlixStyle::current().heroColor());
}

} // namespace kolu
