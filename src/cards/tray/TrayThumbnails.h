#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <qcoro/qcorotask.h>

namespace kolu {

class AppState;
class ImageLoader;

// Square picture thumbnails of the tray's files. Each is decoded once on a
// worker, already scaled to the square it fills (centre-cropped), and kept
// in the image loader's cache by path, file size, modification time and
// pixel size: a file changed on disk is decoded again, an unchanged one
// never, nor one that could not be decoded. Releasing the loader's cache
// lets go of them; a decode on its way still lands. Asking happens on the
// main thread and only reads the file's size and date there.
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

    // The thumbnails the tray's views share, made on first use beside the
    // shared image loader (ImageLoader::of(state)), whose cache keeps them.
    static TrayThumbnails &of(AppState &state);

    // Keeps its thumbnails in `loader`'s cache; owned by `loader`.
    explicit TrayThumbnails(ImageLoader &loader);

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

    // Pictures with more pixels than this are not decoded.
    static constexpr qint64 kMaximumPixels = 120'000'000;

Q_SIGNALS:
    // A decode for `path` ended; ask again.
    void finished(const QString &path);

private:
    void startDecode(const QString &key, const QString &path, int pixelEdge);
    static QCoro::Task<> decode(QPointer<TrayThumbnails> self, QString key, QString path, int pixelEdge);

    ImageLoader &m_loader;
    QThreadPool m_workers;
    QSet<QString> m_pending;
    int m_decodesStarted = 0;
};

// Decodes the picture at `path` scaled to cover a `pixelEdge` square and
// crops it to that square; a null image when it cannot. Safe on any thread.
QImage decodeSquareThumbnail(const QString &path, int pixelEdge);

} // namespace kolu
