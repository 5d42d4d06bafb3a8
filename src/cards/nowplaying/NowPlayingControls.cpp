#include "cards/nowplaying/NowPlayingControls.h"

#include "cards/nowplaying/NowPlayingHeroRules.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/ShadowBlur.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The lightest the artwork shows through the hero's shade and a control's
// circle.
const QColor kShadedArtwork(0x40, 0x40, 0x40);

constexpr qreal badgePadX = 9, badgePadY = 6, badgeGap = 6, badgeIcon = 10;

QColor white(qreal opacity)
{
    return QColor::fromRgbF(1, 1, 1, float(opacity));
}

QColor black(qreal opacity)
{
    return QColor::fromRgbF(0, 0, 0, float(opacity));
}

QFont badgeFont()
{
    return OrlixFonts::system(10, QFont::Bold);
}

} // namespace

SourceBadge::SourceBadge(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"sourceBadge"_s);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

void SourceBadge::setSource(const QString &source)
{
    if (source == m_source)
        return;
    m_source = source;
    setAccessibleName(text());
    updateGeometry();
    update();
}

QString SourceBadge::symbol() const
{
    return nowplaying::badgeSymbol(m_source);
}

QString SourceBadge::text() const
{
    return nowplaying::badgeText(m_source);
}

QSize SourceBadge::sizeHint() const
{
    const QFontMetricsF metrics(badgeFont());
    const qreal width = 2 * badgePadX + badgeIcon + badgeGap + metrics.horizontalAdvance(text());
    return QSize(int(std::ceil(width)), int(std::ceil(metrics.height() + 2 * badgePadY)));
}

QSize SourceBadge::minimumSizeHint() const
{
    return QSize(int(2 * badgePadX + badgeIcon), sizeHint().height());
}

void SourceBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.35, 0.35, -0.35, -0.35);
    const QPainterPath capsule = continuousRoundedRect(frame, frame.height() / 2);
    painter.fillPath(capsule, black(0.26));
    painter.strokePath(capsule, QPen(white(0.16), 0.7));

    // Opaque: the artwork under the capsule may be mid-toned.
    const QColor foreground = white(1);
    IconProvider::paint(painter, QRectF(badgePadX, 0, badgeIcon, height()), symbol(), badgeIcon, foreground,
                        IconWeight::bold);
    const qreal x = badgePadX + badgeIcon + badgeGap;
    const QFont font = badgeFont();
    const QString shown = QFontMetricsF(font).elidedText(text(), Qt::ElideRight, width() - x - badgePadX);
    painter.setFont(font);
    painter.setPen(foreground);
    painter.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignVCenter | Qt::AlignLeft, shown);
}

NowPlayingStatusButton::NowPlayingStatusButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setObjectName(u"nowPlayingMuteButton"_s);
    setFixedSize(30, 30);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(nowplaying::muteHelp(false));
    setAccessibleName(nowplaying::muteHelp(false));
    repaintOnStyleChange(this);
}

void NowPlayingStatusButton::setMuted(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    setToolTip(nowplaying::muteHelp(muted));
    setAccessibleName(nowplaying::muteHelp(muted));
    update();
}

QString NowPlayingStatusButton::symbol() const
{
    return nowplaying::muteSymbol(m_muted);
}

void NowPlayingStatusButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(black(isDown() ? 0.42 : 0.3));
    painter.drawEllipse(QRectF(rect()));
    // The artwork under the hero's shade counts as dark, as its white title
    // does: a deep tint is lightened on it.
    IconProvider::paint(
        painter, QRectF(rect()), symbol(), 12,
        readableOn(OrlixStyle::current().tint(RailModule::nowPlaying), kShadedArtwork, kLargeInkContrast),
        IconWeight::bold);
}

MediaControlButton::MediaControlButton(const QString &symbol, bool isPrimary, QWidget *parent)
    : QAbstractButton(parent)
    , m_primary(isPrimary)
{
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSymbol(symbol);
}

void MediaControlButton::setSymbol(const QString &symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    setToolTip(symbol);
    setAccessibleName(symbol);
    update();
}

QSize MediaControlButton::sizeHint() const
{
    return m_primary ? QSize(38, 38) : QSize(32, 32);
}

void MediaControlButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(rect()).adjusted(0.35, 0.35, -0.35, -0.35);
    qreal fill = m_primary ? 0.18 : 0.11;
    if (isDown())
        fill += 0.1;
    painter.setBrush(white(fill));
    painter.setPen(QPen(white(m_primary ? 0.24 : 0.14), 0.7));
    painter.drawEllipse(circle);
    IconProvider::paint(painter, QRectF(rect()), m_symbol, m_primary ? 17 : 14, Qt::white, IconWeight::bold);
}

void paintButtonShadow(QPainter &painter, const QRectF &circle)
{
    constexpr qreal blur = 7;
    const qreal dpr = painter.device()->devicePixelRatioF();
    const QImage mask = blurredShapeMask(circle.size(), circle.width() / 2, blur, dpr);
    const qreal extent = shadowExtent(blur);
    painter.save();
    painter.setOpacity(painter.opacity() * 0.22);
    painter.drawImage(circle.topLeft() + QPointF(-extent, -extent + 3), mask);
    painter.restore();
}

} // namespace kolu
