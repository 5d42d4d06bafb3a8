#pragma once

#include "shell/rules/ExpandedRailGeometry.h"

#include <QWidget>

namespace kolu {

class AppState;
class EdgeNotification;
class ExpandedToolStrip;
class FloatingConnector;
class Glide;
class ModuleDetailPanel;
class RailNotifications;

// The rail opened at the left or right edge: the tool strip, the selected
// module's card beside it, the connector between them and the notifications
// of pending alerts, placed on one canvas by the expanded rail's geometry.
// The canvas sits at the top, centre or bottom of the panel on the rail's
// side. A sideways swipe collapses it.
//
// Motion: the card and the connector glide to a newly selected button; the
// card comes in from the rail's edge when the rail opens and goes back there
// when it closes; notifications come and go beside the card.
class ExpandedRail : public QWidget {
    Q_OBJECT
public:
    explicit ExpandedRail(AppState &state, QWidget *parent = nullptr);
    ~ExpandedRail() override;

    expandedrail::Canvas canvas() const;
    // The canvas's rectangle inside this widget (where it is now, while it
    // moves to a new vertical position).
    QRect canvasRect() const;

    ExpandedToolStrip *toolStrip() const { return m_strip; }
    ModuleDetailPanel *detailPanel() const { return m_panel; }
    FloatingConnector *connector() const { return m_connector; }
    // The notification of `kind` on show, else null.
    EdgeNotification *notification(EdgeAlertKind kind) const;
    // How far the card has come in: 0 off at the edge, 1 in place.
    double presence() const;

Q_SIGNALS:
    void settingsRequested();
    // A menu of a notification is open: the hover hiding waits meanwhile.
    void interactionActiveChanged(bool active);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void onStateChanged(int field);
    void retarget(bool glide);
    void showNotifications(bool animated);
    void relayout();
    double canvasTopTarget() const;
    QRectF notificationRect(EdgeAlertKind kind) const;

    AppState &m_state;
    ExpandedToolStrip *m_strip = nullptr;
    ModuleDetailPanel *m_panel = nullptr;
    FloatingConnector *m_connector = nullptr;
    RailNotifications *m_notifications = nullptr;
    Glide *m_iconY = nullptr;     // the connector's line
    Glide *m_cardY = nullptr;     // the card's centre
    Glide *m_canvasTop = nullptr; // the canvas's top inside the widget
    Glide *m_presence = nullptr;  // the card's way in and out
    bool m_shown = false;
};

} // namespace kolu
