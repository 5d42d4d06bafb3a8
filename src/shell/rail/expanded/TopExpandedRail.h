#pragma once

#include "shell/rules/CollapsedRailRules.h"

#include <QWidget>

namespace kolu {

class AppState;
class EdgeNotification;
class Glide;
class ModuleDetailPanel;
class RailNotifications;
class TopExpandedToolStrip;

// The rail opened at the top edge: the tool strip across the top and, below
// it, the selected module's card with at most one notification beside it
// (calendar, else prayer, else reminder, else focus), the two centred
// together. The card drops in from the top when the rail opens and a new
// notification slides in beside it. An upward swipe collapses it.
class TopExpandedRail : public QWidget {
    Q_OBJECT
public:
    explicit TopExpandedRail(AppState &state, QWidget *parent = nullptr);
    ~TopExpandedRail() override;

    TopExpandedToolStrip *toolStrip() const { return m_strip; }
    ModuleDetailPanel *detailPanel() const { return m_panel; }
    // The notification on show beside the card, else null.
    EdgeNotification *notification() const;
    double presence() const;

Q_SIGNALS:
    void settingsRequested();
    // A menu of the notification is open: the hover hiding waits meanwhile.
    void interactionActiveChanged(bool active);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showNotification(bool animated);
    double cardLeftTarget() const;
    void relayout();
    QRectF notificationRect(EdgeAlertKind kind) const;

    AppState &m_state;
    TopExpandedToolStrip *m_strip = nullptr;
    ModuleDetailPanel *m_panel = nullptr;
    RailNotifications *m_notifications = nullptr;
    Glide *m_cardLeft = nullptr; // the card's left side: the row re-centres without its notification
    Glide *m_presence = nullptr; // the card's way in and out
    bool m_shown = false;
};

} // namespace kolu
