#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace kolu {

// An absolute path with "." and ".." resolved, repeated and trailing
// separators dropped: the file it names, as it is stored and shown. ".."
// at the root stays at the root, so "/../../etc/shadow" is "/etc/shadow".
// Nothing for a relative or empty path.
std::optional<QString> cleanAbsolutePath(QStringView path);

// A folder path as the user may write it in the settings: "~" is `home` and
// a leading "~/" means a path below it; any other path is kept as it is.
QString expandHomePrefix(const QString &path, const QString &home);

// A path as the user knows it: `home` and what lies below it written with
// "~", the rest as it is.
QString homeRelativePath(const QString &path, const QString &home);

} // namespace kolu
