#pragma once

#include "model/Records.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace kolu {
class PrivateFolder;
}

namespace kolu::clipboard {

// Bounds on what a capture takes in. The clipboard itself keeps everything;
// these only decide what the history receives.

// Longer texts are kept shortened to this many UTF-16 units, and further to
// this many bytes in the history file; the fingerprint is of the kept text.
inline constexpr qsizetype kMaxKeptTextLength = 200'000;
inline constexpr qint64 kMaxKeptTextBytes = 512 * 1024;
// What the whole history may take in its file: well below what the reader
// accepts, so the history always reads back. Beyond it the oldest entries go.
inline constexpr qint64 kMaxHistoryBytes = 24 * 1024 * 1024;
// Images with more pixels are not captured (an 8000 x 8000 image would take
// 256 MB decoded).
inline constexpr qint64 kMaxImagePixels = 40'000'000;
// What captured images are written with. Qt's PNG writer takes 0 to 100 here
// and turns it into a zlib level of value * 9 / 91 (so 0 to 10 store the
// pixels uncompressed); 15 is level 1, the fastest that compresses: a 4K
// screenshot is stored in under 2 MB rather than 32, in about the time the
// uncompressed write took.
inline constexpr int kPngCompression = 15;
// Encoded images larger than this are not captured.
inline constexpr qsizetype kMaxImageBytes = 64 * 1024 * 1024;
// Screenshot files larger than this are not copied.
inline constexpr qint64 kMaxScreenshotBytes = 64 * 1024 * 1024;
// Titles hold at most this many UTF-16 units.
inline constexpr qsizetype kMaxTitleUnits = 320;
// Fingerprints remembered for de-duplication.
inline constexpr int kFingerprintCapacity = 80;

// SHA-256 as 64 lower-case hexadecimal digits.
QString sha256Hex(QByteArrayView bytes);

// http and https addresses unchanged; an address without a scheme gets
// "https://"; anything else gives nothing.
std::optional<QUrl> normalizedURL(const std::optional<QUrl> &url);

// The address a copied text stands for when the whole text, trimmed, is one
// token that parses as an address (normalised as above).
std::optional<QUrl> wholeTextURL(QStringView text);

// The text trimmed of white space and shortened to kMaxKeptTextLength units
// and kMaxKeptTextBytes stored bytes without splitting a surrogate pair. A
// view into `text`.
QStringView keptText(QStringView text);

// At least as many bytes as `text` takes as a string in a stored file:
// UTF-8, with quotes, backslashes and control characters escaped.
qint64 storedBytes(QStringView text);
// At least as many bytes as `item` takes in the history file.
qint64 storedBytes(const ClipboardItem &item);

// Whether a copied text is really binary data: it holds a NUL, or control
// and replacement characters make up more than a tenth of it.
bool looksBinary(QStringView text);

// The history title of a text: its first line, cut to 80 characters (and to
// kMaxTitleUnits).
QString textTitle(QStringView trimmedText);

// The title of a link or a file (an address, a path) cut to kMaxTitleUnits
// without splitting a surrogate pair.
QString cappedTitle(const QString &title);

// "<prefix><yyyyMMdd-HHmmss-SSS>.<extension>" of `moment` in local time,
// always with ASCII digits and the Gregorian calendar.
QString captureFileName(const QString &prefix, const QDateTime &moment, const QString &extension);

// `fileName`, or when `taken` says that is there "<base>-2.<ext>", "-3",
// ..., so that an earlier capture is never overwritten.
QString unusedFileName(const QString &fileName, const std::function<bool(const QString &name)> &taken);

// The first local file named by a "text/uri-list" or
// "x-special/gnome-copied-files" payload, as a clean absolute path (see
// cleanAbsolutePath). Lines are read only up to the first file, so a list of
// thousands costs little.
std::optional<QString> firstLocalFile(const QByteArray &uriList);
// The first address of such a payload, of any scheme.
std::optional<QUrl> firstURL(const QByteArray &uriList);

// The file a history entry of `kind` (image or file) may hand to the desktop
// to be opened, as a canonical path: an existing regular file (links
// followed) that is not a program; an image's only inside `clipboardFolder`,
// where its copies are written. Nothing for anything else.
std::optional<QString> openableFile(ClipboardItemKind kind, const QString &path, const QString &clipboardFolder);

// The history as read, without the image entries whose picture is gone (a
// run killed while trimming, a file removed by hand): such a row could show
// and copy nothing.
std::vector<ClipboardItem> withoutMissingImages(std::vector<ClipboardItem> items);

// Removes the pictures in `folder` that no image entry of `items` names: one
// written just before a run was killed, ahead of the save of its row, would
// otherwise stay for good. Links, folders and hidden files are left alone.
// Returns how many were removed.
int removeUnnamedImages(const PrivateFolder &folder, const std::vector<ClipboardItem> &items);

// Fingerprints of recent captures, forgetting the oldest beyond capacity.
class FingerprintMemory {
public:
    explicit FingerprintMemory(int capacity = kFingerprintCapacity)
        : m_capacity(capacity)
    {
    }

    // False when `fingerprint` is known; otherwise remembers it and returns
    // true.
    bool remember(const QString &fingerprint);

private:
    int m_capacity;
    std::deque<QString> m_order; // oldest first
    QSet<QString> m_known;
};

} // namespace kolu::clipboard
