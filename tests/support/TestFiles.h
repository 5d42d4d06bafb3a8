#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace kolu::test {

// Writes `bytes` to `path` whole, creating its folders first, and dates it
// `modified` when one is given. False when any step fails.
bool writeFile(const QString &path, const QByteArray &bytes = "x", const QDateTime &modified = {});

// What `path` holds; empty when it cannot be read.
QByteArray readFile(const QString &path);

} // namespace kolu::test
