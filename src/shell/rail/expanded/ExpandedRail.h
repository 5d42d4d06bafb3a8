#pragma once

#include "shell/rules/ExpandedRailGeometry.h"

#include <QPointer>
#include <QWidget>

namespace kolu {

class AppState;
class ExpandedToolStrip;
class FloatingConnector;
class ModuleDetailPanel;

// The rail opened at the left or right edge: the tool strip, the selected
// module's card beside it and the connector between them, placed on one
// canvas by the expanded rail's geometry. The canvas sits at the top, centre
// or bottom of the panel on the rail's side. A sideways swipe collapses it.
class ExpandedRail : public QWidget {
    Q_OBJECT
public:
    explicit ExpandedRail(AppState &state, QWidget *parent = nullptr);

    expandedrail::Canvas canvas() const;
    // The canvas's rectangle inside this widget.
    QRect canvasRect() const;

    ExpandedToolStrip *toolStrip() const { return m_strip; }
    ModuleDetailPanel *detailPanel() const { return m_panel; }
    FloatingConnector *connector() const { return m_connector; }

    // Places a notification widget of the edge notifications centred on
    // (x, y) of the canvas; the rail takes ownership. Null removes it.
    void setNotification(QWidget *notification, QPointF canvasCentre);

Q_SIGNALS:
    void settingsRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void relayout();

    AppState &m_state;
    ExpandedToolStrip *m_strip = nullptr;
    ModuleDetailPanel *m_panel = nullptr;
    FloatingConnector *m_connector = nullptr;
    QPointer<QWidget> m_notification;
    QPointF m_notificationCentre;
};

} // namespace kolu
