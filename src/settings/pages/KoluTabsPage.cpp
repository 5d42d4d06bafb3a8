#include "settings/pages/KoluTabsPage.h"

#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/TodayVisuals.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/widgets/ShrinkLabel.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The switches' amber, the same in every theme.
QColor switchAmber()
{
    return QColor::fromRgbF(1.0f, 0.74f, 0.02f);
}

QString rowSymbol(RailModule module, const Clock &clock)
{
    return module == RailModule::today ? TodayVisuals::current(clock).symbol : symbol(module);
}

} // namespace

SettingsFeatureToggleRow::SettingsFeatureToggleRow(RailModule module, AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_module(module)
    , m_state(state)
    , m_symbol(new SymbolView(rowSymbol(module, state.clock()), 16, {24, 20}, this))
    , m_switch(new OrlixSwitch(this))
{
    setObjectName(u"featureToggleRow-"_s + rawValue(module));
    setFixedHeight(56);
    m_switch->setObjectName(u"featureToggle-"_s + rawValue(module));
    m_switch->setAccessibleName(title(module));
    m_switch->setTint(switchAmber());
    m_symbol->setColorSource([module] { return OrlixStyle::current().tint(module); });
    auto *title = new ShrinkLabel(kolu::title(module), this);
    title->setObjectName(u"featureToggleTitle"_s);
    title->setFont(OrlixFonts::system(15, QFont::Bold));
    title->setMinimumScaleFactor(0.82);
    title->setColor(OrlixStyle::current().text());
    onStyleChange(title, [title] { title->setColor(OrlixStyle::current().text()); });

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(18, 0, 14, 0);
    row->setSpacing(8);
    row->addWidget(m_symbol, 0, Qt::AlignVCenter);
    row->addWidget(title, 1, Qt::AlignVCenter);
    row->addWidget(m_switch, 0, Qt::AlignVCenter);

    connect(m_switch, &QAbstractButton::clicked, this, [this](bool on) {
        m_state.setRailModule(m_module, on);
        // A refused hide leaves the state as it was: show that.
        sync();
    });
    repaintOnStyleChange(this);
    sync();
}

void SettingsFeatureToggleRow::sync()
{
    const bool hidden = m_state.isModuleHidden(m_module);
    m_switch->setChecked(!hidden);
    m_switch->setEnabled(!(m_state.visibleRailModules().size() < 2 && !hidden));
    m_symbol->setSymbol(rowSymbol(m_module, m_state.clock()));
}

void SettingsFeatureToggleRow::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(style.surfaceRaised(), 0.62));
    painter.drawPath(continuousRoundedRect(card, 18));
    paintSettingsCardOutline(painter, card, 18, style.hairline(), 0.34);
}

const std::vector<RailModule> &SettingsKoluTabsPage::firstColumn()
{
    static const std::vector<RailModule> modules{RailModule::today,      RailModule::reminders, RailModule::links,
                                                 RailModule::nowPlaying, RailModule::notes,     RailModule::prayers};
    return modules;
}

const std::vector<RailModule> &SettingsKoluTabsPage::secondColumn()
{
    static const std::vector<RailModule> modules{RailModule::focus, RailModule::calendar, RailModule::fileTray,
                                                 RailModule::wallpapers};
    return modules;
}

SettingsKoluTabsPage::SettingsKoluTabsPage(SettingsView &view, QWidget *parent)
    : SettingsPageWidget(parent)
    , m_state(view.state())
    , m_count(settingsText(QString(), OrlixFonts::system(16, QFont::Bold), PaletteRole::secondaryText, 1))
{
    setObjectName(u"settingsKoluTabsPage"_s);
    fullWidth(this); // the page fills the content column
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    auto *card = new SettingsSectionCard(SettingsSectionCard::Variant::wide);
    page->addWidget(new SettingsGroup(tr("Visible Features"), card));
    QVBoxLayout *content = card->contentLayout();

    auto *header = new QWidget;
    auto *headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(0, 0, 0, 0);
    auto *heading = new QWidget;
    auto *headingRow = new QHBoxLayout(heading);
    headingRow->setContentsMargins(0, 0, 0, 0);
    headingRow->setSpacing(12);
    auto *headingSymbol = new SymbolView(u"slider.horizontal.3"_s, 20, {28, 25}, heading);
    headingSymbol->setRole(PaletteRole::iconPrimary);
    headingRow->addWidget(headingSymbol);
    headingRow->addWidget(settingsText(tr("Kolu Tabs"), OrlixFonts::system(22, QFont::Bold), PaletteRole::text, 1));
    headerRow->addWidget(heading, 1);
    m_count->setObjectName(u"koluTabsCount"_s);
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    headerRow->addWidget(m_count, 0, Qt::AlignVCenter);
    content->addWidget(fullWidth(header));

    content->addWidget(
        settingsText(tr("Drag icons in the Kolu rail to reorder them. Hide anything you do not use here."),
                     OrlixFonts::system(15, QFont::DemiBold), PaletteRole::secondaryText, 2));

    auto *columns = new QWidget;
    auto *columnsRow = new QHBoxLayout(columns);
    columnsRow->setContentsMargins(0, 0, 0, 0);
    columnsRow->setSpacing(42);
    for (const auto *modules : {&firstColumn(), &secondColumn()}) {
        auto *column = new QWidget;
        column->setObjectName(modules == &firstColumn() ? u"koluTabsFirstColumn"_s : u"koluTabsSecondColumn"_s);
        auto *stack = new QVBoxLayout(column);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(10);
        for (RailModule module : *modules) {
            auto *row = new SettingsFeatureToggleRow(module, m_state, column);
            m_rows[module] = row;
            stack->addWidget(row);
        }
        stack->addStretch(1);
        columnsRow->addWidget(column, 1, Qt::AlignTop);
    }
    content->addWidget(fullWidth(columns));

    connect(&m_state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::hiddenRailModules || field == AppState::Field::railModuleOrder)
            sync();
    });
    sync();
}

void SettingsKoluTabsPage::sync()
{
    m_count->setText(tr("%1 visible").arg(m_state.visibleRailModules().size()));
    for (auto &[module, row] : m_rows)
        row->sync();
}

} // namespace kolu
