#include "model/LeftoverFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kolu {

namespace {

bool isTemporarySuffix(QStringView suffix)
{
    if (suffix.size() != 6)
        return false;
    for (const QChar c : suffix) {
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

} // namespace

int removeLeftoverSaveCopies(const QString &folder, const std::function<bool(const QString &name)> &isOwnFile)
{
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot <= 0 || entry.isSymLink() || !entry.isFile() || !isTemporarySuffix(QStringView(name).mid(dot + 1))
            || !isOwnFile(name.left(dot)))
            continue;
        if (QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace kolu
