#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kolu {

// The folders where synchronisation and command-line calendar tools keep
// calendars, one folder per calendar or list, in order of preference.
QStringList defaultCalendarRootCandidates(const QString &home);

// The folder the user chose in `configured` (a leading "~/" means `home`),
// or nothing when none is chosen and a default one is used.
std::optional<QString> chosenCalendarRoot(const std::optional<QString> &configured, const QString &home);

// The configured root when one is set (a leading "~/" means `home`), else the
// first default candidate that exists, else the first candidate.
QString resolveCalendarRoot(const std::optional<QString> &configured, const QString &home);

// A folder that can be listed (and, for `writable`, written into).
bool isUsableFolder(const QString &path, bool writable);

struct CalendarCollection {
    QString name; // the folder's name
    QString path; // its resolved absolute path
};

// The calendar folders directly below `root`, by name. Hidden folders and
// symbolic links that lead outside the root are left out.
std::vector<CalendarCollection> calendarCollections(const QString &root);

// The ".ics" files of one calendar folder, by name, as resolved paths. Hidden
// files, anything that is not a regular file and links that lead outside the
// folder are left out, and each file is listed once however many links lead
// to it.
QStringList calendarItemFiles(const QString &collectionPath);

// Files larger than this are not read whole: no single item comes close
// unless it carries an attachment or a pasted document.
inline constexpr qint64 kMaxCalendarItemFileSize = 4 * 1024 * 1024;

} // namespace kolu
