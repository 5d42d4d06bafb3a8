#include "PrivateBus.h"

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace kolu::test {

QString PrivateBus::configFile()
{
    return QStringLiteral(KOLU_TEST_BUS_CONFIG);
}

PrivateBus::PrivateBus()
{
    m_daemon.start(u"dbus-daemon"_s, {u"--config-file="_s + configFile(), u"--nofork"_s, u"--print-address=1"_s});
    if (!m_daemon.waitForStarted(10000))
        throw std::runtime_error("cannot start dbus-daemon");
    // The address is the first line the daemon prints; wait for it with a
    // real-time bound, as the daemon is another process.
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(10000))
            throw std::runtime_error("dbus-daemon printed no address");
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : m_connections)
        QDBusConnection::disconnectFromBus(name);
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000))
        m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

QDBusConnection PrivateBus::connect(const QString &name)
{
    const QString unique = name + u'@' + m_address;
    m_connections.append(unique);
    QDBusConnection connection = QDBusConnection::connectToBus(m_address, unique);
    if (!connection.isConnected())
        throw std::runtime_error("cannot connect to the private bus");
    return connection;
}

} // namespace kolu::test
