#include "services/clipboard/ClipboardRules.h"

#include "model/FilePath.h"
#include "model/PrivateFiles.h"
#include "model/TextCut.h"

#include <QCalendar>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTextBoundaryFinder>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

using namespace Qt::StringLiterals;

namespace kolu::clipboard {

namespace {

bool isLineBreak(QChar c)
{
    // clang-format off
    switch (c.unicode()) {
    case 0x000A: case 0x000B: case 0x000C: case 0x000D: case 0x0085: case 0x2028: case 0x2029:
        return true;
    default:
        return false;
    }
    // clang-format on
}

// Lines of a URI list without comments, blanks, and the leading "copy" or
// "cut" of the copied-files format. `visit` returns true to stop.
template<typename Visit>
void forEachListedURL(const QByteArray &list, Visit visit)
{
    qsizetype start = 0;
    bool first = true;
    while (start < list.size()) {
        qsizetype end = list.indexOf('\n', start);
        if (end < 0)
            end = list.size();
        const QByteArray line = list.sliced(start, end - start).trimmed();
        start = end + 1;
        const bool wasFirst = std::exchange(first, false);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (wasFirst && (line == "copy" || line == "cut"))
            continue;
        const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
        if (url.isValid() && visit(url))
            return;
    }
}

} // namespace

QString sha256Hex(QByteArrayView bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

std::optional<QUrl> normalizedURL(const std::optional<QUrl> &url)
{
    if (!url)
        return std::nullopt;
    const QString scheme = url->scheme().toLower();
    if (scheme == u"http"_s || scheme == u"https"_s)
        return url;
    if (!scheme.isEmpty())
        return std::nullopt;
    const QUrl withScheme(QString(u"https://"_s + url->toString(QUrl::FullyEncoded)), QUrl::StrictMode);
    if (!withScheme.isValid())
        return std::nullopt;
    return withScheme;
}

std::optional<QUrl> wholeTextURL(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    for (const QChar c : trimmed) {
        if (c.isSpace() || isLineBreak(c))
            return std::nullopt;
    }
    const QUrl url(trimmed.toString(), QUrl::StrictMode);
    if (!url.isValid() || trimmed.isEmpty())
        return std::nullopt;
    return normalizedURL(url);
}

namespace {

// Stored bytes of the unit at `i`, counting a surrogate pair once at its first
// half. A lone surrogate counts as an escape, the most a writer may make of it.
int unitBytes(QStringView text, qsizetype i)
{
    const char16_t c = text.at(i).unicode();
    if (c < 0x20 || c == 0x7f)
        return 6; // a six-character escape
    if (c == u'"' || c == u'\\')
        return 2;
    if (c < 0x80)
        return 1;
    if (c < 0x800)
        return 2;
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode()))
        return 4;
    if (QChar::isLowSurrogate(c) && i > 0 && QChar::isHighSurrogate(text.at(i - 1).unicode()))
        return 0;
    if (QChar::isSurrogate(c))
        return 6;
    return 3;
}

// Room for the keys, the date, the id, the kind and the indentation of one entry.
constexpr qint64 kEntryFrameBytes = 512;

} // namespace

QStringView keptText(QStringView text)
{
    QStringView trimmed = text.trimmed();
    qsizetype length = std::min(trimmed.size(), kMaxKeptTextLength);
    qint64 bytes = 0;
    for (qsizetype i = 0; i < length; ++i) {
        bytes += unitBytes(trimmed, i);
        if (bytes > kMaxKeptTextBytes) {
            length = i;
            break;
        }
    }
    return trimmed.first(wholeCharacterCut(trimmed, length));
}

qint64 storedBytes(QStringView text)
{
    qint64 bytes = 2; // the quotes
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes += unitBytes(text, i);
    return bytes;
}

qint64 storedBytes(const ClipboardItem &item)
{
    return kEntryFrameBytes + storedBytes(item.title) + storedBytes(item.value)
           + (item.sourceURL ? storedBytes(*item.sourceURL) : 0) + (item.filePath ? storedBytes(*item.filePath) : 0);
}

bool looksBinary(QStringView text)
{
    // The whole text: a harmless start must not let binary data through, each
    // odd character of which takes six bytes in the history file.
    qsizetype odd = 0;
    for (const QChar c : text) {
        if (c.unicode() == 0)
            return true;
        const bool control = c.category() == QChar::Other_Control && !c.isSpace();
        if (control || c == QChar::ReplacementCharacter)
            ++odd;
    }
    return odd * 10 > text.size();
}

QString cappedTitle(const QString &title)
{
    return title.left(wholeCharacterCut(title, kMaxTitleUnits));
}

