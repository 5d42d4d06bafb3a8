#include "cards/tray/TrayRules.h"

#include <QFileInfo>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu::tray {

QString heldCountText(qsizetype count)
{
    return count == 1 ? u"1 item"_s : u"%1 items"_s.arg(count);
}

QString capturedCountText(qsizetype count)
{
    return u"%1 captured"_s.arg(count);
}

QString missingFileText()
{
    return u"Missing"_s;
}

bool movedFarEnoughToDrag(QPointF pressed, QPointF now)
{
    const QPointF delta = now - pressed;
    return std::hypot(delta.x(), delta.y()) > kDragThreshold;
}

QList<QUrl> cappedDragURLs(const QList<QUrl> &urls, const QUrl &pressed)
{
    if (urls.size() <= kMaxDraggedFiles)
        return urls;
    QList<QUrl> first = urls.first(kMaxDraggedFiles);
    if (first.contains(pressed) || !urls.contains(pressed))
        return first;
    QList<QUrl> kept;
    for (const QUrl &url : urls) {
        if (url == pressed || kept.size() < kMaxDraggedFiles - 1)
            kept.append(url);
        if (kept.size() == kMaxDraggedFiles)
            break;
    }
    return kept;
}

bool hasImageExtension(const QString &path)
{
    static const QStringList extensions = {u"png"_s, u"jpg"_s, u"jpeg"_s, u"heic"_s, u"gif"_s, u"tiff"_s, u"webp"_s};
    return extensions.contains(QFileInfo(path).suffix().toLower());
}

bool isLargeImage(qint64 bytes, qint64 limit)
{
    return bytes > limit;
}

QString kindSymbol(ClipboardItemKind kind)
{
    switch (kind) {
    case ClipboardItemKind::link: return u"link"_s;
    case ClipboardItemKind::text: return u"text.alignleft"_s;
    case ClipboardItemKind::image: return u"photo"_s;
    case ClipboardItemKind::file: return u"doc"_s;
    }
    return u"doc"_s;
}

QColor kindTint(ClipboardItemKind kind)
{
    // The desktop's standard named colours.
    switch (kind) {
    case ClipboardItemKind::link: return QColor(50, 173, 230); // cyan
    case ClipboardItemKind::text: return QColor(0, 199, 190);  // mint
    case ClipboardItemKind::image: return QColor(255, 204, 0); // yellow
    case ClipboardItemKind::file: return QColor(0, 122, 255);  // blue
    }
    return QColor(0, 122, 255);
}

} // namespace kolu::tray
