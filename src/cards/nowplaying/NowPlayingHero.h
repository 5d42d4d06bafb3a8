#pragma once

#include "model/Records.h"

#include <QWidget>

namespace kolu {

class AppState;
class ElidedLabel;
class MediaControlButton;
class NowPlayingArtworkView;
class NowPlayingStatusButton;
class SourceBadge;

// What another application plays, as the state publishes it
// (AppState::nowPlaying): a square artwork tile, as large as the hero's
// shorter side and centred, carrying the source badge, the mute button, the
// title, the artist and source, and the previous, play or pause, and next
// buttons over a dark gradient. It follows the state by itself; its buttons
// ask the state to act (AppState::mediaAction). Its height is the card's to
// set: preferredHeight is the one the Now Playing card gives it.
class NowPlayingHero : public QWidget {
    Q_OBJECT
public:
    static constexpr int preferredHeight = 238;
    static constexpr qreal cornerRadius = 24;

    explicit NowPlayingHero(AppState &state, QWidget *parent = nullptr);

    // The item shown: the state's now-playing item.
    const NowPlayingItem &item() const { return m_item; }
    // The artwork tile's square, in the hero's coordinates.
    QRect tileRect() const;

    NowPlayingArtworkView *artworkView() const { return m_artwork; }

    QSize sizeHint() const override { return {preferredHeight, preferredHeight}; }
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setItem(const NowPlayingItem &item);

    AppState &m_state;
    NowPlayingItem m_item;
    QWidget *m_tile;
    NowPlayingArtworkView *m_artwork;
    QWidget *m_overlay;
    SourceBadge *m_badge;
    NowPlayingStatusButton *m_mute;
    ElidedLabel *m_title;
    ElidedLabel *m_detail;
    MediaControlButton *m_previous;
    MediaControlButton *m_playPause;
    MediaControlButton *m_next;
};

} // namespace kolu
