#include "PrivateBus.h"

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

// The session bus's rules without its service folders: a name nobody owns
// stays unowned, and no desktop program installed here (a notification
// daemon, say) is started on the test's bus to answer for it.
constexpr char kConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateBus::PrivateBus()
{
    if (!m_config.open() || m_config.write(kConfig) != qint64(sizeof(kConfig) - 1) || !m_config.flush())
        throw std::runtime_error("cannot write the bus configuration");
    m_daemon.start(u"dbus-daemon"_s,
                   {u"--config-file=%1"_s.arg(m_config.fileName()), u"--nofork"_s, u"--print-address=1"_s});
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
