#include "model/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kolu {

bool writeFileAtomically(const QString &path, const QByteArray &bytes, const SaveDeviceWrapper &wrap)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;

    QIODevice *out = &file;
    std::unique_ptr<QIODevice> wrapper;
    if (wrap) {
        wrapper = wrap(&file);
        if (!wrapper || !wrapper->open(QIODevice::WriteOnly)) {
            file.cancelWriting();
            return false;
        }
        out = wrapper.get();
    }

    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 chunk = out->write(bytes.constData() + written, bytes.size() - written);
        if (chunk <= 0) {
            file.cancelWriting();
            return false;
        }
        written += chunk;
    }
    if (wrapper)
        wrapper->close();
    return file.commit();
}

std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(maxSize + 1);
    if (bytes.size() > maxSize || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace kolu
