#include "settings/SettingsLogo.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/GlassProfile.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"
#include "settings/SettingsKit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QPaintEngine>
#include <QPainter>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

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
    if (reader.format() == "svg" || path.endsWith(".svg"_L1))
        reader.setScaledSize(QSize(pixels, pixels));
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    QPixmap pixmap =
        QPixmap::fromImage(image.scaled(pixels, pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

} // namespace

std::optional<QPixmap> settingsLogoImage(const QString &folder, int side, qreal devicePixelRatio)
{
    if (!folder.isEmpty()) {
        const QDir dir(folder);
        const QString logo = dir.filePath(u"KoluLogo.png"_s);
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

namespace {

// How far the tile's shadow (radius 14, y 8) and the tile itself reach past
// a 58 pt frame.
constexpr int kSpill = 32;

// Paints its logo's tile over the logo's frame and beyond it.
class LogoSpill : public QWidget {
public:
    LogoSpill(const OrlixSettingsLogo *logo, QWidget *parent)
        : QWidget(parent)
        , m_logo(logo)
    {
        setObjectName(u"settingsLogoTile"_s);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_logo->paintTile(painter, QPointF(kSpill, kSpill));
    }

private:
    const OrlixSettingsLogo *m_logo;
};

} // namespace

OrlixSettingsLogo::OrlixSettingsLogo(int frame, QWidget *parent)
    : QWidget(parent)
    , m_folder(iconFolder())
{
    setObjectName(u"settingsLogo"_s);
    setFixedSize(frame, frame);
    repaintOnStyleChange(this);
    placeSpill();
}

bool OrlixSettingsLogo::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::ParentChange:
        delete m_spill;
        m_spill = nullptr;
        placeSpill();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide: placeSpill(); break;
    default: break;
    }
    return handled;
}

void OrlixSettingsLogo::placeSpill()
{
    if (!parentWidget())
        return;
    if (!m_spill)
        m_spill = new LogoSpill(this, parentWidget());
    m_spill->setGeometry(geometry().adjusted(-kSpill, -kSpill, kSpill, kSpill));
    m_spill->setVisible(isVisibleTo(parentWidget()));
    m_spill->lower(); // the shadow stays under the labels beside it
    m_spill->update();
}

QString OrlixSettingsLogo::iconFolder()
{
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, u"kolu"_s, QStandardPaths::LocateDirectory);
}

void OrlixSettingsLogo::setIconFolder(const QString &folder)
{
    m_folder = folder;
    update();
    if (m_spill)
        m_spill->update();
}

bool OrlixSettingsLogo::showsMonogram() const
{
    return !settingsLogoImage(m_folder, 58, devicePixelRatioF()).has_value();
}

QColor OrlixSettingsLogo::monogramColor()
{
    const OrlixStyle &style = OrlixStyle::current();
    return style.colorScheme() == ColorScheme::light ? style.text() : QColor(Qt::white);
}

QRectF OrlixSettingsLogo::tileRect() const
{
    return {(width() - kTileSide) / 2.0, (height() - kTileSide) / 2.0, double(kTileSide), double(kTileSide)};
}

void OrlixSettingsLogo::paintEvent(QPaintEvent *)
{
    // Inside a parent the companion paints the tile, uncut.
    if (m_spill)
        return;
    QPainter painter(this);
    paintTile(painter, QPointF());
}

void OrlixSettingsLogo::paintTile(QPainter &painter, QPointF origin) const
{
    const OrlixStyle &style = OrlixStyle::current();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF tile = tileRect().translated(origin);

    const OrlixGlassProfile profile =
        OrlixGlassProfile::tintedControl(style.glassBase(), themeAccentColor(), {0.16, 14, 0, 8});
    LiquidGlassSurface::paint(painter, tile, 18, profile);

    // Drawn at the pixels of what is painted on, which is not always the
    // widget's window (a widget rendered into a picture paints on that
    // picture): one at twice the screen's density would otherwise get the
    // icon scaled up from half its pixels.
    const QPaintDevice *target = painter.paintEngine() ? painter.paintEngine()->paintDevice() : painter.device();
    const qreal dpr = std::max(target->devicePixelRatioF() * std::abs(painter.worldTransform().m11()), 1.0);
    if (const auto image = settingsLogoImage(m_folder, 58, dpr)) {
        const QRectF iconRect(tile.center().x() - 29, tile.center().y() - 29, 58, 58);
        painter.save();
        painter.setClipPath(continuousRoundedRect(iconRect, 17));
        painter.drawPixmap(iconRect, *image, QRectF(QPointF(0, 0), QSizeF(image->size())));
        painter.restore();
    } else {
        painter.setPen(monogramColor());
        painter.setFont(OrlixFonts::rounded(28, QFont::Black));
        painter.drawText(tile, Qt::AlignCenter, u"K"_s);
    }
    paintSettingsCardOutline(painter, tile, 18, Qt::white, 0.18);
    painter.restore();
}

} // namespace kolu
