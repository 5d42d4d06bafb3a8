#pragma once

#include <QCache>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <qcoro/qcorotask.h>

namespace kolu {

// Square picture thumbnails of the tray's files. Each is decoded once on a
// worker, already scaled to the square it fills (centre-cropped), and kept
// by path, file size, modification time and pixel size: a file changed on
// disk is decoded again, an unchanged one never. Asking happens on the main
// thread and only reads the file's size and date there.
class TrayThumbnails : public QObject {
    Q_OBJECT
public:
    enum class State {
        pending,  // being decoded; `ready` follows
        ready,    // `image` holds the thumbnail
        failed,   // not a readable picture (or too many pixels to decode)
        tooLarge, // the file is over the byte limit and was not read
        missing,  // no file at the path
    };
    struct Thumbnail {
        State state = State::missing;
        QImage image;
    };

    // The one cache the tray's views share.
    static TrayThumbnails &shared();

    explicit TrayThumbnails(QObject *parent = nullptr);

    // The thumbnail of the picture at `path` for a square `pixelEdge` device
    // pixels wide. A file above `byteLimit` bytes (when positive) is not
    // read. Starts a decode when none is cached or running.
    Thumbnail request(const QString &path, int pixelEdge, qint64 byteLimit = 0);

    // The workers that decode, apart from the shared pool: the raster
    // painter spreads large fills over the shared pool and waits for them, so
    // a burst of decodes there would hold up painting.
    QThreadPool *workers() { return &m_workers; }

    // Decodes started so far (tests and benchmarks).
    int decodesStarted() const { return m_decodesStarted; }
    // Whether any decode is still running.
    bool isBusy() const { return !m_pending.isEmpty(); }
    void clear();

    // Pictures with more pixels than this are not decoded.
    static constexpr qint64 kMaximumPixels = 120'000'000;

Q_SIGNALS:
    // A decode for `path` ended; ask again.
    void finished(const QString &path);

private:
    struct Entry {
        QImage image; // null: the file could not be decoded
    };
    void startDecode(const QString &key, const QString &path, int pixelEdge);
    static QCoro::Task<> decode(QPointer<TrayThumbnails> self, QString key, QString path, int pixelEdge);

    QThreadPool m_workers;
    QCache<QString, Entry> m_cache;
    QSet<QString> m_pending;
    int m_decodesStarted = 0;
};

// Decodes the picture at `path` scaled to cover a `pixelEdge` square and
// crops it to that square; a null image when it cannot. Safe on any thread.
QImage decodeSquareThumbnail(const QString &path, int pixelEdge);

} // namespace kolu
