#include "model/LeftoverFiles.h"

#include "model/FileDescriptor.h"
#include "model/PrivateFiles.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

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

int removeLeftoverSaveCopies(int folder, const std::function<bool(const QString &name)> &isOwnFile)
{
    int removed = 0;
    for (const QString &name : regularFilesIn(folder)) {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot <= 0 || !isTemporarySuffix(QStringView(name).mid(dot + 1)) || !isOwnFile(name.left(dot)))
            continue;
        if (::unlinkat(folder, QFile::encodeName(name).constData(), 0) == 0)
            ++removed;
    }
    return removed;
}

int removeLeftoverSaveCopies(const QString &folder, const std::function<bool(const QString &name)> &isOwnFile)
{
    const FileDescriptor opened(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return opened.isOpen() ? removeLeftoverSaveCopies(opened.get(), isOwnFile) : 0;
}

} // namespace kolu
