#include "cards/wallpapers/WallpaperPreview.h"

#include "services/images/ImageSlot.h"
#include "style/ContinuousCorners.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/SmallSpinner.h"
#include "style/widgets/StyledWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

WallpaperPreview::WallpaperPreview(ImageLoader &loader, int height, qreal cornerRadius, QWidget *parent)
    : QWidget(parent)
    , m_cornerRadius(cornerRadius)
    , m_slot(new ImageSlot(loader, this))
    , m_spinner(new SmallSpinner(this))
{
    setObjectName(u"wallpaperPreview"_s);
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_spinner->setObjectName(u"wallpaperPreviewSpinner"_s);
    m_spinner->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_spinner->hide();
    connect(m_slot, &ImageSlot::changed, this, [this] {
        updateBusy();
        update();
    });
    repaintOnStyleChange(this);
}

void WallpaperPreview::setCandidate(const std::optional<WallpaperCandidate> &candidate)
{
    if (candidate == m_candidate)
        return;
    m_candidate = candidate;
    setCursor(m_candidate && m_candidate->sourceURL ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (m_candidate)
        requestPicture();
    else
        m_slot->clear();
    updateBusy();
    update();
}

void WallpaperPreview::setLoadingLibrary(bool loading)
{
    if (loading == m_loadingLibrary)
        return;
    m_loadingLibrary = loading;
    updateBusy();
}

QString WallpaperPreview::fallbackSymbol() const
{
    if (!m_candidate)
        return u"photo.on.rectangle.angled"_s;
    return m_slot->phase() == ImageSlot::Phase::loaded ? QString() : u"photo"_s;
}

bool WallpaperPreview::isBusy() const
{
    return m_candidate ? m_slot->phase() == ImageSlot::Phase::loading : m_loadingLibrary;
}

void WallpaperPreview::requestPicture()
{
    // Asked once the preview has its size: the picture is decoded for it.
    if (!m_candidate || !isVisible())
        return;
    const qreal dpr = std::max(devicePixelRatioF(), m_paintedRatio);
    m_slot->show(m_candidate->previewURL, (QSizeF(size()) * dpr).toSize());
}

void WallpaperPreview::updateBusy()
{
    m_spinner->setVisible(isBusy());
}

void WallpaperPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Below the symbol rather than over it, where both stay readable.
    m_spinner->move((width() - m_spinner->width()) / 2, height() / 2 + 24);
    requestPicture();
}

void WallpaperPreview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    requestPicture();
}

void WallpaperPreview::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void WallpaperPreview::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clicked = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    // Without a source page the click does nothing.
    if (clicked && m_candidate && m_candidate->sourceURL)
        Q_EMIT openRequested(*m_candidate->sourceURL);
    event->accept();
}

const QPixmap &WallpaperPreview::picture(qreal dpr)
{
    const QImage &image = m_slot->image();
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if (m_pictureSource == image.cacheKey() && m_picture.size() == pixels && m_picture.devicePixelRatio() == dpr)
        return m_picture;
    // Fills the frame, cropped about the centre.
    const QSizeF fitted = QSizeF(image.size()).scaled(QSizeF(pixels), Qt::KeepAspectRatioByExpanding);
    QPixmap canvas(pixels);
    canvas.fill(Qt::transparent);
    {
        // The rounded shape first, then the picture kept inside it, so the
        // corners stay smooth.
        QPainter p(&canvas);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        p.fillPath(continuousRoundedRect(QRectF(QPointF(), QSizeF(pixels)), m_cornerRadius * dpr), Qt::black);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        const QRectF target((pixels.width() - fitted.width()) / 2, (pixels.height() - fitted.height()) / 2,
                            fitted.width(), fitted.height());
        p.drawImage(target, image);
    }
    canvas.setDevicePixelRatio(dpr);
    m_picture = canvas;
    m_pictureSource = image.cacheKey();
    return m_picture;
}

void WallpaperPreview::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = rect();
    const QPainterPath shape = continuousRoundedRect(frame, m_cornerRadius);

    // Painted finer than the picture was asked for (a sharper screen, a
    // picture of the view): ask for it at that ratio.
    const qreal dpr = painter.device()->devicePixelRatioF();
    if (dpr > std::max(devicePixelRatioF(), m_paintedRatio)) {
        m_paintedRatio = dpr;
        requestPicture();
    }
    const QString symbol = fallbackSymbol();
    if (symbol.isEmpty()) {
        painter.drawPixmap(QPointF(), picture(dpr));
    } else {
        painter.fillPath(shape, withAlpha(style.surfaceRaised(), 0.6));
        IconProvider::paint(painter, frame, symbol, 26, style.secondaryText(), IconWeight::bold);
    }
    if (!m_candidate)
        return;
    QLinearGradient shade(frame.topLeft(), frame.bottomLeft());
    shade.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0.02f));
    shade.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.16f));
    painter.fillPath(shape, shade);
    const qreal inset = 0.4;
    painter.setPen(QPen(withAlpha(style.hairline(), 0.34), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(continuousRoundedRect(frame.adjusted(inset, inset, -inset, -inset), m_cornerRadius));
}

} // namespace kolu
