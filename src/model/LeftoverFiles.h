#pragma once

#include <QString>

#include <functional>

namespace kolu {

// Removes the copies that whole-file saves killed part way left in `folder`:
// regular files named "<name>.XXXXXX" (six letters or digits, the pattern of
// the save's temporary file) whose <name> `isOwnFile` accepts. Links and
// folders are left alone. Returns how many were removed.
int removeLeftoverSaveCopies(const QString &folder, const std::function<bool(const QString &name)> &isOwnFile);
// The same in the folder open at `folder`.
int removeLeftoverSaveCopies(int folder, const std::function<bool(const QString &name)> &isOwnFile);

} // namespace kolu
