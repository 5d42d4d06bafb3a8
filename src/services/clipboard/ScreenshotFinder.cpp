#include "services/clipboard/ScreenshotFinder.h"

#include "model/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

struct Candidate {
    QString path;
    QDateTime date;
};

QDateTime fileDate(const QFileInfo &info)
{
    QDateTime date = info.lastModified();
    if (!date.isValid())
        date = info.birthTime();
    return date;
}

} // namespace

bool isScreenshotFileName(const QString &fileName)
{
    const QFileInfo info(fileName);
    static const QStringList extensions{u"png"_s, u"jpg"_s, u"jpeg"_s, u"heic"_s, u"tiff"_s};
    if (!extensions.contains(info.suffix().toLower()))
        return false;
    const QString base = info.completeBaseName().toLower();
    return base.contains(u"screenshot"_s) || base.contains(u"screen shot"_s) || base.contains(u"لقطة شاشة"_s);
}

std::optional<FoundScreenshot> findNewestScreenshot(const QStringList &folders, const QDateTime &from,
                                                    const QDateTime &to, qint64 maxBytes)
{
    std::vector<Candidate> candidates;
    for (const QString &folder : folders) {
        // Symbolic links are not regular files; hidden files are skipped.
        const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name);
        for (const QFileInfo &entry : entries) {
            if (!entry.isFile() || !isScreenshotFileName(entry.fileName()))
                continue;
            const QDateTime date = fileDate(entry);
            if (date.isValid() && from <= date && date <= to)
                candidates.push_back({entry.absoluteFilePath(), date});
        }
    }
    if (candidates.empty())
        return std::nullopt;

    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &a, const Candidate &b) { return a.date > b.date; });
    const Candidate &newest = candidates.front();
    auto bytes = readWholeFile(newest.path, maxBytes);
    if (!bytes)
        return std::nullopt;
    return FoundScreenshot{newest.path, newest.date, std::move(*bytes)};
}

} // namespace kolu
