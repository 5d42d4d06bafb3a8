#pragma once

#include "model/Enums.h"
#include "shell/RailPlace.h"
#include "shell/rules/RailFrame.h"

#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <optional>

class QScreen;
class QVariantAnimation;

namespace kolu {

class AppState;
class PanelWindowing;

// The borderless window at the screen edge that holds the rail. It is kept
// above other windows on every desktop and out of the task bar; it holds the
// rail opened and closed alike, and where the rail stands in it follows the
// frame rules each time it is laid out; only what it draws takes clicks; it
// takes the keyboard only while expanded, and only when one of its text
// fields is clicked.
//
// Where things stand: the window is the room (roomFor), in screen
// coordinates; the rail's place in it is one RailPlace (m_place): where the
// rail rests on screen, and while a slide runs whether it moves the window
// or reveals part of it. The content (the rail's views) stands where the
// place puts it, and its regions, given in its own coordinates, reach the
// window's only through the place (RailPlace::toWindow); the shapes sent to
// the server are those, in the window's device pixels (toDevice).
class RailPanel : public QWidget {
    Q_OBJECT
public:
    // `windowing` must outlive the panel. `translucent`: whether a
    // compositing manager runs as it is made (see becomeTranslucent).
    RailPanel(AppState &state, PanelWindowing &windowing, bool translucent, QWidget *parent = nullptr);
    ~RailPanel() override;

    // Whether a compositor blends the panel now: it was made with an alpha
    // channel and a compositor still runs.
    bool composited() const;
    // Gives a panel made without an alpha channel one, for a compositor that
    // started after it: a new window under the same content, shapes and
    // place. What showed stays on screen until the new window's first
    // picture has been sent. Nothing happens to a panel that has one.
    void becomeTranslucent();

    // The rail's views; the panel owns it and gives it the rail's frame.
    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

    // What the content draws, set in the content's coordinates and answered
    // in the panel's: only this takes clicks and, where nothing composites
    // the panel over the desktop, only this shows. Without one, the whole
    // content does.
    void setDrawnRegion(const QRegion &region);
    QRegion drawnRegion() const;
    // What shows while the first half of a slide runs, when it differs from
    // what takes clicks (a layout on its way out still shows, one on its way
    // in does not yet). Otherwise, and without one, the drawn region shows.
    // Where a compositor blends the panel, while anything moves, the window
    // shows what its picture holds, however faint within these two, only
    // where solid beside them. In the content's coordinates.
    void setShownRegion(const QRegion &region);
    // What shows, cut to the part a slide shows.
    QRegion shownRegion() const;
    // What shows besides, always, and takes no clicks: what the content
    // draws that lets every press through (rings drawn solid), which may
    // change with every picture while what takes clicks stays. In the
    // content's coordinates.
    void setOrnamentRegion(const QRegion &region);

    // Asked at each layout whether a compositing manager runs now: a
    // translucent panel whose compositor went away is shaped like an opaque
    // one. Without a probe, the answer given at construction stands.
    void setCompositingProbe(std::function<bool()> isCompositing);
    // Whether only the drawn region shows (no compositor blends the panel).
    bool shapesWindow() const { return m_shapesWindow; }

    // Maps the panel where the frame rules place it.
    void showPanel();

    // Re-reads the state and the visible frame and moves there: sliding
    // when the rail goes from a side edge to a side edge, at once otherwise.
    void relayout();
    // Brings the panel above other windows.
    void raisePanel();

    // The available geometry of the panel's screen, else of the primary
    // screen, else the frame the panel was created in.
    QRect visibleFrame() const;
    // The whole frames of the screens other than the one visibleFrame is of.
    QList<QRect> otherScreenFrames() const;
    // Where the frame rules put the panel now.
    QRect targetFrame() const;
    bool isAnimating() const;
    // The rail's frame on screen: while a slide runs, the part of the window
    // the slide has reached; otherwise where the frame rules put it. The
    // window holds the rail both opened and closed (roomFor).
    QRect shownFrame() const;
    // The window that holds the rail at `frame`, opened or closed.
    QRect roomFor(const QRect &frame) const;

