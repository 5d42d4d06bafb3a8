#include "model/DamagedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QString asidePrefix(const QString &path)
{
    return QFileInfo(path).fileName() + u".damaged-"_s;
}

} // namespace

QStringList damagedCopies(const QString &path)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    QStringList copies;
    // The stamp sorts by time, and a "-2" for the same second after the first.
    for (const QString &name : folder.entryList({asidePrefix(path) + u'*'}, QDir::Files | QDir::Hidden, QDir::Name))
        copies.append(folder.filePath(name));
    return copies;
}

bool moveDamagedFileAside(const QString &path, const QDateTime &now)
{
    const QString base = path + u".damaged-"_s + now.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s);
    // The new copy must sort after every earlier one, so that pruning takes
    // the oldest; several in one second are numbered.
    const QStringList earlier = damagedCopies(path);
    QString aside = base;
    for (int n = 2;
         QFileInfo::exists(aside) || QFileInfo(aside).isSymLink() || (!earlier.isEmpty() && earlier.last() >= aside);
         ++n)
        aside = base + u'-' + u"%1"_s.arg(n, 3, 10, QChar(u'0'));
    if (!QFile::rename(path, aside))
        return !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();

    QStringList copies = damagedCopies(path);
    while (copies.size() > kKeptDamagedCopies)
        QFile::remove(copies.takeFirst());
    return true;
}

} // namespace kolu
