#include "settings/pages/WallpapersPage.h"

#include "platform/desktop/DesktopEnvironment.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

QString WallpapersPage::singlePictureNote()
{
    switch (detectDesktop(SessionEnvironment::current())) {
    case DesktopKind::gnome:
    case DesktopKind::cinnamon:
    case DesktopKind::mate: return tr("This desktop shows one wallpaper on every display.");
    default: return {};
    }
}

WallpapersPage::WallpapersPage(SettingsView &view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
{
    AppState &state = view.state();
    setObjectName(u"wallpapersPage"_s);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    SettingsSectionCard *card = nullptr;
    outer->addWidget(settingsSectionPage(tr("Desktop"), &card, this));
    QVBoxLayout *content = card->contentLayout();

    content->addWidget(settingsCardHeader(tr("Wallpapers"), u"photo.on.rectangle.angled"_s, {}, &m_badge));
    m_badge->setObjectName(u"wallpaperSourceBadge"_s);

    content->addWidget(settingsText(tr("Use a lightweight web wallpaper source, or choose a local image folder and "
                                       "browse it from the Wallpapers panel."),
                                    OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 0));

    auto *switchRow = new QHBoxLayout;
    switchRow->setSpacing(10);
    auto *switchTitle =
        settingsText(tr("Apply to all displays"), OrlixFonts::system(13, QFont::Normal), PaletteRole::text, 1);
    m_allDisplays = new OrlixSwitch;
    m_allDisplays->setObjectName(u"wallpaperAllDisplaysSwitch"_s);
    m_allDisplays->setCheckable(true);
    m_allDisplays->setChecked(state.wallpaperApplyToAllDisplays());
    m_allDisplays->setAccessibleName(tr("Apply to all displays"));
    switchRow->addWidget(switchTitle);
    switchRow->addStretch(1);
    switchRow->addWidget(m_allDisplays);
    content->addLayout(switchRow);
    if (const QString note = singlePictureNote(); !note.isEmpty()) {
        auto *noteLabel = settingsText(note, OrlixFonts::system(11, QFont::DemiBold), PaletteRole::secondaryText, 0);
        noteLabel->setObjectName(u"wallpaperSinglePictureNote"_s);
        content->addWidget(noteLabel);
    }
    connect(m_allDisplays, &OrlixSwitch::toggled, this, [&state](bool on) {
        if (state.wallpaperApplyToAllDisplays() != on)
            state.setWallpaperApplyToAllDisplays(on);
    });

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    m_refresh =
        settingsPageButton(OrlixButton::Kind::secondary, tr("Refresh"), u"arrow.clockwise"_s, u"wallpaperRefresh"_s);
    auto *choose =
        settingsPageButton(OrlixButton::Kind::secondary, tr("Choose Folder"), u"folder"_s, u"wallpaperChooseFolder"_s);
    auto *open = settingsPageButton(OrlixButton::Kind::primary, tr("Open Wallpapers"), u"sidebar.right"_s,
                                    u"wallpaperOpenModule"_s);
    connect(m_refresh, &OrlixButton::clicked, this, [&state] { state.refreshWallpaper(true); });
    connect(choose, &OrlixButton::clicked, this, [&state] { state.chooseWallpaperFolder(); });
    connect(open, &OrlixButton::clicked, this, [this] { m_view.openModule(RailModule::wallpapers); });
    buttons->addWidget(m_refresh);
    buttons->addWidget(choose);
    buttons->addWidget(open);
    buttons->addStretch(1);
    content->addLayout(buttons);

    m_useWeb = settingsPageButton(OrlixButton::Kind::secondary, tr("Use Web Library Instead"), u"xmark.circle"_s,
                                  u"wallpaperUseWebLibrary"_s);
    connect(m_useWeb, &OrlixButton::clicked, this, [&state] { state.clearWallpaperFolder(); });
    content->addWidget(m_useWeb, 0, Qt::AlignLeft);

    m_sourceLine = settingsText({}, OrlixFonts::system(12, QFont::Medium), PaletteRole::secondaryText, 0);
    m_sourceLine->setObjectName(u"wallpaperSourceLine"_s);
    content->addWidget(m_sourceLine);

    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        switch (field) {
        case AppState::Field::wallpaperLocalFolderName:
        case AppState::Field::isLoadingWallpaper:
        case AppState::Field::wallpaperApplyToAllDisplays: sync(); break;
        default: break;
        }
    });
    sync();
}

void WallpapersPage::sync()
{
    const AppState &state = m_view.state();
    const QString &folder = state.wallpaperLocalFolderName();
    const bool local = !folder.isEmpty();
    m_badge->setText(local ? tr("LOCAL") : tr("WEB"));
    m_useWeb->setVisible(local);
    m_sourceLine->setText(local ? tr("Using local folder: %1").arg(folder)
                                : tr("Web wallpapers stay cached locally so the app stays light."));
    m_refresh->setEnabled(!state.isLoadingWallpaper());
    if (m_allDisplays->isChecked() != state.wallpaperApplyToAllDisplays())
        m_allDisplays->setChecked(state.wallpaperApplyToAllDisplays());
}

} // namespace kolu
