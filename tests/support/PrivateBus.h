#pragma once

#include "EventWait.h"

#include <QDBusConnection>
#include <QProcess>
#include <QString>

#include <stdexcept>

namespace kolu::test {

// A D-Bus session bus of the test's own: a dbus-daemon started for the life
// of the object, so tests that run at once never see each other's names,
// and nothing installed on the machine is started on it by activation.
class PrivateBus {
public:
    PrivateBus()
    {
        // The session bus's rules without its service folders: a name nobody
        // owns stays unowned, and nothing installed here is started to answer.
        m_address =
            QString::fromUtf8(startAndReadLine(m_daemon, QStringLiteral("dbus-daemon"),
                                               {QStringLiteral("--config-file=" KOLU_BUS_CONFIG),
                                                QStringLiteral("--nofork"), QStringLiteral("--print-address=1")}));
        if (m_address.isEmpty())
            throw std::runtime_error("dbus-daemon did not start");
    }
    ~PrivateBus()
    {
        for (const QString &name : m_connections)
            QDBusConnection::disconnectFromBus(name);
        endProcess(m_daemon);
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    const QString &address() const { return m_address; }

    // A new connection to this bus under `name` (each name is one peer; a
    // fake service and the code under test use different connections).
    QDBusConnection connect(const QString &name)
    {
        const QString unique = name + u'@' + m_address;
        m_connections.append(unique);
        QDBusConnection connection = QDBusConnection::connectToBus(m_address, unique);
        if (!connection.isConnected())
            throw std::runtime_error("cannot connect to the private bus");
        return connection;
    }

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

} // namespace kolu::test
