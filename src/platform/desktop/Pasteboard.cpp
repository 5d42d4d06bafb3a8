#include "platform/desktop/Pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QMimeData *clipboardData()
{
    return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
}

} // namespace

PasteboardContent::~PasteboardContent() = default;

SystemPasteboard::SystemPasteboard(QObject *parent)
    : QObject(parent)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    connect(clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            ++m_changeCount;
    });
}

SystemPasteboard::~SystemPasteboard() = default;

QStringList SystemPasteboard::formats() const
{
    const QMimeData *mime = clipboardData();
    return mime ? mime->formats() : QStringList();
}

// Qt transfers a content whole, so the limits change nothing here.
QByteArray SystemPasteboard::data(const QString &format, qsizetype) const
{
    const QMimeData *mime = clipboardData();
    return mime && mime->hasFormat(format) ? mime->data(format) : QByteArray();
}

QString SystemPasteboard::text(qsizetype) const
{
    const QMimeData *mime = clipboardData();
    return mime && mime->hasText() ? mime->text() : QString();
}

QImage SystemPasteboard::localImage() const
{
    const QMimeData *mime = clipboardData();
    if (!mime || !mime->hasImage())
        return {};
    // Qt offers a decoded image for every image it could read; for another
    // program's image that would decode on the spot, on this thread. Such an
    // image also offers its encoded "image/..." formats, which data() reads.
    const QStringList offered = mime->formats();
    for (const QString &format : offered) {
        if (format.startsWith(u"image/"_s))
            return {};
    }
    return qvariant_cast<QImage>(mime->imageData());
}

void SystemPasteboard::writeText(const QString &text)
{
    auto *mime = new QMimeData;
    mime->setText(text);
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}

void SystemPasteboard::writeImage(const QImage &image, const QByteArray &png)
{
    auto *mime = new QMimeData;
    mime->setImageData(image);
    if (!png.isEmpty())
        mime->setData(u"image/png"_s, png);
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}

void SystemPasteboard::writeFiles(const QList<QUrl> &files)
{
    auto *mime = new QMimeData;
    mime->setUrls(files);
    mime->setData(u"x-special/gnome-copied-files"_s, gnomeCopiedFiles(files));
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}

QByteArray gnomeCopiedFiles(const QList<QUrl> &files)
{
    QByteArray bytes("copy");
    for (const QUrl &file : files)
        bytes += '\n' + file.toEncoded();
    return bytes;
}

} // namespace kolu
