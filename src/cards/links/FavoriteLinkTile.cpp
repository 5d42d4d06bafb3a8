#include "cards/links/FavoriteLinkTile.h"

#include "cards/links/BrandIconColor.h"
#include "cards/links/BrandIconLibrary.h"
#include "cards/links/LinkCardRules.h"
#include "platform/desktop/Pasteboard.h"
#include "platform/desktop/UrlOpener.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ShrinkLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QAction>
#include <QFontInfo>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kTilePadX = 8, kTilePadY = 10, kTileSpacing = 8, kGridSpacing = 10;
constexpr qreal kIconRadius = 18, kTileRadius = 14, kMonogramInset = 6;

QFont nameFont()
{
    return OrlixFonts::system(11, QFont::Bold);
}

// The letters in the icon's colour; on a light surface a shade deeper, so
// that yellow, mint and cyan letters stay readable.
QColor monogramColor(const QColor &color, ColorScheme scheme)
{
    return scheme == ColorScheme::light ? color.darker(150) : color;
}

} // namespace

LargeLinkIcon::LargeLinkIcon(const SavedLink &link, QWidget *parent)
    : QWidget(parent)
    , m_link(link)
{
    setObjectName(u"largeLinkIcon"_s);
    setFixedSize(side, side);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    repaintOnStyleChange(this);
}

QString LargeLinkIcon::monogram() const
{
    return linkcard::monogram(linkcard::displaySource(m_link));
}

QColor LargeLinkIcon::iconColor() const
{
    const OrlixStyle &style = OrlixStyle::current();
    if (showsBrandImage()) {
        if (const auto brand = listedBrandColor())
            return linkcard::brandIconColor(*brand, style.theme(), style.colorScheme());
    }
    return linkcard::namedIconColor(linkcard::iconColorIndex(linkcard::displaySource(m_link)), style.colorScheme());
}

std::optional<QColor> LargeLinkIcon::listedBrandColor() const
{
    const auto slug = BrandIconLibrary::slug(m_link);
    return slug ? BrandIconLibrary::brandColor(*slug) : std::nullopt;
}

bool LargeLinkIcon::showsBrandImage() const
{
    return !BrandIconLibrary::image(m_link).isNull();
}

qreal LargeLinkIcon::monogramPointSize() const
{
    return linkcard::monogramLength(monogram()) > 1 ? 20 : 24;
}

QPixmap LargeLinkIcon::brandPixmap(const QImage &image, const QSizeF &size, qreal devicePixelRatio,
                                   const QColor &color) const
{
    const QSize pixels = (size * devicePixelRatio).toSize();
    const QSize fitted = image.size().scaled(pixels, Qt::KeepAspectRatio);
    if (m_brandPixmap.size() != fitted || m_brandPixmap.devicePixelRatio() != devicePixelRatio || m_brandPixmap.isNull()
        || m_brandPixmapColor != color) {
        // The icon's shape in its colour: the file draws it in black.
        QImage tinted = image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (color.isValid()) {
            QPainter painter(&tinted);
            painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            painter.fillRect(tinted.rect(), color);
        }
        m_brandPixmap = QPixmap::fromImage(std::move(tinted));
        m_brandPixmap.setDevicePixelRatio(devicePixelRatio);
        m_brandPixmapColor = color;
    }
    return m_brandPixmap;
}

void LargeLinkIcon::paintEvent(QPaintEvent *)
{
    const QColor color = iconColor();
    const QImage brand = BrandIconLibrary::image(m_link);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    const QPainterPath shape = continuousRoundedRect(frame, kIconRadius);
    painter.setClipPath(continuousRoundedRect(QRectF(rect()), kIconRadius));
    painter.fillPath(shape, withAlpha(color, brand.isNull() ? 0.22 : 0.12));
    painter.strokePath(shape, QPen(withAlpha(color, 0.32), 0.8));

    if (!brand.isNull()) {
        const QRectF box = QRectF(rect()).adjusted(10, 10, -10, -10);
        const qreal dpr = painter.device()->devicePixelRatioF() * painter.worldTransform().m11();
        // An icon without a listed brand colour keeps its own colours.
        const QPixmap pixmap = brandPixmap(brand, box.size(), dpr, listedBrandColor() ? color : QColor());
        const QSizeF shown = QSizeF(pixmap.size()) / dpr;
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRectF(box.center() - QPointF(shown.width(), shown.height()) / 2, shown), pixmap,
                           QRectF(pixmap.rect()));
        return;
    }
    // Two wide letters (or a script drawn wider) shrink to stay inside the icon.
    const QString letters = monogram();
    QFont font = OrlixFonts::system(monogramPointSize(), QFont::Bold);
    const qreal natural = QFontMetricsF(font).horizontalAdvance(letters);
    const qreal room = side - 2 * kMonogramInset;
    if (natural > room)
        font = OrlixFonts::system(std::max<qreal>(9, monogramPointSize() * room / natural), QFont::Bold);
    painter.setFont(font);
    // Large letters need 3:1 on the tile, shrunk ones as much as body text.
    const OrlixStyle &style = OrlixStyle::current();
    const bool large = QFontInfo(font).pixelSize() >= 18;
    painter.setPen(style.readableOnFill(monogramColor(color, style.colorScheme()), withAlpha(color, 0.22),
                                        large ? kLargeInkContrast : kBodyTextContrast));
    painter.drawText(rect(), Qt::AlignCenter, letters);
}

