#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace kolu {

// A screenshot file found by a scan, read whole.
struct FoundScreenshot {
    QString path;
    QDateTime date;
    QByteArray bytes;
};

// Whether a file name looks like a screenshot's: a picture extension and
// "screenshot", "screen shot" or "لقطة شاشة" in its base name, in any case.
bool isScreenshotFileName(const QString &fileName);

// The newest screenshot among the regular, visible files of `folders` (not
// their subfolders) whose date (modification, else creation) lies within
// [from, to], read whole. Among equal dates the earlier folder, then the
// name that sorts first, wins. Nothing when there is none, or when the
// newest cannot be read or is larger than `maxBytes`. Runs on any thread.
std::optional<FoundScreenshot> findNewestScreenshot(const QStringList &folders, const QDateTime &from,
                                                    const QDateTime &to, qint64 maxBytes);

} // namespace kolu
