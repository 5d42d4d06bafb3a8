#pragma once

#include "model/Records.h"

#include <QString>

#include <optional>
#include <vector>

namespace kolu::notes {

// How many notes the card shows as tiles.
inline constexpr int kTileCount = 4;

// The folder menu's label: the chosen folder's name, "Kolu" when the id names
// none of `folders` (also when it is empty).
QString selectedFolderTitle(const std::vector<AppleNoteFolder> &folders, const QString &selectedID);

// The folder a new note goes to. A known id wins; while the list is loading
// (or was never read) a stored id is still passed, so the note does not land
// in the fallback folder only because the list is late. An id that a loaded
// list no longer holds passes no folder.
std::optional<AppleNoteFolder> folderForSave(const std::vector<AppleNoteFolder> &folders, const QString &selectedID,
                                             bool isLoadingFolders);

// "6 from Notes".
QString countText(qsizetype count);

// A note's title as a tile shows it: control characters (NUL, escapes) and
// the invisible marks that override or embed a writing direction are
// dropped, line breaks and tabs read as spaces. The note keeps its own text.
QString shownTitle(const QString &title);

// The tile colour of a note: 0...3, the same for an id in every run.
int tintIndex(const QString &noteID);

} // namespace kolu::notes
