#include "services/wallpaper/WallpaperListing.h"

#include "model/RawEnum.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QString sourceLabel(WallpaperSource source)
{
    return source == WallpaperSource::localFolder ? u"Local Folder"_s : u"Web Library"_s;
}

WallpaperCandidate makeCandidate(const QString &path, int index, WallpaperSource source)
{
    const QString label = sourceLabel(source);
    const QUrl fileURL = QUrl::fromLocalFile(path);

    WallpaperCandidate candidate;
    candidate.id = QString(rawValue(source) + u'-' + sanitizedWallpaperID(path));
    candidate.title = wallpaperDisplayTitle(path, index);
    candidate.collection = WallpaperLibrary::noir;
    candidate.source = source;
    candidate.sourceID = lastPathComponent(path);
    candidate.category = WallpaperCategory::minimal;
    candidate.library = WallpaperLibrary::noir;
    candidate.photographerArtist = label;
    candidate.previewURL = fileURL;
    candidate.imageURL = fileURL;
    candidate.thumbnailURL = fileURL;
    candidate.license = label;
    candidate.isPublicDomain = false;
    candidate.attributionText = label;
    candidate.author = label;
    candidate.localFileURL = fileURL;
    return candidate;
}

} // namespace

QString wallpaperDisplayTitle(const QString &filePath, int index)
{
    QString name = lastPathComponent(filePath);
    // Only the last extension goes: "a.b.png" reads "a.b".
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    name.replace(u'_', u' ');
    name.replace(u'-', u' ');
    name.remove(u"ChatGPT Image"_s);
    name.remove(u"Sep 27, 2026,"_s);
    name = name.trimmed();
    if (name.isEmpty())
        return u"Wallpaper %1"_s.arg(index);
    return name;
}

QString sanitizedWallpaperID(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const char32_t scalar : text.toUcs4()) {
        const bool keep = QChar::isLetterOrNumber(scalar) || QChar::isMark(scalar) || scalar == U'-' || scalar == U'_';
        if (keep)
            result.append(QString::fromUcs4(&scalar, 1));
        else
            result.append(u'-');
    }
    return result;
}

bool hasWallpaperImageExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString extension = fileName.mid(dot + 1).toLower();
    return extension == u"png"_s || extension == u"jpg"_s || extension == u"jpeg"_s || extension == u"heic"_s
           || extension == u"webp"_s;
}

bool startsLikeImage(const QByteArray &head)
{
    if (head.startsWith("\x89PNG\r\n\x1a\n") || head.startsWith("\xff\xd8\xff"))
        return true;
    if (head.size() < 12)
        return false;
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return true;
    // HEIF: a file-type box whose major brand is one of the HEIF brands.
    static const QByteArrayList heifBrands{"heic", "heix", "hevc", "hevx", "heim",
                                           "heis", "hevm", "hevs", "mif1", "msf1"};
    return head.mid(4, 4) == "ftyp" && heifBrands.contains(head.mid(8, 4));
}

QList<WallpaperCandidate> listWallpaperFolder(const QString &folder, WallpaperSource source)
{
    // Without QDir::Hidden, hidden files are skipped and hidden folders are
    // not entered; without FollowSymlinks, linked folders are not entered.
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);

    struct Found {
        QString path;
        QString name;
    };
    std::vector<Found> found;
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink() || !info.isFile() || !hasWallpaperImageExtension(info.fileName())
            || info.size() > kMaxWallpaperImageBytes)
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !startsLikeImage(file.read(12)))
            continue;
        found.push_back({QDir::cleanPath(path), info.fileName()});
    }

    // The C locale's collator compares code units and ignores numeric mode,
    // so a session without a language still gets the natural order.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(found.begin(), found.end(),
                     [&collator](const Found &a, const Found &b) { return collator.compare(a.name, b.name) < 0; });

    QList<WallpaperCandidate> candidates;
    candidates.reserve(qsizetype(found.size()));
    int index = 1;
    for (const Found &file : found)
        candidates.append(makeCandidate(file.path, index++, source));
    return candidates;
}

} // namespace kolu
