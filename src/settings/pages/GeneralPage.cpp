#include "settings/pages/GeneralPage.h"

#include "model/BuildInfo.h"
#include "model/CountText.h"
#include "settings/SettingsLogo.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSlider.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/widgets/SegmentedPicker.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The developer credited on the page.
constexpr char kDeveloperName[] = "Kolu Contributors";

constexpr RailEdge kEdges[] = {RailEdge::left, RailEdge::right, RailEdge::top};
constexpr RailVerticalPosition kPositions[] = {RailVerticalPosition::top, RailVerticalPosition::center,
                                               RailVerticalPosition::bottom};
constexpr RailSize kSizes[] = {RailSize::standard, RailSize::large};

template<typename T, std::size_t N>
int indexOf(const T (&cases)[N], T value)
{
    const auto *it = std::find(std::begin(cases), std::end(cases), value);
    return it == std::end(cases) ? -1 : int(it - std::begin(cases));
}

QString edgeWord(RailEdge edge)
{
    switch (edge) {
    case RailEdge::left: return SettingsGeneralPage::tr("Left");
    case RailEdge::right: return SettingsGeneralPage::tr("Right");
    case RailEdge::top: return SettingsGeneralPage::tr("Top");
    }
    return {};
}

QString positionWord(RailVerticalPosition position)
{
    switch (position) {
    case RailVerticalPosition::top: return SettingsGeneralPage::tr("Upper");
    case RailVerticalPosition::center: return SettingsGeneralPage::tr("Middle");
    case RailVerticalPosition::bottom: return SettingsGeneralPage::tr("Lower");
    }
    return {};
}

QColor systemPurple()
{
    return QColor::fromRgbF(0.69f, 0.32f, 0.87f);
}

QColor systemGreen()
{
    return QColor::fromRgbF(0.20f, 0.78f, 0.35f);
}

// Heading, a flexible space, the control.
QWidget *controlRow(QWidget *heading, QWidget *control)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    // The rows under the lines breathe like the lines do.
    layout->setContentsMargins(0, 8, 0, 8);
    layout->setSpacing(12);
    layout->addWidget(heading, 1, Qt::AlignVCenter);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    return row;
}

SegmentedPicker *picker(const QString &name, const QString &accessibleName, const QStringList &segments, int width)
{
    auto *picker = new SegmentedPicker(segments);
    picker->setObjectName(name);
    picker->setAccessibleName(accessibleName);
    picker->setFixedWidth(width);
    return picker;
}

} // namespace

int SettingsGeneralPage::shownHoldSeconds(double storedSeconds)
{
    if (std::isnan(storedSeconds))
        return 1;
    return int(std::trunc(std::clamp(storedSeconds, 1.0, 10.0)));
}

QString SettingsGeneralPage::summaryLine(const AppState &state)
{
    const QString separator = u" \u2022 "_s;
    QString edge = edgeWord(state.railEdge());
    if (state.railEdge() != RailEdge::top)
        edge += u' ' + positionWord(state.railVerticalPosition());
    return countText(qint64(state.visibleRailModules().size()), tr("visible tab"), tr("visible tabs")) + separator
           + edge + separator + (state.railSize() == RailSize::large ? u"125%"_s : u"100%"_s) + separator
           + tr("%1s menu hold").arg(shownHoldSeconds(state.statusMenuOpenHoldDuration()));
}

SettingsGeneralPage::SettingsGeneralPage(SettingsView &view, QWidget *parent)
    : SettingsPageWidget(parent)
    , m_view(view)
{
    setObjectName(u"settingsGeneralPage"_s);
    fullWidth(this); // the page fills the content column
    AppState &state = view.state();
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(26);
    page->addWidget(buildApplicationSection());
    page->addWidget(buildQuickActionsSection());
    connectRailControls();
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        switch (field) {
        case AppState::Field::railEdge:
        case AppState::Field::railVerticalPosition:
        case AppState::Field::railSize:
        case AppState::Field::statusMenuOpenHoldDuration:
        case AppState::Field::showMinimizeAllAppsButton:
        case AppState::Field::railModuleOrder:
        case AppState::Field::hiddenRailModules: sync(); break;
        default: break;
        }
    });
    sync();
}

