#include "platform/Pasteboard.h"

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

Pasteboard::~Pasteboard() = default;

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

QByteArray SystemPasteboard::data(const QString &format) const
{
    const QMimeData *mime = clipboardData();
    return mime && mime->hasFormat(format) ? mime->data(format) : QByteArray();
}

QString SystemPasteboard::text() const
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

} // namespace kolu
