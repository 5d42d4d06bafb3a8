#include "FakeNotificationServer.h"

#include "EventWait.h"

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace kolu::test {

FakeNotificationServer::FakeNotificationServer(QDBusConnection connection, QStringList capabilities)
    : m_connection(std::move(connection))
    , m_capabilities(std::move(capabilities))
{
    if (!m_connection.registerObject(u"/org/freedesktop/Notifications"_s, this, QDBusConnection::ExportScriptableSlots)
        || !m_connection.registerService(u"org.freedesktop.Notifications"_s))
        throw std::runtime_error("cannot register the fake notification server");
}

FakeNotificationServer::~FakeNotificationServer()
{
    m_connection.unregisterService(u"org.freedesktop.Notifications"_s);
    m_connection.unregisterObject(u"/org/freedesktop/Notifications"_s);
}

bool FakeNotificationServer::waitForCount(std::size_t count, std::chrono::milliseconds guard)
{
    return waitUntil([&] { return m_received.size() >= count; }, guard);
}

uint FakeNotificationServer::Notify(const QString &appName, uint replacesId, const QString &, const QString &summary,
                                    const QString &body, const QStringList &, const QVariantMap &hints,
                                    int expireTimeout)
{
    const uint id = m_open.contains(replacesId) ? replacesId : m_nextId++;
    m_open.insert(id);
    m_received.push_back({appName, replacesId, summary, body, hints, expireTimeout, id});
    if (m_clock) {
        ClockTimer *expiry = m_clock->createTimer(this);
        connect(expiry, &ClockTimer::timeout, this, [this, id, expiry] {
            m_open.remove(id);
            expiry->deleteLater();
        });
        expiry->start(m_closeDelay, false);
    }
    return id;
}

QStringList FakeNotificationServer::GetCapabilities()
{
    return m_capabilities;
}

void FakeNotificationServer::CloseNotification(uint id)
{
    m_open.remove(id);
}

void FakeNotificationServer::closeBannersAfter(Clock &clock, std::chrono::milliseconds delay)
{
    m_clock = &clock;
    m_closeDelay = delay;
}

QString FakeNotificationServer::GetServerInformation(QString &vendor, QString &version, QString &specVersion)
{
    vendor = u"Kolu tests"_s;
    version = u"1"_s;
    specVersion = u"1.2"_s;
    return u"fake"_s;
}

} // namespace kolu::test
