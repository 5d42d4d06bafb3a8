#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>

namespace kolu::test {

// A D-Bus session bus of the test's own: a dbus-daemon started for the life
// of the object, so tests that run at once never see each other's names,
// and nothing installed on the machine is started on it by activation.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();

    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    const QString &address() const { return m_address; }

    // A new connection to this bus under `name` (each name is one peer; a
    // fake service and the code under test use different connections).
    QDBusConnection connect(const QString &name);

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

} // namespace kolu::test
