#pragma once

#include "model/Enums.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <QUrl>

namespace kolu::tray {

// The clipboard section lists this many of the newest entries.
inline constexpr int kShownClipboardRows = 6;
// One drag carries at most this many files.
inline constexpr int kMaxDraggedFiles = 12;
// A press that moves farther than this (logical pixels) becomes a drag.
inline constexpr double kDragThreshold = 3.0;
// Image files above this size are never read for a clipboard thumbnail.
inline constexpr qint64 kLargeImagePreviewLimitBytes = 20'971'520;
// Each icon of the drag image sits this far right of and below the one
// before it.
inline constexpr int kDragFanStep = 3;
inline constexpr int kDragIconSize = 36;

// "1 item", otherwise "<n> items" (0 included).
QString heldCountText(qsizetype count);
// "<n> captured".
QString capturedCountText(qsizetype count);
// What a held file that is gone shows in place of its type.
QString missingFileText();

// Whether a press that went from `pressed` to `now` has become a drag.
bool movedFarEnoughToDrag(QPointF pressed, QPointF now);

// The files one drag carries: `urls` in order, at most kMaxDraggedFiles. When
// the list is longer, the pressed file is always kept: the first
// kMaxDraggedFiles - 1 others and the pressed file, in list order.
QList<QUrl> cappedDragURLs(const QList<QUrl> &urls, const QUrl &pressed);

// Whether the file's extension (any case) names a picture the tray shows as
// itself: png, jpg, jpeg, heic, gif, tiff, webp.
bool hasImageExtension(const QString &path);

// Strictly above `limit` bytes.
bool isLargeImage(qint64 bytes, qint64 limit = kLargeImagePreviewLimitBytes);

// The symbol and colour of a clipboard entry's kind.
QString kindSymbol(ClipboardItemKind kind);
QColor kindTint(ClipboardItemKind kind);

} // namespace kolu::tray
