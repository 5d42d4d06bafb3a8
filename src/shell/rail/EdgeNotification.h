#pragma once

#include "shell/rail/DrawnShape.h"
#include "shell/rail/EdgeAlertPicture.h"
#include "shell/rules/CollapsedRailRules.h"

#include <QWidget>

class QHBoxLayout;
class QMenu;
class QVBoxLayout;

namespace kolu {

class AppState;
class ElidedLabel;

// The small glass banner through which the user answers an alert: a badge
// with the module's symbol, two or three lines and one or two buttons
// (focus: Stop / Snooze; calendar: Stop; prayer: Stop / Remind menu;
// reminder: Done / Remind menu). Callers give it its fixed size
// (railview::notificationSize). Self-contained, so every rail layout can
// place one.
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

Q_SIGNALS:
    // A menu of the banner opened or closed; the hover hiding waits meanwhile.
    void menuActiveChanged(bool active);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refreshLines();
    void addButtons(QHBoxLayout *row);
    void fitLines(QHBoxLayout *row, QVBoxLayout *lines);
    void clearAlertDirectly();

    EdgeAlertKind m_kind;
    AppState &m_state;
    ElidedLabel *m_first = nullptr;
    ElidedLabel *m_second = nullptr;
    ElidedLabel *m_third = nullptr;
    QMenu *m_menu = nullptr;
    bool m_covers = false;
    EdgeAlertPicture m_background;
};

} // namespace kolu
