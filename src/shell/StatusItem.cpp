#include "shell/StatusItem.h"

#include "state/AppState.h"
#include "style/MenuLook.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

using namespace Qt::StringLiterals;

namespace kolu {

StatusItem::StatusItem(AppState &state, std::function<bool()> updatesConfigured, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_updatesConfigured(std::move(updatesConfigured))
    , m_menu(new QMenu)
    , m_tray(new QSystemTrayIcon(this))
{
    m_menu->setObjectName(u"statusMenu"_s);
    for (const StatusMenuRow &row : statusmenu::rows()) {
        if (!row.command) {
            m_menu->addSeparator();
            continue;
        }
        QAction *action = m_menu->addAction(tr(row.title));
        action->setObjectName(QString::fromLatin1(row.objectName));
        if (row.symbol)
            action->setIcon(MenuLook::symbolIcon(QString::fromLatin1(row.symbol)));
        if (row.shortcut) {
            // Shown as a hint beside the title; the menu is the only place
            // these keys act, since the rail never holds the keyboard.
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            action->setShortcutContext(Qt::WidgetShortcut);
        }
        const StatusCommand command = *row.command;
        connect(action, &QAction::triggered, this, [this, command] { Q_EMIT commandTriggered(command); });
        m_actions.emplace(command, action);
    }
    connect(m_menu, &QMenu::aboutToShow, this, &StatusItem::refreshEnabling);
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::railModuleOrder || field == AppState::Field::hiddenRailModules)
            refreshEnabling();
    });
    refreshEnabling();

    m_tray->setIcon(statusIcon());
    m_tray->setToolTip(u"Kolu"_s);
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_menu->popup(QCursor::pos());
    });
}

StatusItem::~StatusItem()
{
    delete m_menu;
}

void StatusItem::show()
{
    // Shown even without a tray host: Qt puts the icon in place once one
    // appears.
    m_tray->show();
}

QAction *StatusItem::action(StatusCommand command) const
{
    const auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void StatusItem::refreshEnabling()
{
    const RailModuleOrder visible = m_state.visibleRailModules();
    const bool updates = m_updatesConfigured && m_updatesConfigured();
    for (const auto &[command, action] : m_actions)
        action->setEnabled(statusmenu::isEnabled(command, visible, updates));
}

QIcon StatusItem::statusIcon()
{
    return QIcon(u":/shell/kolu-status.svg"_s);
}

QIcon StatusItem::applicationIcon()
{
    return QIcon(u":/shell/kolu.svg"_s);
}

} // namespace kolu
