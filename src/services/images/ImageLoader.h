#pragma once

#include <QCache>
#include <QSet>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <optional>

namespace kolu {

class AppState;
class Clock;
class Network;

// Loads pictures for the views, off the main thread: a web picture (http or
// https) through the network, bounded in size and time; a file on this
// computer (a path's file URL) read from disk. Either is decoded on a worker
// at the size the view asks for (covering it, never larger than the
// picture), so a full-size picture is never held, nor decoded on the main
// thread. Decoded pictures are kept in a cache bounded in memory, by address
// and size; a file's entry also names its size and modification time, so a
// file written anew in place is read again. Two requests for one picture
// while it loads share one load.
//
// Views use it through ImageSlot, which drops answers to requests it has
// replaced.
class ImageLoader : public QObject {
    Q_OBJECT
public:
    struct Limits {
        qint64 maxDownloadBytes = 16 * 1024 * 1024;
        std::chrono::milliseconds timeout{20'000};
        qint64 cacheBytes = 48 * 1024 * 1024;
    };

    // `network` and `clock` must outlive the loads; a load whose network
    // goes first ends without an answer.
    ImageLoader(Network &network, Clock &clock, Limits limits, QObject *parent = nullptr);
    ImageLoader(Network &network, Clock &clock, QObject *parent = nullptr);
    ~ImageLoader() override;

    // The loader the cards share, made on first use and owned by `state`
    // (defined with the state, in state/SharedImageLoader.cpp).
    static ImageLoader &of(AppState &state);

    // Whether `address` is something this loader can load at all.
    static bool canLoad(const QUrl &address);
    // Names the picture at `address` decoded for `pixelSize`; empty when it
    // cannot be loaded (a file that is not there, say).
    static QString keyFor(const QUrl &address, QSize pixelSize);

    // The picture kept under `key`; null for a picture kept as one that
    // could not be made (see keep()).
    std::optional<QImage> cached(const QString &key) const;
    // Keeps `image`, made by a view's own means, under `key` in the same
    // bounded cache as the loaded pictures, so that one release lets go of
    // both. A null image records that the picture could not be made, so
    // its maker need not try again while the key stands. A kept key starts
    // with its maker's own prefix, never with a size as keyFor()'s do, so
    // the two never meet.
    void keep(const QString &key, const QImage &image);
    // Starts loading `address` for `pixelSize` under `key` (from keyFor())
    // unless that picture is cached or already on its way; finished() tells
    // when it has arrived.
    void load(const QString &key, const QUrl &address, QSize pixelSize);
    bool isLoading(const QString &key) const { return m_pending.contains(key); }

    // Loads started since the loader was made (not counting cache hits and
    // shared loads).
    int loadsStarted() const { return m_loadsStarted; }
    qint64 cachedBytes() const { return m_cache.totalCost(); }
    // Drops the decoded and kept pictures; loads on their way still land.
    void clearCache() { m_cache.clear(); }
    const Limits &limits() const { return m_limits; }

Q_SIGNALS:
    // The load under `key` ended: `image` is null when the picture could not
    // be fetched or decoded.
    void finished(const QString &key, const QImage &image);

private:
    static QCoro::Task<> fetch(QPointer<ImageLoader> self, QString key, QUrl address, QSize pixelSize);
    static QCoro::Task<> decodeFile(QPointer<ImageLoader> self, QString key, QString path, QSize pixelSize);
    void complete(const QString &key, const QImage &image);

    Network &m_network;
    Clock &m_clock;
    Limits m_limits;
    QCache<QString, QImage> m_cache;
    QSet<QString> m_pending;
    int m_loadsStarted = 0;
};

} // namespace kolu
