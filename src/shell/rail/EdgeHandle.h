#pragma once

#include "model/Enums.h"
#include "shell/rail/DrawnShape.h"

#include <QWidget>

class QMimeData;

namespace kolu {

class AppState;

// The slim glass pill at the screen edge while the rail is hidden. A click
// expands the rail. It takes file drops: a drag of local files entering it
// opens the Tray at once (the rail grows under the drag), and a drop goes to
// the tray. Drags of anything else are refused.
class Glide;

class EdgeHandle : public QWidget, public DrawnShape {
    Q_OBJECT
public:
    explicit EdgeHandle(AppState &state, QWidget *parent = nullptr);

    bool isFileDropTarget() const { return m_fileDropTarget; }
    // How far the drop look has come in: 0 the chevron, 1 the tray glass.
    double dropLook() const;
    QSize sizeHint() const override;
    // The pill.
    QRegion drawnShape() const override;

    // Only local files: a uri-list whose every entry is a file:// URL.
    static bool carriesLocalFiles(const QMimeData *mime);

Q_SIGNALS:
    // A drag over the handle began or ended; the hover hiding waits meanwhile.
    void dragActiveChanged(bool active);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void setFileDropTarget(bool target);
    QRectF pill() const;

    AppState &m_state;
    bool m_fileDropTarget = false;
    Glide *m_dropLook = nullptr;
    bool m_pressed = false;
};

} // namespace kolu
