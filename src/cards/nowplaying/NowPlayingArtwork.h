#pragma once

#include "model/Records.h"

#include <QPixmap>
#include <QWidget>

#include <optional>

namespace kolu {

class ImageLoader;
class ImageSlot;

// Paints the drawn stand-in for missing artwork into `rect`: the module's
// tint fading into slate and near-black, a soft light, and a large symbol
// (a waveform while playing, a note otherwise).
class NowPlayingArtworkPlaceholder {
public:
    static void paint(QPainter &painter, const QRectF &rect, const NowPlayingItem &item);
    static QString symbol(const NowPlayingItem &item);
};

// The artwork of the now-playing item, filling the view (cropped) with its
// corners rounded by `cornerRadius`: loaded from the web or from a file on
// this computer through the shared loader, decoded for the view's size; the
// placeholder while there is none, while it loads and when it fails.
class NowPlayingArtworkView : public QWidget {
    Q_OBJECT
public:
    NowPlayingArtworkView(ImageLoader &loader, QWidget *parent = nullptr);

    void setItem(const NowPlayingItem &item);
    const NowPlayingItem &item() const { return m_item; }
    void setCornerRadius(qreal radius);

    // Where the artwork is read from (nothing: the placeholder).
    const std::optional<QUrl> &artworkURL() const { return m_url; }
    // Whether the artwork itself is drawn (not the placeholder).
    bool showsArtwork() const;
    ImageSlot *imageSlot() const { return m_slot; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void requestArtwork();
    const QPixmap &composed(qreal dpr);

    NowPlayingItem m_item;
    std::optional<QUrl> m_url;
    qreal m_cornerRadius = 0;
    ImageSlot *m_slot;
    // What was drawn last (artwork or placeholder, rounded), made again when
    // the picture, the item's look, the size or the pixel ratio changes.
    QPixmap m_composed;
    QString m_composedKey;
    qreal m_paintedRatio = 0;
};

} // namespace kolu
