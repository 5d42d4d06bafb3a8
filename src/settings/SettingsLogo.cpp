#include "settings/SettingsLogo.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/GlassProfile.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"
#include "settings/SettingsRowKit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QStandardPaths>

namespace kolu {

QColor themeAccentColor()
{
    return OrlixStyle::current().primaryButtonFill();
}

namespace {

std::optional<QPixmap> readImage(const QString &path, int side, qreal dpr)
{
    QImageReader reader(path);
    const int pixels = qRound(side * dpr);
    if (reader.format() == "svg" || path.endsWith(QLatin1String(".svg")))
        reader.setScaledSize(QSize(pixels, pixels));
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    QPixmap pixmap = QPixmap::fromImage(
        image.scaled(pixels, pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

} // namespace

std::optional<QPixmap> settingsLogoImage(const QString &folder, int side, qreal devicePixelRatio)
{
    if (!folder.isEmpty()) {
        const QDir dir(folder);
        const QString logo = dir.filePath(QStringLiteral("KoluLogo.png"));
        if (QFileInfo::exists(logo))
            return readImage(logo, side, devicePixelRatio);
        for (const char *name : {"KoluIcon.png", "KoluIcon.svg"}) {
            const QString icon = dir.filePath(QString::fromLatin1(name));
            if (QFileInfo::exists(icon)) {
                if (auto image = readImage(icon, side, devicePixelRatio))
                    return image;
            }
        }
    }
    const QIcon windowIcon = QGuiApplication::windowIcon();
    if (!windowIcon.isNull()) {
        QPixmap pixmap = windowIcon.pixmap(QSize(side, side), devicePixelRatio);
        if (!pixmap.isNull())
            return pixmap;
    }
    return std::nullopt;
}

OrlixSettingsLogo::OrlixSettingsLogo(int frame, QWidget *parent)
    : QWidget(parent)
    , m_folder(iconFolder())
{
    setObjectName(QStringLiteral("settingsLogo"));
    setFixedSize(frame, frame);
    repaintOnStyleChange(this);
}

QString OrlixSettingsLogo::iconFolder()
{
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("kolu"),
                                  QStandardPaths::LocateDirectory);
}

void OrlixSettingsLogo::setIconFolder(const QString &folder)
{
    m_folder = folder;
    update();
}

bool OrlixSettingsLogo::showsMonogram() const
{
    return !settingsLogoImage(m_folder, 58, devicePixelRatioF()).has_value();
}

QRectF OrlixSettingsLogo::tileRect() const
{
    return {(width() - kTileSide) / 2.0, (height() - kTileSide) / 2.0, double(kTileSide), double(kTileSide)};
}

void OrlixSettingsLogo::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF tile = tileRect();

    const OrlixGlassProfile profile =
        OrlixGlassProfile::tintedControl(style.glassBase(), themeAccentColor(), {0.16, 14, 0, 8});
    LiquidGlassSurface::paint(painter, tile, 18, profile);

    if (const auto image = settingsLogoImage(m_folder, 58, devicePixelRatioF())) {
        const QRectF iconRect(tile.center().x() - 29, tile.center().y() - 29, 58, 58);
        painter.save();
        painter.setClipPath(continuousRoundedRect(iconRect, 17));
        painter.drawPixmap(iconRect, *image, QRectF(QPointF(0, 0), QSizeF(image->size())));
        painter.restore();
    } else {
        painter.setPen(Qt::white);
        painter.setFont(OrlixFonts::rounded(28, QFont::Black));
        painter.drawText(tile, Qt::AlignCenter, QStringLiteral("K"));
    }
    paintSettingsCardOutline(painter, tile, 18, Qt::white, 0.18);
}

} // namespace kolu
