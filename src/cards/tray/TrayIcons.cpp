#include "cards/tray/TrayIcons.h"

#include "cards/tray/TrayRules.h"
#include "cards/tray/TrayThumbnails.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Decoded for at least a double-density screen, so a picture stays sharp
// when the panel moves to one.
int pixelEdge(const QWidget *widget, int points)
{
    return int(std::ceil(points * std::max(2.0, widget->devicePixelRatioF())));
}

} // namespace

QIcon fileTypeIcon(const QString &path)
{
    // By extension, so most files cost no look at the disk; a name without
    // one may be a folder.
    static QHash<QString, QIcon> bySuffix;
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    const QString key = !suffix.isEmpty() ? suffix : info.isDir() ? u"/"_s : QString();
    const auto found = bySuffix.constFind(key);
    if (found != bySuffix.constEnd())
        return *found;
    QIcon icon;
    if (key == u"/"_s) {
        icon = QIcon::fromTheme(u"folder"_s);
    } else {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    bySuffix.insert(key, icon);
    return icon;
}

// FileTrayIcon

FileTrayIcon::FileTrayIcon(const QUrl &url, TrayThumbnails &thumbnails, QWidget *parent)
    : QWidget(parent)
    , m_thumbnails(thumbnails)
    , m_path(QFileInfo(url.toLocalFile()).absoluteFilePath())
    , m_isImage(tray::hasImageExtension(url.toLocalFile()))
{
    setObjectName(u"fileTrayIcon"_s);
    setFixedSize(kSize, kSize);
    repaintOnStyleChange(this);
    if (m_isImage) {
        connect(&m_thumbnails, &TrayThumbnails::finished, this, [this](const QString &path) {
            if (path == m_path)
                refresh();
        });
    }
    refresh();
}

void FileTrayIcon::refresh()
{
    m_image = {};
    const QFileInfo info(m_path);
    if (!info.exists()) {
        m_look = Look::missing;
    } else if (const auto thumbnail =
                   m_isImage ? m_thumbnails.request(m_path, pixelEdge(this, kSize)) : TrayThumbnails::Thumbnail{};
               thumbnail.state == TrayThumbnails::State::ready) {
        m_look = Look::picture;
        m_image = thumbnail.image;
    } else {
        m_look = Look::typeIcon;
        if (m_typeIcon.isNull())
            m_typeIcon = fileTypeIcon(m_path);
    }
    update();
}

void FileTrayIcon::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF frame = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    const QPainterPath shape = continuousRoundedRect(frame, 11);
    painter.fillPath(shape, withAlpha(style.surfaceRaised(), 0.7));
    switch (m_look) {
    case Look::picture:
        painter.save();
        painter.setClipPath(shape);
        painter.drawImage(QRectF(rect()), m_image);
        painter.restore();
        break;
    case Look::typeIcon:
        if (!m_typeIcon.isNull())
            m_typeIcon.paint(&painter, rect().adjusted(7, 7, -7, -7));
        else
            IconProvider::paint(painter, QRectF(rect()), QFileInfo(m_path).isDir() ? u"folder"_s : u"doc"_s, 20,
                                style.iconSecondary());
        break;
    case Look::missing:
        IconProvider::paint(painter, QRectF(rect()), u"doc"_s, 20, withAlpha(style.iconSecondary(), 0.55));
        break;
    }
    painter.strokePath(shape, QPen(withAlpha(style.hairline(), 0.22), 0.8));
}

// ClipboardItemIcon

ClipboardItemIcon::ClipboardItemIcon(const ClipboardItem &item, const QString &symbol, const QColor &tint,
                                     qint64 byteLimit, TrayThumbnails &thumbnails, QWidget *parent)
    : QWidget(parent)
    , m_thumbnails(thumbnails)
    , m_item(item)
    , m_symbol(symbol)
    , m_tint(tint)
    , m_byteLimit(byteLimit)
{
    setObjectName(u"clipboardItemIcon"_s);
    if (m_item.kind == ClipboardItemKind::image && m_item.filePath)
        m_path = QFileInfo(*m_item.filePath).absoluteFilePath();
    repaintOnStyleChange(this);
    if (!m_path.isEmpty()) {
        connect(&m_thumbnails, &TrayThumbnails::finished, this, [this](const QString &path) {
            if (path == m_path)
                refresh();
        });
    }
    refresh();
}

