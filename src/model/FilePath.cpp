#include "model/FilePath.h"

#include <QStringList>

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

} // namespace kolu
