#include "services/clipboard/ClipboardCapture.h"

#include "platform/desktop/Pasteboard.h"
#include "services/clipboard/ClipboardRules.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QString kUriList = u"text/uri-list"_s;
const QString kCopiedFiles = u"x-special/gnome-copied-files"_s;

// Whether the owner marked the content as a secret, as password managers do
// for what they copy, so that no history keeps it. The mark is offered in
// whatever casing its owner chose; one whose value does not come (the owner
// was too slow, or refused) counts as set: a password is not risked on a
// late answer.
bool isMarkedSecret(const PasteboardContent &pasteboard, const QStringList &formats)
{
    for (const QString &format : formats) {
        if (format.compare(kPasswordManagerHint, Qt::CaseInsensitive) != 0)
            continue;
        QByteArray value = pasteboard.data(format, 64);
        // Some owners end the value as a C string, with a NUL.
        if (const qsizetype end = value.indexOf('\0'); end >= 0)
            value.truncate(end);
        value = value.trimmed();
        if (value.isEmpty() || value.compare("secret", Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool withinPixelBound(const QSize &size)
{
    return size.isValid() && qint64(size.width()) * size.height() <= clipboard::kMaxImagePixels;
}

// Image formats offered, PNG first, then in the order offered.
QStringList imageFormats(const QStringList &formats)
{
    QStringList images;
    for (const QString &format : formats) {
        if (format.startsWith(u"image/"_s))
            images.append(format);
    }
    if (const qsizetype png = images.indexOf(u"image/png"_s); png > 0)
        images.move(png, 0);
    return images;
}

// Whether `bytes` start like an image Qt can decode; reads the header only.
bool isReadableImage(const QByteArray &bytes, QSize *size)
{
    QByteArray copy = bytes; // shared, not copied
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead())
        return false;
    *size = reader.size();
    return size->isValid() && !size->isEmpty();
}

bool hasVisibleCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return true;
    }
    return false;
}

std::optional<QByteArray> encodePng(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setCompression(clipboard::kPngCompression);
    if (!writer.write(image) || png.isEmpty())
        return std::nullopt;
    return png;
}

std::optional<PreparedCapture> imageCapture(const QImage &image)
{
    if (image.isNull() || !withinPixelBound(image.size()))
        return std::nullopt;
    auto png = encodePng(image);
    if (!png)
        return std::nullopt;
    PreparedCapture capture;
    capture.kind = ClipboardItemKind::image;
    capture.fingerprint = QString(u"image:"_s + clipboard::sha256Hex(*png));
    capture.title = u"Clipboard image"_s;
    capture.png = std::move(*png);
    return capture;
}

std::optional<PreparedCapture> encodedImageCapture(const QByteArray &bytes)
{
    if (bytes.size() > clipboard::kMaxImageBytes)
        return std::nullopt;
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Checked again here: the header decides how much the decoder allocates.
    if (!withinPixelBound(reader.size()))
        return std::nullopt;
    return imageCapture(reader.read());
}

std::optional<PreparedCapture> textCapture(const QString &text)
{
    if (clipboard::looksBinary(QStringView(text).trimmed()))
        return std::nullopt;
    const QStringView kept = clipboard::keptText(text);
    // A text that had to be shortened is no address, nor is one that long
    // (its reading may have stopped just before more words).
    if (QStringView(text).trimmed().size() == kept.size() && kept.size() < clipboard::kMaxKeptTextLength) {
        if (const auto url = clipboard::wholeTextURL(kept))
            return linkCapture(*url);
    }
    if (kept.size() < 2)
        return std::nullopt;
    PreparedCapture capture;
    capture.kind = ClipboardItemKind::text;
    capture.fingerprint = QString(u"text:"_s + clipboard::sha256Hex(kept.toUtf8()));
    capture.title = clipboard::textTitle(kept);
    capture.value = kept.toString();
    return capture;
}

PreparedCapture fileCapture(const QString &path)
{
    PreparedCapture capture;
    capture.kind = ClipboardItemKind::file;
    capture.fingerprint = QString(u"file:"_s + path);
    // A copied folder may come with a trailing separator; its name is still
    // the last component.
    capture.title = QFileInfo(QDir::cleanPath(path)).fileName();
    if (capture.title.isEmpty())
        capture.title = path;
    capture.title = clipboard::cappedTitle(capture.title);
    capture.value = path;
    capture.filePath = path;
    return capture;
}

} // namespace

