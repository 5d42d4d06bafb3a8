#include "settings/pages/WallpapersPage.h"

#include "platform/desktop/DesktopEnvironment.h"
#include "settings/SettingsKit.h"
#include "style/Fonts.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kolu {

QString WallpapersPage::singlePictureNote()
{
    switch (detectDesktop(SessionEnvironment::current())) {
    case DesktopKind::gnome:
    case DesktopKind::cinnamon:
    case DesktopKind::mate:
        return tr("This desktop shows one wallpaper on every display.");
    default:
        return {};
    }
}

WallpapersPage::WallpapersPage(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_openModule([&state](RailModule module) { state.openModule(module); })
{
    setObjectName(QStringLiteral("wallpapersPage"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    SettingsSectionCard *card = nullptr;
    outer->addWidget(settingsSectionPage(tr("Desktop"), &card, this));
    QVBoxLayout *content = card->contentLayout();

    content->addWidget(settingsCardHeader(tr("Wallpapers"), QStringLiteral("photo.on.rectangle.angled"), {}, &m_badge));
    m_badge->setObjectName(QStringLiteral("wallpaperSourceBadge"));

    content->addWidget(settingsText(tr("Use a lightweight web wallpaper source, or choose a local image folder and "
                                       "browse it from the Wallpapers panel."),
                                    OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 0));

    auto *switchRow = new QHBoxLayout;
    switchRow->setSpacing(10);
    auto *switchTitle =
        settingsText(tr("Apply to all displays"), OrlixFonts::system(13, QFont::Normal), PaletteRole::text, 1);
    m_allDisplays = new OrlixSwitch;
    m_allDisplays->setObjectName(QStringLiteral("wallpaperAllDisplaysSwitch"));
    m_allDisplays->setCheckable(true);
    m_allDisplays->setChecked(m_state.wallpaperApplyToAllDisplays());
    m_allDisplays->setAccessibleName(tr("Apply to all displays"));
    switchRow->addWidget(switchTitle);
    switchRow->addStretch(1);
    switchRow->addWidget(m_allDisplays);
    content->addLayout(switchRow);
    if (const QString note = singlePictureNote(); !note.isEmpty()) {
        auto *noteLabel = settingsText(note, OrlixFonts::system(11, QFont::DemiBold), PaletteRole::secondaryText, 0);
        noteLabel->setObjectName(QStringLiteral("wallpaperSinglePictureNote"));
        content->addWidget(noteLabel);
    }
    connect(m_allDisplays, &OrlixSwitch::toggled, this, [this](bool on) {
        if (m_state.wallpaperApplyToAllDisplays() != on)
            m_state.setWallpaperApplyToAllDisplays(on);
    });

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    m_refresh = settingsPageButton(OrlixButton::Kind::secondary, tr("Refresh"), QStringLiteral("arrow.clockwise"),
                                   QStringLiteral("wallpaperRefresh"));
    auto *choose = settingsPageButton(OrlixButton::Kind::secondary, tr("Choose Folder"), QStringLiteral("folder"),
                                      QStringLiteral("wallpaperChooseFolder"));
    auto *open = settingsPageButton(OrlixButton::Kind::primary, tr("Open Wallpapers"), QStringLiteral("sidebar.right"),
                                    QStringLiteral("wallpaperOpenModule"));
    AppState *appState = &m_state;
    connect(m_refresh, &OrlixButton::clicked, this, [appState] { appState->refreshWallpaper(true); });
    connect(choose, &OrlixButton::clicked, this, [appState] { appState->chooseWallpaperFolder(); });
    connect(open, &OrlixButton::clicked, this, [this] { m_openModule(RailModule::wallpapers); });
    buttons->addWidget(m_refresh);
    buttons->addWidget(choose);
    buttons->addWidget(open);
    buttons->addStretch(1);
    content->addLayout(buttons);

    m_useWeb = settingsPageButton(OrlixButton::Kind::secondary, tr("Use Web Library Instead"),
                                  QStringLiteral("xmark.circle"), QStringLiteral("wallpaperUseWebLibrary"));
    connect(m_useWeb, &OrlixButton::clicked, this, [appState] { appState->clearWallpaperFolder(); });
    content->addWidget(m_useWeb, 0, Qt::AlignLeft);

    m_sourceLine = settingsText({}, OrlixFonts::system(12, QFont::Medium), PaletteRole::secondaryText, 0);
    m_sourceLine->setObjectName(QStringLiteral("wallpaperSourceLine"));
    content->addWidget(m_sourceLine);

    updateSource();
    m_refresh->setEnabled(!m_state.isLoadingWallpaper());
    connect(&m_state, &AppState::changed, this, &WallpapersPage::stateChanged);
}

void WallpapersPage::stateChanged(AppState::Field field)
{
    switch (field) {
    case AppState::Field::wallpaperLocalFolderName:
        updateSource();
        break;
    case AppState::Field::isLoadingWallpaper:
        m_refresh->setEnabled(!m_state.isLoadingWallpaper());
        break;
    case AppState::Field::wallpaperApplyToAllDisplays:
        if (m_allDisplays->isChecked() != m_state.wallpaperApplyToAllDisplays())
            m_allDisplays->setChecked(m_state.wallpaperApplyToAllDisplays());
        break;
    default:
        break;
    }
}

void WallpapersPage::updateSource()
{
    const QString &folder = m_state.wallpaperLocalFolderName();
    const bool local = !folder.isEmpty();
    m_badge->setText(local ? tr("LOCAL") : tr("WEB"));
    m_useWeb->setVisible(local);
    m_sourceLine->setText(local ? tr("Using local folder: %1").arg(folder)
                                : tr("Web wallpapers stay cached locally so the app stays light."));
}

} // namespace kolu
