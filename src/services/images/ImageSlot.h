#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QUrl>

namespace kolu {

class ImageLoader;

// The picture one view shows, loaded through the shared ImageLoader. Only
// the latest request counts: an answer to a request that a newer one has
// replaced is never shown. Asking again for the picture already shown, or
// on its way, changes nothing, so a view may ask on every redraw.
class ImageSlot : public QObject {
    Q_OBJECT
public:
    enum class Phase {
        empty,   // nothing asked for
        loading, // on its way
        loaded,  // image() holds it
        failed,  // it could not be fetched or decoded
    };

    explicit ImageSlot(ImageLoader &loader, QObject *parent = nullptr);

    // Shows the picture at `address` decoded to cover `pixelSize` (device
    // pixels). An address that cannot be loaded fails at once. While the
    // same address loads at a new size, the picture shown stays.
    void show(const QUrl &address, QSize pixelSize);
    void clear();

    Phase phase() const { return m_phase; }
    const QImage &image() const { return m_image; }
    const QUrl &address() const { return m_address; }

Q_SIGNALS:
    // The phase or the picture changed.
    void changed();

private:
    void onFinished(const QString &key, const QImage &image);
    void setPhase(Phase phase, QImage image);

    QPointer<ImageLoader> m_loader;
    QString m_key;
    QUrl m_address;
    Phase m_phase = Phase::empty;
    QImage m_image;
};

} // namespace kolu