FavoriteLinkTile::FavoriteLinkTile(AppState &state, const SavedLink &link, QWidget *parent)
    : QAbstractButton(parent)
    , m_state(state)
    , m_link(link)
{
    setObjectName(u"favoriteLinkTile"_s);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setText(name());
    setAccessibleName(name());

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(kTilePadX, kTilePadY, kTilePadX, kTilePadY);
    column->setSpacing(kTileSpacing);
    m_icon = new LargeLinkIcon(link, this);
    column->addWidget(m_icon, 0, Qt::AlignHCenter);
    m_name = new ShrinkLabel(name(), this);
    m_name->setObjectName(u"favoriteLinkName"_s);
    m_name->setFont(nameFont());
    m_name->setMinimumScaleFactor(0.72);
    m_name->setAlignment(Qt::AlignCenter);
    m_name->setAttribute(Qt::WA_TransparentForMouseEvents);
    column->addWidget(m_name);

    auto *copy = new QAction(tr("Copy URL"), this);
    copy->setObjectName(u"copyLinkAction"_s);
    auto *remove = new QAction(tr("Delete"), this);
    remove->setObjectName(u"deleteLinkAction"_s);
    addAction(copy);
    addAction(remove);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copy, &QAction::triggered, this, &FavoriteLinkTile::copyURL);
    connect(remove, &QAction::triggered, this, &FavoriteLinkTile::deleteLink);
    connect(this, &QAbstractButton::clicked, this, &FavoriteLinkTile::open);
    repaintOnStyleChange(this);
}

QString FavoriteLinkTile::name() const
{
    return linkcard::tileName(m_link);
}

void FavoriteLinkTile::open()
{
    // Only web addresses go to the desktop: a stored "file:" or script
    // address would otherwise be run by whatever handles it.
    if (const auto url = linkcard::openableURL(m_link))
        m_state.urlOpener().openUrl(*url);
}

void FavoriteLinkTile::copyURL()
{
    m_state.pasteboard().writeText(m_link.url);
}

void FavoriteLinkTile::deleteLink()
{
    // The grid rebuilds from the state's answer; this tile goes with it.
    m_state.deleteLink(m_link);
}

int FavoriteLinkTile::preferredHeight()
{
    const int text = int(std::ceil(QFontMetricsF(nameFont()).height()));
    return kTilePadY * 2 + LargeLinkIcon::side + kTileSpacing + text;
}

QSize FavoriteLinkTile::sizeHint() const
{
    return {78, preferredHeight()};
}

QSize FavoriteLinkTile::minimumSizeHint() const
{
    return sizeHint();
}

void FavoriteLinkTile::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), kTileRadius);
    painter.fillPath(shape, withAlpha(style.surfaceRaised(), isDown() ? 0.3 : 0.44));
    painter.strokePath(shape, QPen(withAlpha(style.hairline(), 0.22), 0.8));
}

FavoriteLinkGrid::FavoriteLinkGrid(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
{
    setObjectName(u"favoriteLinkGrid"_s);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void FavoriteLinkGrid::setLinks(const std::vector<SavedLink> &links)
{
    // A tile may be the one whose menu asked for this (Delete): it goes later.
    for (FavoriteLinkTile *tile : m_tiles) {
        tile->hide();
        tile->deleteLater();
    }
    m_tiles.clear();
    for (const SavedLink &link : links) {
        auto *tile = new FavoriteLinkTile(m_state, link, this);
        m_tiles.push_back(tile);
        tile->show();
    }
    placeTiles();
    updateGeometry();
}

int FavoriteLinkGrid::columns() const
{
    return linkcard::gridColumns(width());
}

int FavoriteLinkGrid::heightForWidth(int width) const
{
    if (m_tiles.empty())
        return 0;
    const int columnCount = linkcard::gridColumns(width);
    const int rows = int((m_tiles.size() + std::size_t(columnCount) - 1) / std::size_t(columnCount));
    const int tile = FavoriteLinkTile::preferredHeight();
    return rows * tile + (rows - 1) * kGridSpacing;
}

QSize FavoriteLinkGrid::sizeHint() const
{
    const int width = 3 * 78 + 2 * kGridSpacing;
    return {width, heightForWidth(width)};
}

QSize FavoriteLinkGrid::minimumSizeHint() const
{
    return {78, m_tiles.empty() ? 0 : FavoriteLinkTile::preferredHeight()};
}

void FavoriteLinkGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeTiles();
}

void FavoriteLinkGrid::placeTiles()
{
    if (m_tiles.empty())
        return;
    const int columnCount = columns();
    const int tile = FavoriteLinkTile::preferredHeight();
    const qreal cellWidth = qreal(width() - (columnCount - 1) * kGridSpacing) / columnCount;
    for (std::size_t i = 0; i < m_tiles.size(); ++i) {
        const int column = int(i % std::size_t(columnCount));
        const int row = int(i / std::size_t(columnCount));
        const int left = qRound(column * (cellWidth + kGridSpacing));
        const int right = qRound(column * (cellWidth + kGridSpacing) + cellWidth);
        m_tiles[i]->setGeometry(left, row * (tile + kGridSpacing), right - left, tile);
    }
}

} // namespace kolu
