#pragma once

#include "shell/rail/RailTransition.h"
#include "shell/rules/ExpandedRailGeometry.h"
#include "state/AppStateFields.h"

#include <QWidget>

namespace kolu {

class AppState;
class EdgeNotification;
class ExpandedToolStrip;
class FloatingConnector;
class Glide;
class ModuleDetailPanel;
class RailNotifications;

// The opened rail: the tool strip, the selected module's card and the
// notifications of pending alerts. What differs between the edges is one
// `ExpandedEdge`, chosen by the edge the rail has when this view is made:
//
// - At the left or right edge the strip, the card beside it, the connector
//   between them and every pending alert's notification sit on one canvas
//   placed by the expanded rail's geometry, at the top, centre or bottom of
//   the panel. The card and the connector glide to a newly selected button.
//   A sideways swipe collapses the rail.
// - At the top edge the strip runs across the top and, below it, the card
//   and at most one notification (calendar, else prayer, else reminder,
//   else focus) are centred together; the row re-centres as the
//   notification comes and goes. An upward swipe collapses the rail.
//
// The card comes in from the rail's edge when the rail opens and goes back
// there when it closes; notifications come and go beside the card. The
// card glides in while the rail fades in: the rail fades by its parts, each
// from a kept picture, so no frame of the way in paints the rail afresh.
class ExpandedRail : public QWidget, public FadesByParts {
    Q_OBJECT
public:
    struct ExpandedEdge;

    explicit ExpandedRail(AppState &state, QWidget *parent = nullptr);
    ~ExpandedRail() override;

    // The side canvas (at the top edge: the whole view).
    expandedrail::Canvas canvas() const;
    // The canvas's rectangle inside this widget (where it is now, while it
    // moves to a new vertical position).
    QRect canvasRect() const;

    ExpandedToolStrip *toolStrip() const { return m_strip; }
    ModuleDetailPanel *detailPanel() const { return m_panel; }
    // Null at the top edge.
    FloatingConnector *connector() const { return m_connector; }
    // The notification of `kind` on show, else null.
    EdgeNotification *notification(EdgeAlertKind kind) const;
    // The first pending alert's notification on show, else null.
    EdgeNotification *notification() const;
    // How far the card has come in: 0 off at the edge, 1 in place.
    double presence() const;

    void setPartsOpacity(double opacity) override;
    double partsOpacity() const { return m_partsOpacity; }

Q_SIGNALS:
    void settingsRequested();
    // A menu of a notification is open: the hover hiding waits meanwhile.
    void interactionActiveChanged(bool active);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void onStateChanged(AppStateField field);
    void retarget(bool glide);
    void showNotifications(bool animated);
    std::vector<EdgeAlertKind> notificationKinds() const;
    void relayout();
    // Fades the card, its glass and every other part to where the card's
    // way in and the rail's fade have them.
    void applyFades();
    double glassOpacity() const;
    double canvasTopTarget() const;
    int actionCount() const;
    expandedrail::SideStripFit stripFit() const;
    double cardTarget() const;
    QRectF notificationRect(EdgeAlertKind kind) const;

    AppState &m_state;
    const ExpandedEdge &m_edge;
    ExpandedToolStrip *m_strip = nullptr;
    ModuleDetailPanel *m_panel = nullptr;
    FloatingConnector *m_connector = nullptr;
    RailNotifications *m_notifications = nullptr;
    Glide *m_iconY = nullptr;     // the connector's line
    Glide *m_card = nullptr;      // the card's centre at a side, its left side at the top
    Glide *m_canvasTop = nullptr; // the canvas's top inside the widget
    Glide *m_presence = nullptr;  // the card's way in and out
    bool m_shown = false;
    QRect m_cardGlass;           // where the card's glass and shadow were painted last
    double m_glassOpacity = 1.0; // and at what opacity
    double m_partsOpacity = 1.0;
};

} // namespace kolu
