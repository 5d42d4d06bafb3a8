#pragma once

#include "shell/rail/DrawnShape.h"
#include "shell/rail/EdgeAlertPicture.h"
#include "shell/rules/CollapsedRailRules.h"

#include <QWidget>

#include <chrono>
#include <optional>

class QHBoxLayout;
class QMenu;
class QVBoxLayout;

namespace kolu {

class AppState;
class ClockTimer;
class ElidedLabel;
class ServerTimeRequest;

// The small glass banner through which the user answers an alert: a badge
// with the module's symbol, two or three lines and one or two buttons
// (focus: Stop / Snooze; calendar: Stop; prayer: Stop / Remind menu;
// reminder: Done / Remind menu). Callers give it its fixed size
// (railview::notificationSize). Self-contained, so every rail layout can
// place one. For its first half second on screen, counted from its first
// frame, it takes no press; nor, on X11, any press the server stamped
// before that frame (one queued while the program was busy), and a press
// begun before it showed does not end on it: a banner that comes up under
// the pointer never takes the click meant for what was there.
class EdgeNotification : public QWidget, public DrawnShape {
    Q_OBJECT
public:
    EdgeNotification(EdgeAlertKind kind, AppState &state, QWidget *parent = nullptr);

    EdgeAlertKind kind() const { return m_kind; }
    QSize sizeHint() const override;
    // The rounded banner.
    QRegion drawnShape() const override;
    // The "Remind" menu of the prayer and reminder banners, else null.
    QMenu *remindMenu() const { return m_menu; }

    // Lying over Kolu's own glass (a card in the expanded rail), the banner
    // covers what is below it with its material: the desktop's blur, which
    // would hide it, does not reach between two of our surfaces.
    void setCoversWhatIsBelow(bool covers);
    bool coversWhatIsBelow() const { return m_covers; }

    // How long a banner just on screen lets presses pass it by: it may have
    // come up under a pointer about to click what was there.
    static constexpr std::chrono::milliseconds settleTime{500};

    // Its first frame since it was last shown has reached the screen.
    bool isOnScreen() const { return m_onScreen; }
    // The X server's time once it had that frame; unknown off X11.
    std::optional<quint32> frameServerTime() const { return m_frameServerTime; }

Q_SIGNALS:
    // A menu of the banner opened or closed; the hover hiding waits meanwhile.
    void menuActiveChanged(bool active);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refreshLines();
    void addButtons(QHBoxLayout *row);
    void fitLines(QHBoxLayout *row, QVBoxLayout *lines);
    void clearAlertDirectly();
    void firstFrameShown();
    bool takesPress(const QEvent *event) const;

    EdgeAlertKind m_kind;
    AppState &m_state;
    ElidedLabel *m_first = nullptr;
    ElidedLabel *m_second = nullptr;
    ElidedLabel *m_third = nullptr;
    QMenu *m_menu = nullptr;
    bool m_covers = false;
    EdgeAlertPicture m_background;
    ClockTimer *m_settle = nullptr;
    bool m_settled = true;
    // Shown, and its first frame painted since; then handed to the screen.
    bool m_framePainted = false;
    bool m_onScreen = false;
    // The X server's time once it had that frame; unknown off X11.
    std::optional<quint32> m_frameServerTime;
    ServerTimeRequest *m_frameTimeRequest = nullptr;
    // The press under way began on the banner once it had settled.
    bool m_pressTaken = false;
};

} // namespace kolu
