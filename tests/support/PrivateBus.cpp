#include "PrivateBus.h"

#include "EventWait.h"

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace kolu::test {

PrivateBus::PrivateBus()
{
    // The session bus's rules without its service folders: a name nobody
    // owns stays unowned, and nothing installed here is started to answer.
    m_address = QString::fromUtf8(startAndReadLine(
        m_daemon, u"dbus-daemon"_s, {u"--config-file=" KOLU_BUS_CONFIG ""_s, u"--nofork"_s, u"--print-address=1"_s}));
    if (m_address.isEmpty())
        throw std::runtime_error("dbus-daemon did not start");
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : m_connections)
        QDBusConnection::disconnectFromBus(name);
    endProcess(m_daemon);
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
