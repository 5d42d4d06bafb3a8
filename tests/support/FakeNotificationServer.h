#pragma once

#include "model/Clock.h"

#include "EventWait.h"

#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

#include <chrono>
#include <stdexcept>
#include <vector>

namespace kolu::test {

// One Notify call as the server received it.
struct ReceivedNotification {
    QString appName;
    quint32 replacesId = 0;
    QString summary;
    QString body;
    QVariantMap hints;
    qint32 expireTimeout = 0;
    quint32 id = 0; // the id the server answered with
};

// A notification server registered as org.freedesktop.Notifications on a
// test's private bus. It records every banner and answers with ids 1, 2, ...,
// keeping the id of a banner that replaces another while that one is still
// open; one that replaces a closed banner is shown as a new one.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit FakeNotificationServer(QDBusConnection connection,
                                    QStringList capabilities = {QStringLiteral("body"), QStringLiteral("sound")})
        : m_connection(std::move(connection))
        , m_capabilities(std::move(capabilities))
    {
        if (!m_connection.registerObject(path(), this, QDBusConnection::ExportScriptableSlots)
            || !m_connection.registerService(service()))
            throw std::runtime_error("cannot register the fake notification server");
    }
    ~FakeNotificationServer() override
    {
        m_connection.unregisterService(service());
        m_connection.unregisterObject(path());
    }

    const std::vector<ReceivedNotification> &received() const { return m_received; }
    // How many banners came up on screen: replacing an open one adds none.
    std::size_t bannersShown() const { return m_nextId - 1; }
    // Closes each banner `delay` after it was shown on `clock`, as a server
    // with an expiry time does.
    void closeBannersAfter(Clock &clock, std::chrono::milliseconds delay)
    {
        m_clock = &clock;
        m_closeDelay = delay;
    }
    // Runs the event loop until `count` banners have arrived or a real-time
    // guard has passed (the client answers asynchronously); true when they did.
    bool waitForCount(std::size_t count, std::chrono::milliseconds guard = std::chrono::seconds(10))
    {
        return waitUntil([&] { return m_received.size() >= count; }, guard);
    }

public Q_SLOTS:
    Q_SCRIPTABLE uint Notify(const QString &appName, uint replacesId, const QString &, const QString &summary,
                             const QString &body, const QStringList &, const QVariantMap &hints, int expireTimeout)
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
    Q_SCRIPTABLE QStringList GetCapabilities() { return m_capabilities; }

private:
    static QString path() { return QStringLiteral("/org/freedesktop/Notifications"); }
    static QString service() { return QStringLiteral("org.freedesktop.Notifications"); }

    QDBusConnection m_connection;
    QStringList m_capabilities;
    std::vector<ReceivedNotification> m_received;
    uint m_nextId = 1;
    QSet<uint> m_open;
    Clock *m_clock = nullptr;
    std::chrono::milliseconds m_closeDelay{0};
};

} // namespace kolu::test
