#pragma once

#include "model/Enums.h"
#include "style/Motion.h"

#include <QGraphicsEffect>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QWidget>

class QVariantAnimation;

namespace kolu {

class WidgetSnapshot;

// How a rail item enters or leaves: a fade, an offset and a scale about an
// anchor, all reached at the far end of the motion. The item's geometry
// stays where it rests; only the painting moves, so what takes clicks is
// always the resting place.
struct RailTransition {
    QPointF offset;
    // Moves the item by its own height upwards: in from the top edge.
    bool fromTopEdge = false;
    double scale = 1.0;
    Qt::Alignment anchor = Qt::AlignCenter;
    bool fades = true;

    static RailTransition fade() { return {}; }
    static RailTransition moveAndFade(QPointF by) { return {by, false, 1.0, Qt::AlignCenter, true}; }
    static RailTransition scaleAndFade(double from, Qt::Alignment anchor) { return {{}, false, from, anchor, true}; }
    static RailTransition moveInFromTop() { return {{}, true, 1.0, Qt::AlignCenter, true}; }
    static RailTransition slide(QPointF by) { return {by, false, 1.0, Qt::AlignCenter, false}; }
};

// A widget whose parts move on their own while it fades in (the opened
// rail's card glides in as the rail appears). A fade of the whole would
// have to draw it afresh on every frame; such a widget fades each of its
// parts from a kept picture of its own instead, and `enter` gives it the
// fade's opacity rather than an effect of the whole.
class FadesByParts {
public:
    virtual ~FadesByParts() = default;
    // 1 at rest: every part paints as it is.
    virtual void setPartsOpacity(double opacity) = 0;
};

// The side of the rail that a leaving picture keeps to while the panel
// changes size: the screen edge.
Qt::Alignment screenEdgeAnchor(RailEdge edge);

// Paints its widget (with its children) part of the way through a
// transition: `progress` 1 is at rest, 0 at the far end.
class RailTransitionEffect : public QGraphicsEffect {
    Q_OBJECT
public:
    RailTransitionEffect(const RailTransition &transition, QObject *parent = nullptr);

    // Answers whether the change shows: a step of the fade or the move too
    // small to see repaints nothing (a spring's tail, past where the eye
    // or the rasteriser can tell).
    bool setProgress(double progress);
    double progress() const { return m_progress; }
    // Where the picture drawn with paintAt() rests, for an effect given to
    // no widget: what the size of a move from the top edge comes from.
    void setPictureBounds(const QRectF &bounds) { m_pictureBounds = bounds; }

    // Where nothing composites `widget`'s window, the effect draws at rest
    // (whole, unmoved): a fade there would blend with the window's own
    // colour rather than with what lies beneath, and what a move uncovers
    // inside the window's shape would show that colour too. The item then
    // comes and goes with the shape the rail shows.
    void drawAtRestIn(const QWidget *widget) { m_restIn = widget; }

    // Draws `widget`, which the effect is given to, from a kept picture
    // while nothing in it changes (see WidgetSnapshot), rather than
    // rendering it afresh on every frame.
    void keepPictureOf(QWidget *widget);
    const WidgetSnapshot *snapshot() const { return m_snapshot; }
    // Draws `picture` (the widget as it was, its top-left at `origin`)
    // whatever changes after: for an item on its way out, whose changes no
    // one is to see.
    void freezePicture(const QPixmap &picture, QPointF origin);

    QRectF boundingRectFor(const QRectF &rect) const override;
    // The same look on any painter, for pictures of a leaving item.
    void paintAt(QPainter &painter, const QRectF &bounds, const QPixmap &picture, QPointF origin) const;

protected:
    void draw(QPainter *painter) override;
    void sourceChanged(ChangeFlags flags) override;

private:
    QPointF offsetFor(const QRectF &bounds) const { return offsetAt(shownProgress(), bounds); }
    // The point of the transition drawn: at rest where nothing composites.
    double shownProgress() const;
    QPointF offsetAt(double progress, const QRectF &bounds) const;
    double scaleAt(double progress) const;
    // Whether the item drawn at `a` and at `b` of the way could look different.
    bool looksDifferent(double a, double b, const QRectF &bounds) const;
    // Whether this point of the transition draws the widget's own pixels
    // where it rests: full opacity, no move, no scale.
    bool looksAtRest(const QRectF &bounds) const;

    RailTransition m_transition;
    double m_progress = 1.0;
    QPointer<const QWidget> m_restIn;
    // The progress of the last repaint asked for.
    double m_shownProgress = 1.0;
    QRectF m_pictureBounds;
    WidgetSnapshot *m_snapshot = nullptr;
    QPixmap m_frozen;
    QPointF m_frozenOrigin;
};

namespace railmotion {

// Shows `widget` and runs `transition` from its far end to rest over
// `motion`; the effect goes when the motion ends, so nothing is left that
// paints through an extra pass at rest. A motion already running on the
// widget is replaced. A plain fade of a widget that FadesByParts runs
// through its parts' opacity.
void enter(QWidget *widget, const RailTransition &transition, const Motion &motion);

// Leaves a picture of `widget` in its parent that runs `transition` from
// rest to its far end over `motion` and then goes. The widget itself is the
// caller's to hide or delete right after. `anchor` keeps the picture at the
// same side of the parent while the parent changes size (the screen edge).
void leave(QWidget *widget, const RailTransition &transition, const Motion &motion,
           Qt::Alignment anchor = Qt::AlignLeft | Qt::AlignTop);

// Runs `transition` on `widget` itself from rest (or from where a motion
// still running on it got to) to its far end over `motion`, and hides it
// at the end; meanwhile it takes no clicks. For an item that is kept to
// come again: `enter` brings it back from wherever its way out got to.
void leaveInPlace(QWidget *widget, const RailTransition &transition, const Motion &motion);
// Ends a motion started here on `widget` where it is: the widget rests as
// it is, shown or hidden, and takes clicks again.
void stop(QWidget *widget);
// Whether `widget` is on its way out through `leaveInPlace`.
bool isLeaving(const QWidget *widget);

// How far the motion running on `widget` has come: 1 at rest, 0 at the far
// end (an item on its way out ends there); 1 when nothing moves it.
double progress(const QWidget *widget);
// The motion running on `widget`, null when none runs.
QVariantAnimation *motionOf(const QWidget *widget);

// Whether a motion started here still runs on `widget` or in `parent`'s
// leaving pictures (and children leaving in place).
bool isMoving(const QWidget *widget);
int leavingPictures(const QWidget *parent);

// Says when the first rail motion of the program starts and when the last
// one ends: a window that is shaped to what rests in it follows what moves
// only meanwhile.
class MotionActivity : public QObject {
    Q_OBJECT
public:
    static MotionActivity &shared();
    bool isMoving() const { return m_running > 0; }
    // A motion made here starts or stops (tests count these).
    void runningChanged(bool running);

Q_SIGNALS:
    void movingChanged(bool moving);

private:
    MotionActivity() = default;
    int m_running = 0;
};

// Ease-out over 0.16 s: the top rail opening and closing.
const Motion &topExpansion();

} // namespace railmotion

} // namespace kolu