    static constexpr int kSlideDurationMs = 360;

Q_SIGNALS:
    // The pointer came into what the panel draws, or left it.
    void pointerInsideChanged(bool inside);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void slideTo(const QRect &target);
    void showSlideFrame(const QRect &frame);
    void endSlide();
    // Moves and sizes the window, then puts it on the device pixels its
    // frame's sides round to.
    void setFrame(const QRect &frame);
    // The window's rectangle on screen, as the place reads it.
    QRect windowRect() const;
    // Puts the content where the place says.
    void placeContent();
    // Holds painting until the window has `frame`'s size on the server.
    void expectFrame(const QRect &frame);
    void frameLanded();
    void placeInDevicePixels();
    void applyInputPolicy();
    // Asks for the keyboard for one of the rail's fields after a click.
    void takeKeyboard();
    void applyShapes();
    // Whether the slide or any of the views' motions runs.
    bool isMoving() const;
    // Shows what the window's picture holds now (where a compositor blends it).
    void followPicture();
    QRegion pictureShape() const;
    // Where a compositor blends the panel: a paint of the window has
    // reached `painted` (window coordinates) and is about to be sent; then
    // it has been.
    void watchPicture();
    void pictureDrawn(const QRegion &painted);
    void pictureSent();
    // Shows `wanted` (window coordinates) of the window; what goes waits
    // for what comes to be painted.
    void showShape(const QRegion &wanted);
    void sendShape(const QRegion &shape);
    void shapePainted();
    QRegion toDevice(const QRegion &region) const;
    QRegion coveringDevicePixels(const QRegion &region) const;
    void setShapesWindow(bool shapes);
    // The window attributes that give the window an alpha channel, or keep
    // it without one and let the panel paint its background itself.
    void setAlphaChannel(bool alpha);
    // Takes away what stood in for the old window while the new one came
    // up: once the new one has been exposed (and so painted), or `anyway`.
    void dropStandIn(bool anyway);
    void watchScreen(QScreen *screen);

    AppState &m_state;
    PanelWindowing &m_windowing;
    QPointer<QWidget> m_content;
    std::optional<QRegion> m_drawnRegion;
    // In the window's coordinates.
    std::optional<QRegion> m_shownRegion;
    QRegion m_ornamentRegion;
    QRect m_creationFrame;
    // Where the rail stands in the window.
    RailPlace m_place;
    RailEdge m_lastLayoutEdge;
    // The slide runs over screen frames. A frame of the window's own size
    // moves the window; any other is shown as a part of a window that
    // holds the slide's whole way, so the window never changes size while
    // the slide runs: only what it draws and what takes clicks follow.
    QVariantAnimation *m_slide = nullptr;
    QRect m_slideEnd;
    std::function<bool()> m_isCompositing;
    bool m_translucent = false;
    // While a picture of the old window stands in for the new one.
    bool m_showsStandIn = false;
    // While the window is made anew under the content.
    bool m_remakesWindow = false;
    quint32 m_standInGeneration = 0;
    bool m_shapesWindow = false;
    bool m_passesClicks = false;
    bool m_acceptsFocus = false;
    // The window that had the keyboard when the rail expanded (0: none).
    quint32 m_keyboardOwner = 0;
    // Whether the panel was last laid out for the opened rail; the visible
    // shape last given to the window and the one asked for, which it takes
    // once the parts newly shown (unpainted) have been painted.
    bool m_laidOutExpanded = false;
    std::optional<QRegion> m_sentShape;
    std::optional<QRegion> m_shapeWanted;
    QRegion m_unpainted;
    QPointer<QWidget> m_pictureWatch;
    // While the window's own paint is made and sent.
    bool m_sendsPaint = false;
    bool m_repaintsForShape = false;
    // What that repaint reached.
    QRegion m_paintedForShape;
    bool m_holdsForPicture = false;
    QRegion m_unsentPicture;
    // While the content takes its place, its regions are on their way.
    bool m_placesContent = false;
    // While a new size is on its way to the server, nothing is painted.
    bool m_holdsPaint = false;
    // The first paint after a new size has landed is on its way.
    bool m_paintsNewSize = false;
    quint32 m_frameGeneration = 0;
    static constexpr int kFrameWaitMs = 1500;
    // Narrower than this, what a slide cuts away at its moving side goes,
    // and so does any part of a moving picture's shape.
    static constexpr int kLeastSlidWidth = 3;
    // Under a compositor, the least a slide's shown part moves on a frame
    // before that frame shows.
    static constexpr int kLeastBlendedSlideStep = 4;
};

} // namespace kolu
