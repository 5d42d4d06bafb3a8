#include "cards/nowplaying/NowPlayingArtwork.h"

#include "services/images/ImageSlot.h"
#include "cards/nowplaying/NowPlayingHeroRules.h"
#include "style/ContinuousCorners.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/ShadowBlur.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

QString NowPlayingArtworkPlaceholder::symbol(const NowPlayingItem &item)
{
    return nowplaying::placeholderSymbol(item.isPlaying);
}

void NowPlayingArtworkPlaceholder::paint(QPainter &painter, const QRectF &rect, const NowPlayingItem &item)
{
    painter.save();
    QLinearGradient wash(rect.topLeft(), rect.bottomRight());
    wash.setColorAt(0, withAlpha(OrlixStyle::current().tint(RailModule::nowPlaying), 0.82));
    wash.setColorAt(0.5, QColor::fromRgbF(0.18f, 0.24f, 0.30f));
    wash.setColorAt(1, QColor::fromRgbF(0.05f, 0.05f, 0.055f));
    painter.fillRect(rect, wash);

    // A soft light up and to the right: a 150-point circle blurred by 18.
    const QPointF centre = rect.center() + QPointF(54, -42);
    const qreal radius = 75, blur = 18;
    QRadialGradient light(centre, radius + blur);
    const QColor glow = QColor::fromRgbF(1, 1, 1, 0.10f);
    light.setColorAt(0, glow);
    light.setColorAt((radius - blur) / (radius + blur), glow);
    light.setColorAt(1, QColor::fromRgbF(1, 1, 1, 0));
    painter.fillRect(rect, light);

    // The symbol with its soft shadow beneath.
    const QString name = symbol(item);
    // A little above the centre, clear of the title laid over the tile's
    // lower part.
    const QRectF box(rect.center() - QPointF(45, 45 + rect.height() * 0.08), QSizeF(90, 90));
    constexpr qreal shadowBlur = 10;
    const qreal dpr = painter.device()->devicePixelRatioF();
    const qreal pad = shadowExtent(shadowBlur);
    QImage shadow((box.size() + QSizeF(2 * pad, 2 * pad)).toSize() * dpr, QImage::Format_Alpha8);
    shadow.setDevicePixelRatio(dpr);
    shadow.fill(0);
    {
        QPainter p(&shadow);
        IconProvider::paint(p, QRectF(QPointF(pad, pad), box.size()), name, 58, Qt::black, IconWeight::bold);
    }
    gaussianBlurAlpha(shadow, shadowBlur / 2 * dpr);
    shadow = shadow.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    painter.setOpacity(painter.opacity() * 0.2);
    painter.drawImage(box.topLeft() - QPointF(pad, pad) + QPointF(0, 5), shadow);
    painter.restore();
    IconProvider::paint(painter, box, name, 58, QColor::fromRgbF(1, 1, 1, 0.72f), IconWeight::bold);
}

NowPlayingArtworkView::NowPlayingArtworkView(ImageLoader &loader, QWidget *parent)
    : QWidget(parent)
    , m_slot(new ImageSlot(loader, this))
{
    setObjectName(u"nowPlayingArtwork"_s);
    connect(m_slot, &ImageSlot::changed, this, qOverload<>(&QWidget::update));
    repaintOnStyleChange(this);
}

void NowPlayingArtworkView::setItem(const NowPlayingItem &item)
{
    if (item == m_item)
        return;
    m_item = item;
    m_url = nowplaying::artworkURL(item.artworkLocation);
    if (m_url)
        requestArtwork();
    else
        m_slot->clear();
    update();
}

void NowPlayingArtworkView::setCornerRadius(qreal radius)
{
    if (radius == m_cornerRadius)
        return;
    m_cornerRadius = radius;
    update();
}

bool NowPlayingArtworkView::showsArtwork() const
{
    return m_url && m_slot->phase() == ImageSlot::Phase::loaded;
}

void NowPlayingArtworkView::requestArtwork()
{
    if (!m_url || !isVisible())
        return;
    const qreal dpr = std::max(devicePixelRatioF(), m_paintedRatio);
    m_slot->show(*m_url, (QSizeF(size()) * dpr).toSize());
}

void NowPlayingArtworkView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    requestArtwork();
}

void NowPlayingArtworkView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    requestArtwork();
}

const QPixmap &NowPlayingArtworkView::composed(qreal dpr)
{
    const bool artwork = showsArtwork();
    const QImage &image = m_slot->image();
    const QString key = u"%1 %2 %3 %4 %5 %6 %7"_s.arg(width())
                            .arg(height())
                            .arg(dpr)
                            .arg(m_cornerRadius)
                            .arg(artwork ? image.cacheKey() : 0)
                            .arg(artwork ? QString() : NowPlayingArtworkPlaceholder::symbol(m_item))
                            .arg(OrlixStyle::current().tint(RailModule::nowPlaying).name(QColor::HexArgb));
    if (key == m_composedKey && !m_composed.isNull())
        return m_composed;
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    QPixmap canvas(pixels);
    canvas.setDevicePixelRatio(dpr);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        const QRectF frame{QPointF(), QSizeF(size())};
        // The rounded shape first, then the picture kept inside it, so the
        // corners stay smooth.
        p.fillPath(continuousRoundedRect(frame, m_cornerRadius), Qt::black);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        if (artwork) {
            const QSizeF fitted = QSizeF(image.size()).scaled(frame.size(), Qt::KeepAspectRatioByExpanding);
            p.drawImage(QRectF(frame.center() - QPointF(fitted.width(), fitted.height()) / 2, fitted), image);
        } else {
            QPixmap placeholder(pixels);
            placeholder.setDevicePixelRatio(dpr);
            placeholder.fill(Qt::transparent);
            QPainter q(&placeholder);
            q.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
            NowPlayingArtworkPlaceholder::paint(q, frame, m_item);
            q.end();
            p.drawPixmap(QPointF(), placeholder);
        }
    }
    m_composed = canvas;
    m_composedKey = key;
    return m_composed;
}

void NowPlayingArtworkView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Painted finer than the artwork was asked for (a sharper screen, a
    // picture of the view): ask for it at that ratio.
    const qreal dpr = painter.device()->devicePixelRatioF();
    if (dpr > std::max(devicePixelRatioF(), m_paintedRatio)) {
        m_paintedRatio = dpr;
        requestArtwork();
    }
    painter.drawPixmap(QPointF(), composed(dpr));
}

} // namespace kolu
