#pragma once

#include "services/media/SoundscapeTrack.h"

#include <QAbstractButton>
#include <QWidget>

#include <functional>

class QHBoxLayout;
class QLabel;
class QVBoxLayout;

namespace kolu {

class AppState;
class ElidedLabel;
class OrlixSlider;
class OrlixButton;
class ShrinkLabel;
class SymbolView;

// One ambient sound: a button that turns it on or off and, while it plays,
// its volume slider.
class AmbientSoundTile : public QWidget {
    Q_OBJECT
public:
    AmbientSoundTile(SoundscapeTrack sound, QWidget *parent = nullptr);

    const SoundscapeTrack &sound() const { return m_sound; }
    void setActive(bool active);
    bool isActive() const { return m_active; }
    // Shows `volume` (0...1) without reporting a move.
    void setVolume(double volume);
    QAbstractButton *button() const { return m_button; }
    OrlixSlider *slider() const { return m_slider; }
    // On how many lines (one or two) the name shows whole at the tile's
    // width, beside its symbols or under them; 0 when it cannot.
    int nameLines(bool below) const;
    // Puts the name beside the symbols or under them, `lines` lines tall for
    // the tallest name of the section.
    void layOutName(bool below, int lines);

Q_SIGNALS:
    void toggled();
    void volumeMoved(double volume);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void restyle();
    int lineHeight() const;
    int nameWidth(bool below) const;

    SoundscapeTrack m_sound;
    bool m_active = false;
    bool m_nameBelow = false;
    QAbstractButton *m_button;
    QVBoxLayout *m_stack = nullptr;
    QHBoxLayout *m_row = nullptr;
    SymbolView *m_symbol;
    ElidedLabel *m_title;
    SymbolView *m_mark;
    OrlixSlider *m_slider;
};

// The "Ambient" section: the mix buttons and the clear button, a tile per
// sound in two columns, and the mixer's error.
class SoundscapeAmbientSection : public QWidget {
    Q_OBJECT
public:
    explicit SoundscapeAmbientSection(AppState &state, QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct MixButton {
        OrlixButton *button;
        QString symbol;
    };
    void refresh();
    void fitMixSymbols();
    void fitTileNames();

    AppState &m_state;
    QList<MixButton> m_mixes;
    OrlixButton *m_clear;
    QList<AmbientSoundTile *> m_tiles;
    QLabel *m_error;
};

// The compact row of Kolu's own audio at the top of the card: what plays,
// what happens, and one play or pause button.
class SoundscapeNowPlayingSummary : public QWidget {
    Q_OBJECT
public:
    explicit SoundscapeNowPlayingSummary(AppState &state, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();

    AppState &m_state;
    QAbstractButton *m_button;
    SymbolView *m_symbol;
    ElidedLabel *m_title;
    ElidedLabel *m_subtitle;
};

} // namespace kolu
