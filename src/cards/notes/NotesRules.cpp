#include "cards/notes/NotesRules.h"

using namespace Qt::StringLiterals;

namespace kolu::notes {

QString selectedFolderTitle(const std::vector<AppleNoteFolder> &folders, const QString &selectedID)
{
    if (!selectedID.isEmpty()) {
        for (const AppleNoteFolder &folder : folders) {
            if (folder.id == selectedID)
                return folder.name;
        }
    }
    return u"Kolu"_s;
}

std::optional<AppleNoteFolder> folderForSave(const std::vector<AppleNoteFolder> &folders, const QString &selectedID,
                                             bool isLoadingFolders)
{
    if (selectedID.isEmpty())
        return std::nullopt;
    for (const AppleNoteFolder &folder : folders) {
        if (folder.id == selectedID)
            return folder;
    }
    if (isLoadingFolders || folders.empty())
        return AppleNoteFolder{selectedID, u"Kolu"_s, {}};
    return std::nullopt;
}

QString countText(qsizetype count)
{
    return u"%1 from Notes"_s.arg(count);
}

int tintIndex(const QString &noteID)
{
    // FNV-1a over the UTF-16 units: fixed, unlike a seeded hash.
    quint32 hash = 2166136261u;
    for (const QChar c : noteID) {
        hash ^= c.unicode();
        hash *= 16777619u;
    }
    return static_cast<int>(hash % 4u);
}

} // namespace kolu::notes
