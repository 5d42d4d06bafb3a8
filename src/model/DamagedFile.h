#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kolu {

// How many set-aside copies of one file are kept; older ones are removed.
inline constexpr int kKeptDamagedCopies = 3;

// Moves a file that exists but could not be read out of the way before it is
// overwritten, as "<name>.damaged-<UTC time>" beside it, so that a typing
// mistake in a hand-edited file never costs the user what it held. Keeps the
// newest kKeptDamagedCopies of them. All happens within the folder open at
// `folder`. Returns whether nothing is left at `name`.
bool moveDamagedFileAside(int folder, const QString &name, const QDateTime &now);

// The set-aside copies of `path`, oldest first.
QStringList damagedCopies(const QString &path);

} // namespace kolu
