#pragma once

#include "model/AtomicFile.h"

#include <QByteArray>
#include <QString>

namespace kolu {

enum class GuardedReplace {
    replaced,         // `bytes` are in place
    changedMeanwhile, // another program saved the file first; nothing was changed
    failed,           // the new content could not be written; nothing was changed
};

// Puts `bytes` in place of the file at `path`, atomically, only when the file
// still holds `expected`: a save by another program (a synchronisation tool)
// is never replaced by content built from what it replaced. The check is
// repeated once the new content is safely on disk, right before the swap, and
// the swap itself verifies what it displaced. `wrap` lets tests step in.
GuardedReplace replaceFileIfUnchanged(const QString &path, const QByteArray &expected, const QByteArray &bytes,
                                      const SaveDeviceWrapper &wrap = {});

} // namespace kolu
