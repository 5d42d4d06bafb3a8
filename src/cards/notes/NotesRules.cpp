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

QString shownTitle(const QString &title)
{
    QString shown;
    shown.reserve(title.size());
    for (const QChar c : title) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\t' || u == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            shown += u' ';
        else if (c.category() == QChar::Other_Control)
            continue;
        else if ((u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069))
            continue; // direction embeddings, overrides and isolates
        else
            shown += c;
    }
    return shown.simplified();
}

} // namespace kolu::notes
