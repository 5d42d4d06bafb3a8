#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kolu {

// How many set-aside copies of one file are kept; older ones are removed.
inline constexpr int kKeptDamagedCopies = 3;

// Moves a file that exists but could not be read out of the way before it is
// overwritten, as "<path>.damaged-<UTC time>", so that a typing mistake in a
// hand-edited file never costs the user what it held. Keeps the newest
// kKeptDamagedCopies of them. Returns whether nothing is left at `path`.
bool moveDamagedFileAside(const QString &path, const QDateTime &now);

// The set-aside copies of `path`, oldest first.
QStringList damagedCopies(const QString &path);

} // namespace kolu
