#include "GalleryRender.h"

#include "Wallpaper.h"

#include "style/Fonts.h"
#include "style/MenuLook.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"

#include "shell/StatusItem.h"

#include <QApplication>
#include <QPainter>

#include <memory>

namespace kolu::gallery {

namespace {

// What the compositor puts behind a blurred window: a strongly blurred copy.
QImage blurred(const QImage &image)
{
    const QSize small = image.size() / 12;
    return image.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

void prepareApplication()
{
    // Still pictures: every change is drawn where it lands.
    OrlixMotion::setEnabled(false);
    // The icon the program gives its windows, which the settings window and
    // the onboarding show.
    QApplication::setWindowIcon(StatusItem::applicationIcon());
    OrlixFonts::registerDisplayFont();
    // Menus as the program dresses them; their corners follow each tier.
    MenuLook::install();
}

QImage wallpaper()
{
    return makeWallpaper(QSize(1600, 1200) * int(kDpr));
}

QPoint wallpaperOrigin(int look, int tier, const QSize &pixels, const QImage &wallpaper)
{
    return {(tier * 700 + look * 160) % (wallpaper.width() - pixels.width()),
            (look * 330) % (wallpaper.height() - pixels.height())};
}

QImage renderView(const View &view, OrlixStyle &style, qreal scale, const QImage &wallpaper, const QPoint &origin,
                  const std::function<void(QWidget &)> &inspect)
{
    const QSize logical = view.logicalSize(scale);
    const QSize pixels = logical * kDpr;
    std::unique_ptr<QWidget> widget(view.make(Context{scale, style}));
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->setAttribute(Qt::WA_TranslucentBackground);
    widget->resize(logical);
    widget->show();
    // Layouts settle through posted events: draw only once they have run, as
    // the running program's first frame does.
    for (int round = 0; round < 4; ++round)
        QCoreApplication::sendPostedEvents();

    QImage layer(pixels, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(kDpr);
    layer.fill(Qt::transparent);
    widget->render(&layer, QPoint(), QRegion(), QWidget::DrawChildren);

    QImage background = wallpaper.copy(QRect(origin, pixels));
    if (style.glassTier() == GlassTier::blurred) {
        // Blur only where the window draws its glass, as a blurring
        // compositor does for the region it is given.
        const QImage soft = blurred(background);
        for (int y = 0; y < pixels.height(); ++y) {
            const auto *a = reinterpret_cast<const QRgb *>(layer.constScanLine(y));
            auto *out = reinterpret_cast<QRgb *>(background.scanLine(y));
            const auto *s = reinterpret_cast<const QRgb *>(soft.constScanLine(y));
            for (int x = 0; x < pixels.width(); ++x)
                if (qAlpha(a[x]) >= 128)
                    out[x] = s[x];
        }
    }
    QImage result = background.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Composed pixel for pixel.
    layer.setDevicePixelRatio(1);
    // Without a compositor the window is shaped to what it draws, so the
    // wallpaper still shows around its shapes.
    QPainter painter(&result);
    painter.drawImage(0, 0, layer);
    painter.end();
    result.setDevicePixelRatio(kDpr);
    if (inspect)
        inspect(*widget);
    return result;
}

} // namespace kolu::gallery
