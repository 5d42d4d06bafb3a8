#pragma once

#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace kolu {

// A picture of a widget with its children, kept for an effect that draws
// the widget again on every frame of a fade while what it shows stays put.
// It knows when the picture may be out of date: the widget or one of its
// children was resized, shown, hidden, added, removed, re-laid out,
// restyled, hovered, pressed or given the keyboard, or a child moved (the
// widget itself moving only changes where the picture goes), or a child
// said so with markChanged(). Nothing else takes it again: a child that
// only repaints without telling (new text, a decoded picture) shows as it
// is once the fade ends and the effect goes, a fraction of a second on.
// Cuts the fully transparent margins off `picture` when that saves a good
// part of it, moving `origin` (the picture's top-left in logical
// coordinates) along; a picture with nothing drawn becomes null.
void cropToPainted(QPixmap &picture, QPointF &origin);

class WidgetSnapshot : public QObject {
    Q_OBJECT
public:
    explicit WidgetSnapshot(QWidget *widget, QObject *parent = nullptr);

    // Whether the picture must be taken again before this frame is drawn
    // at `deviceScale` (the painter's logical-to-device scale).
    bool isDue(qreal deviceScale);
    // The picture just taken, whose top-left is at `origin` in the widget's
    // logical coordinates. Once it is drawn again its fully transparent
    // margins are cut away, so each frame blends only what shows.
    void keep(const QPixmap &picture, QPointF origin, qreal deviceScale);
    const QPixmap &picture() const { return m_picture; }
    QPointF origin() const { return m_origin; }

    // Takes the picture again with `take` (which renders the widget and
    // says where its top-left lies) when it is due for a frame painted with
    // `painter`; the paint events of taking it change nothing.
    void refresh(const QPainter &painter, const std::function<QPixmap(QPoint *origin)> &take);

    // The picture is due on the next frame.
    void invalidate() { m_stale = true; }
    // What the picture covers in the widget's logical coordinates (empty
    // when nothing is drawn), once it has been cut to what is drawn and
    // while nothing changed since; none otherwise: all of the widget may
    // show.
    std::optional<QRectF> paintedRect() const;
    // While set, events sent to the widget and its children (the paint
    // events of taking the picture) leave the picture as it is.
    void setTaking(bool taking) { m_taking = taking; }

    // Tells a picture kept of `widget` or of one of its ancestors that the
    // widget looks different now. For what animates by repainting alone
    // (a spinner, pulsing rings), which would otherwise show in steps.
    static void markChanged(QWidget *widget);

    // Pictures kept so far (tests).
    int taken() const { return m_taken; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QObject *object);

    QPointer<QWidget> m_widget;
    QPixmap m_picture;
    QPointF m_origin;
    qreal m_scale = 0;
    int m_taken = 0;
    bool m_stale = true;
    bool m_taking = false;
    bool m_cropped = false;
};

} // namespace kolu