void allowImagesWithinCaptureBound()
{
    // Decoders allocate up to 8 bytes a pixel (16 bits a channel, with alpha).
    constexpr qint64 kBytesPerPixel = 8;
    constexpr qint64 kNeededMB = (clipboard::kMaxImagePixels * kBytesPerPixel + (1 << 20) - 1) >> 20;
    if (QImageReader::allocationLimit() > 0 && QImageReader::allocationLimit() < kNeededMB)
        QImageReader::setAllocationLimit(int(kNeededMB));
}

PasteboardReading readPasteboard(const PasteboardContent &pasteboard)
{
    PasteboardReading reading;
    const QStringList formats = pasteboard.formats();
    // No formats: nothing is offered, or the list could not be read whole
    // (the owner stalled, refused it, or offered more than is read). A
    // secret mark may be among what was not seen, so nothing is read: a
    // password manager busy at the moment of a copy must not leak it.
    if (formats.isEmpty() || isMarkedSecret(pasteboard, formats))
        return reading; // not a single byte of it is read

    // 1. An image. An offered image Qt cannot read falls through, as if
    // there were none.
    const QStringList images = imageFormats(formats);
    for (const QString &format : images) {
        const QByteArray bytes = pasteboard.data(format, clipboard::kMaxImageBytes);
        if (bytes.isEmpty())
            continue;
        if (bytes.size() > clipboard::kMaxImageBytes) {
            reading.kind = PasteboardReading::Kind::oversizedImage;
            return reading;
        }
        QSize size;
        if (isReadableImage(bytes, &size)) {
            reading.kind = withinPixelBound(size) ? PasteboardReading::Kind::encodedImage
                                                  : PasteboardReading::Kind::oversizedImage;
            reading.imageBytes = bytes;
            return reading;
        }
    }
    if (images.isEmpty()) {
        const QImage image = pasteboard.localImage();
        if (!image.isNull()) {
            reading.kind = withinPixelBound(image.size()) ? PasteboardReading::Kind::localImage
                                                          : PasteboardReading::Kind::oversizedImage;
            reading.image = image;
            return reading;
        }
    }

    // 2. A local file.
    QByteArray uriList;
    if (formats.contains(kUriList))
        uriList = pasteboard.data(kUriList);
    std::optional<QString> file = clipboard::firstLocalFile(uriList);
    if (!file && formats.contains(kCopiedFiles))
        file = clipboard::firstLocalFile(pasteboard.data(kCopiedFiles));
    if (file) {
        reading.kind = PasteboardReading::Kind::file;
        reading.filePath = *file;
        return reading;
    }

    // 3. A text with something visible in it. Only what can be kept is read,
    // and the code point after it: a cut text is known to be cut, and cut
    // between whole characters.
    const QString text = pasteboard.text(clipboard::kMaxKeptTextLength);
    if (hasVisibleCharacter(text)) {
        reading.kind = PasteboardReading::Kind::text;
        reading.text = text;
        return reading;
    }

    // 4. Only without text: an address offered as such.
    if (const auto url = clipboard::normalizedURL(clipboard::firstURL(uriList))) {
        reading.kind = PasteboardReading::Kind::link;
        reading.url = *url;
    }
    return reading;
}

PreparedCapture linkCapture(const QUrl &url)
{
    const QString absolute = url.toString(QUrl::FullyEncoded);
    PreparedCapture capture;
    capture.kind = ClipboardItemKind::link;
    capture.fingerprint = QString(u"link:"_s + absolute);
    capture.title = clipboard::cappedTitle(url.host().isEmpty() ? absolute : url.host());
    capture.value = absolute;
    capture.sourceURL = absolute;
    return capture;
}

std::optional<PreparedCapture> prepareCapture(const PasteboardReading &reading)
{
    switch (reading.kind) {
    case PasteboardReading::Kind::encodedImage: return encodedImageCapture(reading.imageBytes);
    case PasteboardReading::Kind::localImage: return imageCapture(reading.image);
    case PasteboardReading::Kind::file: return fileCapture(reading.filePath);
    case PasteboardReading::Kind::text: return textCapture(reading.text);
    case PasteboardReading::Kind::link: return linkCapture(reading.url);
    case PasteboardReading::Kind::oversizedImage:
    case PasteboardReading::Kind::nothing: break;
    }
    return std::nullopt;
}

} // namespace kolu
