#pragma once

#include "model/Records.h"

#include <QPixmap>
#include <QWidget>

#include <optional>

namespace kolu {

class ImageLoader;
class ImageSlot;
class SmallSpinner;

// The wallpaper card's preview: the shown wallpaper's picture, decoded to
// the preview's own size, under a faint gradient and a hairline border; a
// fallback symbol while there is no picture. A click opens the wallpaper's
// source page when it has one and does nothing otherwise.
class WallpaperPreview : public QWidget {
    Q_OBJECT
public:
    WallpaperPreview(ImageLoader &loader, int height, qreal cornerRadius, QWidget *parent = nullptr);

    void setCandidate(const std::optional<WallpaperCandidate> &candidate);
    // Whether the library is loading (shows the busy indicator while there
    // is no candidate).
    void setLoadingLibrary(bool loading);

    // The symbol drawn in place of the picture, empty while it shows.
    QString fallbackSymbol() const;
    bool isBusy() const;
    ImageSlot *imageSlot() const { return m_slot; }

Q_SIGNALS:
    void openRequested(const QUrl &address);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void requestPicture();
    void updateBusy();
    const QPixmap &picture(qreal dpr);

    qreal m_cornerRadius;
    std::optional<WallpaperCandidate> m_candidate;
    bool m_loadingLibrary = false;
    bool m_pressed = false;
    ImageSlot *m_slot;
    SmallSpinner *m_spinner;
    // The picture cropped to the preview's shape, made again when the
    // picture, the size or the pixel ratio changes.
    QPixmap m_picture;
    qint64 m_pictureSource = 0;
    qreal m_paintedRatio = 0;
};

} // namespace kolu
