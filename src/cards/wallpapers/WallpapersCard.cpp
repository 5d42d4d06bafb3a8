#include "cards/wallpapers/WallpapersCard.h"

#include "cards/StatusTintColor.h"
#include "services/images/ImageLoader.h"
#include "cards/wallpapers/WallpaperPreview.h"
#include "platform/desktop/UrlOpener.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/StatusPill.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

OrlixButton *button(OrlixButton::Kind kind, const QString &name, const QString &symbol, QWidget *parent)
{
    auto *b = new OrlixButton(kind, {}, parent);
    b->setObjectName(name);
    b->setSymbol(symbol);
    return b;
}

// A button that takes its share of the row and shrinks its label to fit.
void shareRow(OrlixButton *b, qreal minimumScale)
{
    b->setMinimumScaleFactor(minimumScale);
    b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

} // namespace

WallpapersCard::WallpapersCard(AppState &state, QWidget *parent, int previewHeight, qreal previewCornerRadius)
    : ModuleCard(u"Wallpapers"_s, u"photo.on.rectangle.angled"_s, parent)
    , m_state(state)
    , m_preview(new WallpaperPreview(ImageLoader::of(state), previewHeight, previewCornerRadius, this))
    , m_previous(button(OrlixButton::Kind::secondary, u"wallpaperPreviousButton"_s, u"chevron.left"_s, this))
    , m_refresh(button(OrlixButton::Kind::secondary, u"wallpaperRefreshButton"_s, u"arrow.clockwise"_s, this))
    , m_next(button(OrlixButton::Kind::secondary, u"wallpaperNextButton"_s, u"chevron.right"_s, this))
    , m_folder(button(OrlixButton::Kind::secondary, u"wallpaperFolderButton"_s, u"folder"_s, this))
    , m_apply(button(OrlixButton::Kind::primary, u"wallpaperSetButton"_s, u"checkmark.circle.fill"_s, this))
    , m_pill(new StatusPill({}, {}, this))
    , m_title(new ElidedLabel({}, this))
    , m_status(new ElidedLabel({}, this))
{
    setObjectName(u"wallpapersCard"_s);
    m_pill->setObjectName(u"wallpaperSourcePill"_s);
    m_title->setObjectName(u"wallpaperTitle"_s);
    m_status->setObjectName(u"wallpaperStatus"_s);
    m_previous->setAccessibleName(u"Previous wallpaper"_s);
    m_next->setAccessibleName(u"Next wallpaper"_s);
    m_previous->setFixedWidth(28);
    m_next->setFixedWidth(28);
    shareRow(m_refresh, 0.85);
    shareRow(m_folder, 0.78);
    shareRow(m_apply, 0.82);
    m_title->setFont(OrlixFonts::system(10, QFont::Bold));
    m_status->setFont(OrlixFonts::system(10, QFont::DemiBold));
    m_status->setMaximumLines(2);

    QVBoxLayout *stack = contentLayout();
    stack->addWidget(m_preview);
    auto *browse = new QHBoxLayout;
    browse->setSpacing(8);
    browse->addWidget(m_previous);
    browse->addWidget(m_refresh, 1);
    browse->addWidget(m_next);
    stack->addLayout(browse);
    auto *actions = new QHBoxLayout;
    actions->setSpacing(8);
    actions->addWidget(m_folder, 1);
    actions->addWidget(m_apply, 1);
    stack->addLayout(actions);
    auto *attribution = new QHBoxLayout;
    attribution->setSpacing(7);
    attribution->addWidget(m_pill, 0, Qt::AlignVCenter);
    attribution->addWidget(m_title, 1, Qt::AlignVCenter);
    attribution->addStretch(); // keeps the pill leading while there is no title
    stack->addLayout(attribution);
    stack->addWidget(m_status);

    connect(m_previous, &QAbstractButton::clicked, this, [this] { m_state.moveWallpaperSelection(-1); });
    connect(m_next, &QAbstractButton::clicked, this, [this] { m_state.moveWallpaperSelection(1); });
    connect(m_refresh, &QAbstractButton::clicked, this, [this] { m_state.refreshWallpaper(true); });
    connect(m_folder, &QAbstractButton::clicked, this, [this] { m_state.chooseWallpaperFolder(); });
    connect(m_apply, &QAbstractButton::clicked, this, [this] { m_state.applyCurrentWallpaper(); });
    connect(m_preview, &WallpaperPreview::openRequested, this,
            [this](const QUrl &address) { m_state.urlOpener().openUrl(address); });
    connect(&m_state, &AppState::changed, this, &WallpapersCard::onStateChanged);
    onStyleChange(this, &WallpapersCard::applyColors);

    applyColors();
    refreshContent();
}

void WallpapersCard::showEvent(QShowEvent *event)
{
    ModuleCard::showEvent(event);
    if (!m_state.wallpaperCandidate())
        m_state.refreshWallpaper(false);
}

void WallpapersCard::onStateChanged(AppState::Field field)
{
    switch (field) {
    case AppState::Field::wallpaperItems:
    case AppState::Field::wallpaperCandidate:
    case AppState::Field::isLoadingWallpaper:
    case AppState::Field::isApplyingWallpaper:
    case AppState::Field::wallpaperLocalFolderName:
    case AppState::Field::wallpaperStatus: refreshContent(); break;
    default: break;
    }
}

void WallpapersCard::refreshContent()
{
    const std::optional<WallpaperCandidate> &candidate = m_state.wallpaperCandidate();
    const bool loading = m_state.isLoadingWallpaper();
    const bool applying = m_state.isApplyingWallpaper();
    const QString &folder = m_state.wallpaperLocalFolderName();

    m_preview->setCandidate(candidate);
    m_preview->setLoadingLibrary(loading);

    const bool canStep = m_state.wallpaperItems().size() >= 2;
    m_previous->setEnabled(canStep);
    m_next->setEnabled(canStep);
    m_refresh->setText(loading ? u"Loading"_s : u"Refresh"_s);
    m_refresh->setEnabled(!loading);
    m_folder->setText(folder.isEmpty() ? u"Choose Folder"_s : folder);
    m_folder->setToolTip(folder.isEmpty() ? QString() : folder);
    m_apply->setText(applying ? u"Setting"_s : u"Set Wallpaper"_s);
    m_apply->setEnabled(candidate.has_value() && !applying);

    m_pill->setText(folder.isEmpty() ? u"WEB LIBRARY"_s : u"LOCAL FOLDER"_s);
    m_title->setText(candidate ? candidate->title : QString());
    m_title->setVisible(candidate.has_value());
    m_status->setText(m_state.wallpaperStatus().message);
    m_status->setVisible(!m_state.wallpaperStatus().message.isEmpty());
    applyColors();
}

void WallpapersCard::applyColors()
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = style.tint(RailModule::wallpapers);
    m_pill->setTint(tint);
    m_title->setColor(style.secondaryText());
    m_status->setColor(statusTintColor(m_state.wallpaperStatus().tint, tint));
}

} // namespace kolu
