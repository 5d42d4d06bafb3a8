#include "cards/FolderTexts.h"

#include "model/FilePath.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace kolu {

GoneFolderText goneFolderText(CardFolder folder, const QString &path)
{
    QString title;
    switch (folder) {
    case CardFolder::calendar: title = u"Calendar folder can’t be read"_s; break;
    case CardFolder::todos: title = u"To-do folder can’t be read"_s; break;
    case CardFolder::notes: title = u"Notes folder can’t be read"_s; break;
    }
    const QString shown = QDir::toNativeSeparators(homeRelativePath(path, QDir::homePath()));
    return {title, QString(), QString(u"“"_s + shown + u"”"_s),
            u" is gone or can’t be opened. Bring it back, or choose another folder."_s};
}

} // namespace kolu
