#include "settings/pages/LocalDataPage.h"

#include "model/CountText.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "settings/pages/WebSearchSection.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/SegmentedPicker.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

WebSearchPanel::WebSearchPanel(QWidget *content, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"webSearchPanel"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(content);
    repaintOnStyleChange(this);
}

void WebSearchPanel::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF panel = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(style.surface(), 0.34));
    painter.drawPath(continuousRoundedRect(panel, 12));
    paintSettingsCardOutline(painter, panel, 12, style.hairline(), 0.24);
}

LocalDataPage::LocalDataPage(SettingsView &view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
{
    AppState &state = view.state();
    setObjectName(u"localDataPage"_s);
    const OrlixStyle &style = OrlixStyle::current();
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    SettingsSectionCard *card = nullptr;
    outer->addWidget(settingsSectionPage(tr("Local Holding Areas"), &card, this));
    QVBoxLayout *content = card->contentLayout();

    content->addWidget(
        settingsCardHeader(tr("Local Holding Areas"), u"tray.full"_s, tr("Stored on this computer"), nullptr));

    auto *rows = new QVBoxLayout;
    rows->setSpacing(8);
    m_linksRow = settingsStatusRow(tr("Copy & Links"), {}, u"star"_s, style.tint(RailModule::links));
    m_linksRow->setObjectName(u"localDataLinksRow"_s);
    m_trayRow = settingsStatusRow(tr("File Tray"), {}, u"tray.and.arrow.down"_s, style.tint(RailModule::fileTray));
    m_trayRow->setObjectName(u"localDataTrayRow"_s);
    rows->addWidget(m_linksRow);
    rows->addWidget(m_trayRow);
    content->addLayout(rows);

    auto *history = new QHBoxLayout;
    history->setSpacing(12);
    history->setContentsMargins(0, 4, 0, 4);
    auto *historyText = new QVBoxLayout;
    historyText->setSpacing(2);
    historyText->addWidget(
        new SymbolLabel(tr("Clipboard history"), u"doc.on.clipboard"_s, OrlixFonts::system(13, QFont::Bold)));
    historyText->addWidget(settingsText(tr("Choose how many recent copied items Kolu keeps."),
                                        OrlixFonts::system(11, QFont::DemiBold), PaletteRole::secondaryText, 0));
    history->addLayout(historyText, 1);
    QStringList segments;
    for (const int option : AppState::clipboardHistoryLimitOptions)
        segments << QString::number(option);
    m_limit = new SegmentedPicker(segments);
    m_limit->setObjectName(u"clipboardHistoryPicker"_s);
    m_limit->setAccessibleName(tr("Clipboard history"));
    m_limit->setFixedWidth(220);
    history->addWidget(m_limit, 0, Qt::AlignVCenter);
    content->addLayout(history);
    connect(m_limit, &SegmentedPicker::activated, this, [&state](int index) {
        const auto &options = AppState::clipboardHistoryLimitOptions;
        if (index >= 0 && index < static_cast<int>(options.size())
            && state.clipboardHistoryLimit() != options[static_cast<std::size_t>(index)])
            state.setClipboardHistoryLimit(options[static_cast<std::size_t>(index)]);
    });

    content->addWidget(new WebSearchPanel(new WebSearchSection(view)));

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    auto *openLinks = settingsPageButton(OrlixButton::Kind::primary, tr("Open Copy & Links"), u"doc.on.doc"_s,
                                         u"localDataOpenLinks"_s);
    auto *openTray = settingsPageButton(OrlixButton::Kind::secondary, tr("Open File Tray"), u"tray.and.arrow.down"_s,
                                        u"localDataOpenTray"_s);
    m_clearTray =
        settingsPageButton(OrlixButton::Kind::secondary, tr("Clear Tray"), u"trash"_s, u"localDataClearTray"_s);
    connect(openLinks, &OrlixButton::clicked, this, [this] { m_view.openModule(RailModule::links); });
    connect(openTray, &OrlixButton::clicked, this, [this] { m_view.openModule(RailModule::fileTray); });
    connect(m_clearTray, &OrlixButton::clicked, this, [&state] {
        // Only the list: the held files stay where they are.
        state.setFileTrayItems({});
        state.setSelectedFileTrayIDs({});
    });
    buttons->addWidget(openLinks);
    buttons->addWidget(openTray);
    buttons->addWidget(m_clearTray);
    buttons->addStretch(1);
    content->addLayout(buttons);

    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        switch (field) {
        case AppState::Field::links:
        case AppState::Field::clipboardItems:
        case AppState::Field::fileTrayItems:
        case AppState::Field::clipboardHistoryLimit: sync(); break;
        default: break;
        }
    });
    sync();
}

void LocalDataPage::sync()
{
    const AppState &state = m_view.state();
    m_linksRow->detailLabel()->setText(
        countText(qint64(state.links().size()), tr("link"), tr("links")) + u", "_s
        + countText(qint64(state.clipboardItems().size()), tr("captured copy"), tr("captured copies")));
    m_trayRow->detailLabel()->setText(countText(qint64(state.fileTrayItems().size()), tr("held file"), tr("held files"))
                                      + tr(". References original files without moving them."));
    m_clearTray->setEnabled(!state.fileTrayItems().empty());
    const auto &options = AppState::clipboardHistoryLimitOptions;
    const auto it = std::find(options.begin(), options.end(), state.clipboardHistoryLimit());
    m_limit->setCurrentIndex(it == options.end() ? -1 : static_cast<int>(it - options.begin()));
}

} // namespace kolu