QWidget *SettingsGeneralPage::buildApplicationSection()
{
    auto *card = new SettingsInfoCard;
    card->setObjectName(u"generalApplicationCard"_s);
    QVBoxLayout *rows = card->contentLayout();
    rows->setSpacing(0);
    auto addRow = [rows](QWidget *row) {
        if (rows->count() > 0)
            rows->addWidget(new SettingsDivider);
        rows->addWidget(fullWidth(row));
    };
    addRow(
        settingLine(tr("Kolu App"), QString::fromUtf8(buildinfo::kDisplayVersion), u"app.badge"_s, themeAccentColor()));
    addRow(settingLine(tr("Developer"), QString::fromUtf8(kDeveloperName), u"person.crop.circle"_s, systemPurple()));
    m_summary = settingLine(tr("Floating edge utility"), QString(), u"sidebar.right"_s, systemGreen());
    m_summary->setObjectName(u"generalSummaryRow"_s);
    addRow(m_summary);

    m_edge = picker(u"generalRailEdgePicker"_s, tr("Rail edge"), {tr("Left"), tr("Right"), tr("Top")}, 246);
    addRow(controlRow(settingsRowHeading(tr("Rail edge"), u"rectangle.inset.filled"_s, QString()), m_edge));

    m_position =
        picker(u"generalRailPositionPicker"_s, tr("Rail position"), {tr("Upper"), tr("Middle"), tr("Lower")}, 250);
    m_positionRow = controlRow(settingsRowHeading(tr("Rail position"), u"rectangle.inset.filled.and.person.filled"_s,
                                                  tr("Move the edge handle to the upper, middle, or lower corner.")),
                               m_position);
    m_positionRow->setObjectName(u"generalRailPositionRow"_s);
    m_positionDivider = new SettingsDivider;
    rows->addWidget(m_positionDivider);
    rows->addWidget(fullWidth(m_positionRow));

    m_size = picker(u"generalRailSizePicker"_s, tr("Rail size"), {tr("Standard"), tr("Larger")}, 250);
    addRow(controlRow(settingsRowHeading(tr("Rail size"), u"arrow.up.left.and.arrow.down.right"_s,
                                         tr("Choose Standard or Larger for the edge rail.")),
                      m_size));
    QWidget *hold = buildMenuHoldControl();
    addRow(controlRow(settingsRowHeading(tr("Menu open time"), u"timer"_s,
                                         tr("Keep Kolu visible after choosing an item from the menu bar.")),
                      hold));
    addRow(buildMinimizeRow());

    for (int i = 0; i < rows->count(); ++i)
        if (QWidget *row = rows->itemAt(i)->widget(); row && !qobject_cast<SettingsDivider *>(row))
            row->setProperty("generalCardRow", true);
    return new SettingsGroup(tr("Application"), card);
}

QWidget *SettingsGeneralPage::buildMenuHoldControl()
{
    auto *hold = new QWidget;
    auto *holdLayout = new QHBoxLayout(hold);
    holdLayout->setContentsMargins(0, 0, 0, 0);
    holdLayout->setSpacing(10);
    m_hold = new OrlixSlider(hold);
    m_hold->setObjectName(u"generalMenuHoldSlider"_s);
    m_hold->setAccessibleName(tr("Menu open time"));
    m_hold->setRange(1, 10);
    m_hold->setFixedWidth(160);
    m_hold->setTint(themeAccentColor());
    onStyleChange(m_hold, [this] { m_hold->setTint(themeAccentColor()); });
    m_holdText = settingsText(QString(), OrlixFonts::monospacedDigits(12, QFont::Bold), PaletteRole::text, 1, hold);
    m_holdText->setObjectName(u"generalMenuHoldText"_s);
    m_holdText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_holdText->setFixedWidth(46);
    holdLayout->addWidget(m_hold, 0, Qt::AlignVCenter);
    holdLayout->addWidget(m_holdText, 0, Qt::AlignVCenter);
    return hold;
}

