#include "model/FilePath.h"

#include <QDir>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace kolu {

std::optional<QString> cleanAbsolutePath(QStringView path)
{
    if (!path.startsWith(u'/'))
        return std::nullopt;
    QList<QStringView> kept;
    for (const QStringView segment : path.split(u'/')) {
        if (segment.isEmpty() || segment == u".")
            continue;
        if (segment == u"..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept.append(segment);
    }
    QString clean;
    for (const QStringView segment : kept) {
        clean += u'/';
        clean += segment;
    }
    return clean.isEmpty() ? QString(u'/') : clean;
}

QString expandHomePrefix(const QString &path, const QString &home)
{
    if (path == u"~")
        return home;
    if (path.startsWith(u"~/"))
        return QDir(home).filePath(path.mid(2));
    return path;
}

QString homeRelativePath(const QString &path, const QString &home)
{
    if (path == home)
        return u"~"_s;
    if (path.startsWith(QString(home + u'/')))
        return QString(u"~"_s + path.mid(home.size()));
    return path;
}

} // namespace kolu