void ClipboardItemIcon::refresh()
{
    Look look = Look::kindIcon;
    m_image = {};
    if (!m_path.isEmpty()) {
        const TrayThumbnails::Thumbnail thumbnail =
            m_thumbnails.request(m_path, pixelEdge(this, kThumbnailSize), m_byteLimit);
        switch (thumbnail.state) {
        case TrayThumbnails::State::ready:
            look = Look::thumbnail;
            m_image = thumbnail.image;
            break;
        case TrayThumbnails::State::tooLarge: look = Look::largeImagePlaceholder; break;
        case TrayThumbnails::State::pending: look = Look::loading; break;
        case TrayThumbnails::State::failed:
        case TrayThumbnails::State::missing: break;
        }
    }
    m_look = look;
    const int side = look == Look::kindIcon ? kSymbolFrame : kThumbnailSize;
    if (size() != QSize(side, side)) {
        setFixedSize(side, side);
        updateGeometry();
    }
    update();
}

void ClipboardItemIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const OrlixStyle &style = OrlixStyle::current();
    switch (m_look) {
    case Look::kindIcon:
        IconProvider::paint(painter, QRectF(rect()), m_symbol, 13, style.symbolInk(m_tint), IconWeight::bold);
        break;
    case Look::thumbnail: {
        // The shadow is drawn as two soft rings below the picture.
        const QRectF frame = QRectF(rect()).adjusted(1, 0, -1, -2);
        const QPainterPath shape = continuousRoundedRect(frame, 11);
        for (int i = 1; i <= 3; ++i) {
            painter.fillPath(
                continuousRoundedRect(frame.translated(0, 1 + i * 0.4).adjusted(-i * 0.3, 0, i * 0.3, i * 0.3), 11),
                QColor(0, 0, 0, 10));
        }
        painter.save();
        painter.setClipPath(shape);
        painter.drawImage(frame, m_image);
        painter.restore();
        painter.strokePath(shape, QPen(QColor(255, 255, 255, 46), 0.7));
        break;
    }
    case Look::largeImagePlaceholder: paintLargeImagePlaceholder(painter); break;
    case Look::loading: {
        const QPainterPath shape = continuousRoundedRect(QRectF(rect()).adjusted(0.35, 0.35, -0.35, -0.35), 11);
        painter.fillPath(shape, withAlpha(style.surfaceRaised(), 0.38));
        IconProvider::paint(painter, QRectF(rect()), m_symbol, 13, style.symbolInk(m_tint), IconWeight::bold);
        break;
    }
    }
}

void ClipboardItemIcon::paintLargeImagePlaceholder(QPainter &painter)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QPainterPath shape = continuousRoundedRect(QRectF(rect()).adjusted(0.35, 0.35, -0.35, -0.35), 11);
    painter.fillPath(shape, withAlpha(style.surfaceRaised(), 0.38));
    // The symbol in the upper half; the two words, padded 22 at the top,
    // centred as one block with that padding, so they sit below the symbol
    // and clear of the bottom edge whatever the font's line height.
    IconProvider::paint(painter, QRectF(0, 4, width(), 24), u"photo"_s, 18, style.symbolInk(m_tint));
    static const QFont font = OrlixFonts::system(8.5, QFont::Light);
    static const QString words = u"Large\nImage"_s;
    constexpr qreal kTextTopPadding = 22;
    const QRectF text = QFontMetricsF(font).boundingRect(QRectF(0, 0, width(), height()), Qt::AlignHCenter, words);
    const qreal top = (height() - (text.height() + kTextTopPadding)) / 2 + kTextTopPadding;
    painter.setFont(font);
    painter.setPen(style.readable(style.secondaryText()));
    painter.drawText(QRectF(0, top, width(), text.height()), Qt::AlignHCenter | Qt::AlignTop, words);
    painter.strokePath(shape, QPen(withAlpha(style.hairline(), 0.22), 0.7));
}

} // namespace kolu
