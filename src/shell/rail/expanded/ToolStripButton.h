#pragma once

#include "model/Enums.h"
#include "state/AppStateFields.h"

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPointer>

#include <optional>

class QVariantAnimation;

namespace kolu {

class AppState;
class ClockTimer;
class Glide;
class RingsRunner;

// One module's button in the expanded rail's tool strip. A click, or 0.08 s
// of hover, opens the module; a 0.28 s press then a drag reorders the
// modules; only the file tray's button takes file drops. The button leans
// while its module has an alert up and wobbles when the clipboard captured
// something. Its delays run on the state's clock.
class ToolStripButton : public QAbstractButton {
    Q_OBJECT
public:
    ToolStripButton(AppState &state, RailModule module, Qt::Orientation axis, QWidget *parent = nullptr);

    RailModule module() const { return m_module; }
    bool isPulsing() const { return m_pulsing; }
    bool showsPersistentPulse() const;
    bool showsPulseRings() const;
    bool isFileDropTarget() const { return m_fileDropTarget; }
    // How far the drop highlight has come in, 0 to 1.
    double dropLook() const;
    std::optional<QString> badgeText() const;
    // The current lean, 0 at rest and 1 in the full attention pose.
    double pose() const { return m_pose; }
    // Whether the button shows its rings. They are painted by the strip's
    // ring layer above the strip, since they reach past the button, and move
    // on with the shared ring clock while the button is visible.
    bool ringsRunning() const;

Q_SIGNALS:
    // The rings moved on, started or stopped.
    void ringsChanged();

public:
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void onStateChanged(AppStateField field);
    void setPulsing(bool pulsing, int durationMs);
    void showClipboardIconPulse();
    void updateRings();
    void openIfStillWanted();
    void endReorder();
    void paintIcon(QPainter &p, bool selected, const QColor &tint, const QColor &ink) const;
    // The icon as it leans now, on a transparent picture the button's size.
    const QImage &leanedIcon(bool selected, const QColor &tint, const QColor &ink, qreal dpr);

    struct LeanedIconKey {
        double pose = 0;
        qreal dpr = 0;
        QSize size;
        QRgb tint = 0;
        QRgb ink = 0;
        bool selected = false;
        bool operator==(const LeanedIconKey &) const = default;
    };

    AppState &m_state;
    RailModule m_module;
    Qt::Orientation m_axis;
    bool m_pulsing = false;
    bool m_fileDropTarget = false;
    double m_pose = 0;
    ClockTimer *m_hoverTimer = nullptr;
    ClockTimer *m_pulseReset = nullptr;
    ClockTimer *m_pressTimer = nullptr;
    QVariantAnimation *m_poseAnimation = nullptr;
    RingsRunner *m_rings = nullptr;
    Glide *m_dropLook = nullptr;
    bool m_pressing = false;
    bool m_longPressed = false;
    QPointF m_pressPos;
    std::optional<int> m_reorderStartIndex;
    QImage m_leanedIcon;
    LeanedIconKey m_leanedIconKey;
};

} // namespace kolu
