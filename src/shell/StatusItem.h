#pragma once

#include "shell/rules/StatusMenuRules.h"

#include <QObject>

#include <functional>
#include <map>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace kolu {

class AppState;

// The icon in the desktop's status area (tray) with its menu. A left click
// opens the menu as a right click does. Where no tray host runs the icon
// waits, and appears when one starts.
class StatusItem : public QObject {
    Q_OBJECT
public:
    // `updatesConfigured` tells whether checking for updates can be offered.
    StatusItem(AppState &state, std::function<bool()> updatesConfigured, QObject *parent = nullptr);
    ~StatusItem() override;

    void show();

    QMenu *menu() const { return m_menu; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QAction *action(StatusCommand command) const;

    // Recomputes which commands are enabled.
    void refreshEnabling();

    // The status icon. Trays do not say how light they are, so it reads on
    // any: a mid-tone tile that stands out from a black and a white panel.
    static QIcon statusIcon();
    static QIcon applicationIcon();

Q_SIGNALS:
    void commandTriggered(kolu::StatusCommand command);

private:
    AppState &m_state;
    std::function<bool()> m_updatesConfigured;
    QMenu *m_menu = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    std::map<StatusCommand, QAction *> m_actions;
};

} // namespace kolu
