#pragma once

#include "model/AtomicFile.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace kolu {

// Called right before each swap of names: 0 for the one that puts the new
// content in place, then 1, 2... for those that put back a save it displaced.
using GuardedReplaceStep = std::function<void(int swap)>;

enum class GuardedReplace {
    replaced,         // `bytes` are in place
    changedMeanwhile, // another program saved the file first; nothing was changed
    failed,           // the new content could not be written; nothing was changed
};

// Puts `bytes` in place of the file at `path`, atomically, only when the file
// still holds `expected`: a save by another program (a synchronisation tool)
// is never replaced by content built from what it replaced. The check is
// repeated once the new content is safely on disk, right before the swap, and
// the swap itself verifies what it displaced: a save it displaced is swapped
// back, and so is any save that lands while that happens. (A program that
// writes the file in place rather than replacing it is not guarded against.)
// `wrap` and `step` let tests step in.
GuardedReplace replaceFileIfUnchanged(const QString &path, const QByteArray &expected, const QByteArray &bytes,
                                      const SaveDeviceWrapper &wrap = {}, const GuardedReplaceStep &step = {});

} // namespace kolu
