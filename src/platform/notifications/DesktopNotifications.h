#pragma once

#include "platform/notifications/NotificationServer.h"

#include <QDBusConnection>

namespace kolu {

// Banners through the org.freedesktop.Notifications service on the session
// bus, under the application name "Kolu".
class DesktopNotifications final : public NotificationServer {
public:
    explicit DesktopNotifications(QDBusConnection connection = QDBusConnection::sessionBus());

    QCoro::Task<quint32> notify(NotificationContent content, quint32 replacesId) override;
    QCoro::Task<NotificationAuthorization> authorization() override;

    // The standard hint names for a banner's sound.
    static QVariantMap soundHints(bool playsSound);

private:
    QDBusConnection m_connection;
};

} // namespace kolu
