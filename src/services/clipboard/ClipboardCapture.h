#pragma once

#include "model/Enums.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QUrl>

#include <optional>

namespace kolu {

class PasteboardContent;

// What one clipboard change offers, in the order the capture looks at it:
// an image, a local file, a text, an address. Only the reading that decides
// is kept.
struct PasteboardReading {
    enum class Kind { nothing, encodedImage, localImage, oversizedImage, file, text, link };

    Kind kind = Kind::nothing;
    QByteArray imageBytes; // encodedImage
    QImage image;          // localImage
    QString filePath;      // file
    QString text;          // text, untrimmed
    QUrl url;              // link, normalised
};

// Reads the clipboard on the calling thread. Cheap checks only: image
// headers are looked at, nothing is decoded, texts are not copied, and reads
// stop at what the capture can keep.
PasteboardReading readPasteboard(const PasteboardContent &pasteboard);

// A capture ready to be de-duplicated and recorded.
struct PreparedCapture {
    ClipboardItemKind kind = ClipboardItemKind::text;
    QString fingerprint;
    QString title;
    QString value;
    std::optional<QString> sourceURL;
    std::optional<QString> filePath;
    QByteArray png; // image: the bytes to write
};

// Decodes, encodes, hashes and classifies a reading. Safe to run on a worker
// thread. Nothing when the reading yields no entry.
std::optional<PreparedCapture> prepareCapture(const PasteboardReading &reading);

// The link entry of an address.
PreparedCapture linkCapture(const QUrl &url);

// Raises Qt's process-wide limit on what one image decode may allocate to
// what the largest image within the capture's pixel bound needs, so that no
// image within the bound is refused by the decoder. Never lowers it.
void allowImagesWithinCaptureBound();

} // namespace kolu
