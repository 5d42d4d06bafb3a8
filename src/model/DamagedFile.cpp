#include "model/DamagedFile.h"

#include "model/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QString asidePrefix(const QString &name)
{
    return name + u".damaged-"_s;
}

// The names of the set-aside copies of `name` in `folder`, oldest first (the
// stamp sorts by time, and a "-2" for the same second after the first).
QStringList copiesIn(int folder, const QString &name)
{
    QStringList copies = regularFilesIn(folder);
    const QString prefix = asidePrefix(name);
    copies.removeIf([&prefix](const QString &found) { return !found.startsWith(prefix); });
    return copies;
}

} // namespace

QStringList damagedCopies(const QString &path)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    QStringList copies;
    for (const QString &name :
         folder.entryList({asidePrefix(info.fileName()) + u'*'}, QDir::Files | QDir::Hidden, QDir::Name))
        copies.append(folder.filePath(name));
    return copies;
}

bool moveDamagedFileAside(int folder, const QString &name, const QDateTime &now)
{
    const QString base = asidePrefix(name) + now.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s);
    const QByteArray native = QFile::encodeName(name);
    const auto taken = [folder](const QString &candidate) {
        struct stat info { };
        return ::fstatat(folder, QFile::encodeName(candidate).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    };
    // The new copy must sort after every earlier one, so that pruning takes
    // the oldest; several in one second are numbered.
    const QStringList earlier = copiesIn(folder, name);
    QString aside = base;
    for (int n = 2; taken(aside) || (!earlier.isEmpty() && earlier.last() >= aside); ++n)
        aside = base + u'-' + u"%1"_s.arg(n, 3, 10, QChar(u'0'));
    if (::renameat(folder, native.constData(), folder, QFile::encodeName(aside).constData()) != 0)
        return !taken(name);

    QStringList copies = copiesIn(folder, name);
    while (copies.size() > kKeptDamagedCopies)
        ::unlinkat(folder, QFile::encodeName(copies.takeFirst()).constData(), 0);
    return true;
}

} // namespace kolu
