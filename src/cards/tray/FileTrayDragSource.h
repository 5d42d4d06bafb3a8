#pragma once

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QPointF>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

class QMimeData;

namespace kolu {

// Starts a system drag. The default one runs QDrag (copy only), which holds
// the caller until the drop or the cancel; tests put a recording one in its
// place. `source` may be deleted before the drag returns.
class DragLauncher {
public:
    virtual ~DragLauncher() = default;
    // Takes `data`. The drag offers copy alone.
    virtual void startDrag(QWidget *source, QMimeData *data, const QPixmap &image, QPoint hotSpot) = 0;

    // The launcher every drag source uses.
    static DragLauncher &current();
    // Replaces it (null restores the system one); returns the previous one.
    static DragLauncher *replace(DragLauncher *launcher);
};

// The drags the tray's rows start, wherever each one ends. A drag outlives
// the row that started it when the rail closes under it (its view is
// deleted meanwhile), so what follows a drag listens here, not to a row.
class FileTrayDrags : public QObject {
    Q_OBJECT
public:
    static FileTrayDrags &instance();
    bool isRunning() const { return m_running > 0; }

Q_SIGNALS:
    // A drag has ended (dropped or given up), whether or not its row is
    // still there.
    void ended();

private:
    friend class FileTrayDragSource;
    int m_running = 0;
};

// A held file's card as far as the mouse goes: it turns a press into a
// click or a file drag. A press that moves no more than 3 logical pixels
// before release is a click; one that moves farther starts exactly one drag
// of the files `urls()` gives at that moment (at most 12, the pressed one
// always among them) and no click. Every press over its area stops here.
class FileTrayDragSource : public QWidget {
    Q_OBJECT
public:
    // `urls` is asked when the drag starts; `pressed` is this row's file.
    FileTrayDragSource(std::function<QList<QUrl>()> urls, QUrl pressed, std::function<void()> onClick,
                       QWidget *parent = nullptr);

    bool isDragging() const { return m_didStartDrag; }
    // Whether a drag started by any row is still running (the system drag
    // holds its source's press until the drop).
    static bool isAnyDragRunning() { return FileTrayDrags::instance().isRunning(); }

    // What a drag of `urls` carries and shows: the addresses as a URI list,
    // and the files' icons fanned out 3 pixels right and down per file.
    static QMimeData *dragData(const QList<QUrl> &urls);
    static QPixmap dragImage(const QList<QUrl> &urls, qreal devicePixelRatio);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::function<QList<QUrl>()> m_urls;
    QUrl m_pressed;
    std::function<void()> m_onClick;
    std::optional<QPointF> m_pressPosition;
    bool m_didStartDrag = false;
};

} // namespace kolu
