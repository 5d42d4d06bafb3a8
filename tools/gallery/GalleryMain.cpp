// Renders every registered view to PNG files for eyes: each theme and
// appearance, each glass tier, at s = 1 (and 1.25 for views that scale), at
// device pixel ratio 2, over a busy test wallpaper. Writes one picture per
// combination under <out>/<view>/ and one contact sheet per view and scale
// under <out>/.
//   kolu_gallery <out folder> [view name filter]
#include "GalleryViews.h"
#include "Wallpaper.h"

#include "model/UserDefaults.h"
#include "style/Fonts.h"
#include "style/MenuLook.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

using namespace kolu;

namespace {

constexpr qreal kDpr = 2;

struct Look {
    const char *theme;
    const char *mode;
};
constexpr Look kLooks[] = {{"default", "light"},  {"default", "dark"},    {"flatOlive", "light"},
                           {"flatOlive", "dark"}, {"activeDark", "dark"}, {"heroLight", "light"}};

struct Tier {
    GlassTier tier;
    const char *name;
};
constexpr Tier kTiers[] = {{GlassTier::blurred, "blurred"}, {GlassTier::translucent, "translucent"},
                           {GlassTier::opaque, "opaque"}};

// What the compositor puts behind a blurred window: a strongly blurred copy.
QImage blurred(const QImage &image)
{
    const QSize small = image.size() / 12;
    return image.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage renderView(const gallery::View &view, OrlixStyle &style, qreal scale, const QImage &wallpaper,
                  const QPoint &wallpaperOrigin)
{
    const QSize logical = view.scaled ? (QSizeF(view.size) * scale).toSize() : view.size;
    const QSize pixels = logical * kDpr;
    std::unique_ptr<QWidget> widget(view.make(gallery::Context{scale, style}));
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

    QImage background = wallpaper.copy(QRect(wallpaperOrigin, pixels));
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
    return result;
}

// The offscreen platform says for every window that it cannot pass size
// hints on; nothing to act on here.
QtMessageHandler previousHandler = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    // Still pictures: every change is drawn where it lands.
    OrlixMotion::setEnabled(false);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2 || args.at(1).startsWith(u'-')) {
        QTextStream(stderr) << "usage: kolu_gallery <out folder> [view name filter]\n";
        return 2;
    }
    const QString out = args.at(1);
    const QString filter = args.size() > 2 ? args.at(2) : QString();
    QDir().mkpath(out);
    OrlixFonts::registerDisplayFont();

    QTemporaryDir home;
    UserDefaults defaults(home.filePath(QStringLiteral("defaults.json")));
    OrlixStyle style(defaults);
    // Menus as the program dresses them; their corners follow each tier.
    MenuLook::install();

    const QImage wallpaper = gallery::makeWallpaper(QSize(1600, 1200) * int(kDpr));
    wallpaper.save(out + QStringLiteral("/wallpaper.png"));

    int written = 0;
    for (const gallery::View &view : gallery::views()) {
        const QString name = QString::fromLatin1(view.name);
        if (!filter.isEmpty() && !name.contains(filter))
            continue;
        QDir().mkpath(out + u'/' + name);
        const QList<qreal> scales = view.scaled ? QList<qreal>{1.0, 1.25} : QList<qreal>{1.0};
        for (const qreal scale : scales) {
            const QSize cell = (view.scaled ? (QSizeF(view.size) * scale).toSize() : view.size) * kDpr;
            QImage sheet(QSize(cell.width() * 3, cell.height() * 6), QImage::Format_ARGB32_Premultiplied);
            sheet.fill(Qt::black);
            QPainter sheetPainter(&sheet);
            int rowIndex = 0;
            for (const Look &look : kLooks) {
                defaults.set(SettingsKey::orlixTheme, QString::fromLatin1(look.theme));
                defaults.set(SettingsKey::orlixAppearanceMode, QString::fromLatin1(look.mode));
                int column = 0;
                for (const Tier &tier : kTiers) {
                    style.setGlassTier(tier.tier);
                    // Each cell sits over another part of the wallpaper.
                    const QPoint origin((column * 700 + rowIndex * 160) % (wallpaper.width() - cell.width()),
                                        (rowIndex * 330) % (wallpaper.height() - cell.height()));
                    QImage picture = renderView(view, style, scale, wallpaper, origin);
                    const QString file = QStringLiteral("%1/%2/%3-%4-%5%6.png")
                                             .arg(out, name, QString::fromLatin1(look.theme),
                                                  QString::fromLatin1(look.mode), QString::fromLatin1(tier.name),
                                                  scale == 1.0 ? QString() : QStringLiteral("-s1.25"));
                    picture.save(file);
                    picture.setDevicePixelRatio(1);
                    sheetPainter.drawImage(column * cell.width(), rowIndex * cell.height(), picture);
                    ++written;
                    ++column;
                }
                ++rowIndex;
            }
            sheetPainter.end();
            sheet.save(QStringLiteral("%1/%2%3.png").arg(out, name, scale == 1.0 ? QString() : QStringLiteral("-s1.25")));
        }
    }
    QTextStream(stdout) << "gallery: " << written << " pictures in " << out << "\n";
    return 0;
}