QWidget *SettingsGeneralPage::buildMinimizeRow()
{
    auto *minimizeLabel = new QWidget;
    auto *minimizeText = new QVBoxLayout(minimizeLabel);
    minimizeText->setContentsMargins(0, 0, 0, 0);
    minimizeText->setSpacing(2);
    minimizeText->addWidget(
        settingsText(tr("Minimize All Apps Button"), OrlixFonts::system(13, QFont::Bold), PaletteRole::text, 0));
    minimizeText->addWidget(settingsText(tr("Show the minimize shortcut in the rail above Refresh and Settings."),
                                         OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 0));
    m_minimize = new OrlixSwitch;
    m_minimize->setObjectName(u"generalMinimizeSwitch"_s);
    m_minimize->setAccessibleName(tr("Minimize All Apps Button"));
    return controlRow(minimizeLabel, m_minimize);
}

QWidget *SettingsGeneralPage::buildQuickActionsSection()
{
    AppState &state = m_view.state();
    auto *actions = new SettingsInfoCard;
    auto *buttons = new QWidget;
    auto *buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->setSpacing(10);
    auto *refresh = new OrlixButton(OrlixButton::Kind::primary, tr("Refresh Kolu"));
    refresh->setObjectName(u"generalRefreshButton"_s);
    refresh->setSymbol(u"arrow.clockwise"_s);
    auto *manage = new OrlixButton(OrlixButton::Kind::secondary, tr("Manage Tabs"));
    manage->setObjectName(u"generalManageTabsButton"_s);
    manage->setSymbol(u"square.grid.2x2"_s);
    auto *highlights = new OrlixButton(OrlixButton::Kind::secondary, tr("Show Highlights"));
    highlights->setObjectName(u"generalShowHighlightsButton"_s);
    highlights->setSymbol(u"sparkles"_s);
    buttonRow->addWidget(refresh);
    buttonRow->addWidget(manage);
    buttonRow->addWidget(highlights);
    buttonRow->addStretch(1);
    actions->contentLayout()->addWidget(fullWidth(buttons));

    connect(refresh, &QAbstractButton::clicked, this, [&state] { state.refreshAll(); });
    connect(manage, &QAbstractButton::clicked, this, [this] { m_view.setSelectedPage(OrlixSettingsPage::tabs); });
    connect(highlights, &QAbstractButton::clicked, this, [&state] {
        // The window layer brings the program to the front with the window.
        state.requestOnboarding();
    });
    return new SettingsGroup(tr("Quick Actions"), actions);
}

void SettingsGeneralPage::connectRailControls()
{
    AppState &state = m_view.state();
    connect(m_edge, &SegmentedPicker::activated, this, [&state](int index) {
        if (index >= 0 && index < int(std::size(kEdges)))
            state.setRailEdge(kEdges[index]);
    });
    connect(m_position, &SegmentedPicker::activated, this, [&state](int index) {
        if (index >= 0 && index < int(std::size(kPositions)))
            state.setRailVerticalPosition(kPositions[index]);
    });
    connect(m_size, &SegmentedPicker::activated, this, [&state](int index) {
        if (index >= 0 && index < int(std::size(kSizes)))
            state.setRailSize(kSizes[index]);
    });
    // Only a move by the user writes the hold; a stored 4.5 stays 4.5.
    connect(m_hold, &OrlixSlider::moved, this, [&state](int seconds) { state.setStatusMenuOpenHoldDuration(seconds); });
    connect(m_minimize, &QAbstractButton::clicked, this, [&state](bool on) { state.setShowMinimizeAllAppsButton(on); });
}

void SettingsGeneralPage::sync()
{
    const AppState &state = m_view.state();
    m_summary->detailLabel()->setText(summaryLine(state));
    m_edge->setCurrentIndex(indexOf(kEdges, state.railEdge()));
    m_position->setCurrentIndex(indexOf(kPositions, state.railVerticalPosition()));
    const bool side = state.railEdge() != RailEdge::top;
    m_positionRow->setVisible(side);
    m_positionDivider->setVisible(side);
    m_size->setCurrentIndex(indexOf(kSizes, state.railSize()));
    const int seconds = shownHoldSeconds(state.statusMenuOpenHoldDuration());
    {
        const QSignalBlocker quiet(m_hold);
        m_hold->setValue(seconds);
    }
    m_holdText->setText(tr("%1 sec").arg(seconds));
    m_minimize->setChecked(state.showMinimizeAllAppsButton());
}

} // namespace kolu