QString textTitle(QStringView trimmedText)
{
    qsizetype lineEnd = 0;
    while (lineEnd < trimmedText.size() && !isLineBreak(trimmedText.at(lineEnd)))
        ++lineEnd;
    const QStringView line = trimmedText.first(lineEnd);
    if (line.isEmpty())
        return u"Clipboard text"_s;

    // 80 user-perceived characters, so that no letter or emoji is cut apart,
    // and never more than kMaxTitleUnits: one character can carry any number
    // of combining marks.
    const QString head = line.first(std::min(line.size(), kMaxTitleUnits + 1)).toString();
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, head);
    int count = 0;
    qsizetype cut = 0;
    for (qsizetype next = graphemes.toNextBoundary(); next >= 0; next = graphemes.toNextBoundary()) {
        if (next > kMaxTitleUnits)
            break;
        cut = next;
        if (++count == 80)
            break;
    }
    if (cut == 0)
        cut = wholeCharacterCut(line, kMaxTitleUnits); // a first character longer than the bound
    return line.first(cut).toString();
}

QString captureFileName(const QString &prefix, const QDateTime &moment, const QString &extension)
{
    // The C locale and the Gregorian calendar whatever the user's settings,
    // so names sort by time and stay plain ASCII.
    const QString stamp = QLocale::c().toString(moment.toLocalTime(), u"yyyyMMdd-HHmmss-zzz", QCalendar());
    return QString(prefix + stamp + u'.' + extension);
}

QString unusedFileName(const QString &fileName, const std::function<bool(const QString &name)> &taken)
{
    if (!taken(fileName))
        return fileName;
    const QFileInfo info(fileName);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QString(u'.' + info.suffix());
    for (int n = 2;; ++n) {
        const QString name = QString(base + u'-' + QString::number(n) + suffix);
        if (!taken(name))
            return name;
    }
}

std::optional<QString> firstLocalFile(const QByteArray &uriList)
{
    std::optional<QString> found;
    forEachListedURL(uriList, [&found](const QUrl &url) {
        if (!url.isLocalFile())
            return false;
        // Stored and shown as the file it names: "." and ".." resolved, so
        // "file:///../../etc/shadow" is "/etc/shadow". A relative path names
        // no file.
        found = cleanAbsolutePath(url.toLocalFile());
        return found.has_value();
    });
    return found;
}

std::optional<QUrl> firstURL(const QByteArray &uriList)
{
    std::optional<QUrl> found;
    forEachListedURL(uriList, [&found](const QUrl &url) {
        found = url;
        return true;
    });
    return found;
}

bool FingerprintMemory::remember(const QString &fingerprint)
{
    if (m_known.contains(fingerprint))
        return false;
    m_order.push_back(fingerprint);
    m_known.insert(fingerprint);
    while (static_cast<int>(m_order.size()) > m_capacity) {
        m_known.remove(m_order.front());
        m_order.pop_front();
    }
    return true;
}

std::optional<QString> openableFile(ClipboardItemKind kind, const QString &path, const QString &clipboardFolder)
{
    if (kind != ClipboardItemKind::image && kind != ClipboardItemKind::file)
        return std::nullopt;
    if (path.isEmpty() || !QFileInfo(path).isAbsolute())
        return std::nullopt;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return std::nullopt;
    const QFileInfo target(canonical);
    // Opening a program, a folder or a device is not what a row is for: a
    // program handed to the desktop may be run.
    if (!target.isFile() || target.isExecutable())
        return std::nullopt;
    if (kind == ClipboardItemKind::image) {
        const QString folder = QFileInfo(clipboardFolder).canonicalFilePath();
        if (folder.isEmpty() || !canonical.startsWith(QString(folder + u'/')))
            return std::nullopt;
    }
    return canonical;
}

std::vector<ClipboardItem> withoutMissingImages(std::vector<ClipboardItem> items)
{
    std::erase_if(items, [](const ClipboardItem &item) {
        return item.kind == ClipboardItemKind::image && !QFileInfo(item.filePath.value_or(item.value)).isFile();
    });
    return items;
}

int removeUnnamedImages(const PrivateFolder &folder, const std::vector<ClipboardItem> &items)
{
    // Compared as the files they are, whichever way the folder was named.
    const auto identity = [](const struct stat &info) { return std::pair(info.st_dev, info.st_ino); };
    std::set<std::pair<dev_t, ino_t>> named;
    for (const ClipboardItem &item : items) {
        struct stat info { };
        if (item.kind == ClipboardItemKind::image
            && ::stat(QFile::encodeName(item.filePath.value_or(item.value)).constData(), &info) == 0)
            named.insert(identity(info));
    }
    int removed = 0;
    for (const QString &name : regularFilesIn(folder.descriptor())) {
        struct stat info { };
        const QByteArray native = QFile::encodeName(name);
        if (name.startsWith(u'.') || ::fstatat(folder.descriptor(), native.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0
            || named.count(identity(info)) != 0)
            continue;
        if (folder.removeFile(name))
            ++removed;
    }
    return removed;
}

} // namespace kolu::clipboard
