#pragma once

#include <QPointer>
#include <QWidget>

class QHBoxLayout;

namespace kolu {

class AppState;
class ModuleDetailPanel;
class TopExpandedToolStrip;

// The rail opened at the top edge: the tool strip across the top and, below
// it, the selected module's card with at most one notification beside it.
// An upward swipe collapses it.
class TopExpandedRail : public QWidget {
    Q_OBJECT
public:
    explicit TopExpandedRail(AppState &state, QWidget *parent = nullptr);

    TopExpandedToolStrip *toolStrip() const { return m_strip; }
    ModuleDetailPanel *detailPanel() const { return m_panel; }
    // Shows a notification of the edge notifications beside the card; the
    // rail takes ownership. Null removes it.
    void setNotification(QWidget *notification);

Q_SIGNALS:
    void settingsRequested();

private:
    AppState &m_state;
    TopExpandedToolStrip *m_strip = nullptr;
    ModuleDetailPanel *m_panel = nullptr;
    QHBoxLayout *m_row = nullptr;
    QPointer<QWidget> m_notification;
};

} // namespace kolu
