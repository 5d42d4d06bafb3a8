#pragma once

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

namespace kolu {

class AppState;

// The folders Kolu reads the desktop's calendars, to-do lists and notes from.
enum class AccessFolder { calendar, reminders, notes };

// The folder in use for `folder`: the one chosen in the settings, else the
// first usual place that exists (notes: ~/Notes).
QString accessFolderPath(const AppState &state, AccessFolder folder);
// Every folder looked in for `folder`: the chosen one, else each usual place
// in order of preference.
QStringList accessFolderCandidates(const AppState &state, AccessFolder folder);
// Whether that folder can be read (to-do lists and notes: also written).
bool isAccessFolderUsable(const AppState &state, AccessFolder folder);

// Asks for access: when the folder in use is usable (and `askFirst` is
// false) the state checks it, reports and refreshes; otherwise the user
// picks a folder. A usable pick is stored and checked the same way; one that
// is not is reported in orange and nothing is stored. Cancelling a request
// reports that access is still missing; cancelling `askFirst` changes
// nothing.
QCoro::Task<> requestAccessFolder(AppState &state, AccessFolder folder, bool askFirst);

} // namespace kolu
