#include "platform/notifications/DesktopNotifications.h"

#include <qcoro/qcorodbuspendingcall.h>

#include <QDBusMessage>
#include <QDBusPendingCall>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QString service = u"org.freedesktop.Notifications"_s;
const QString path = u"/org/freedesktop/Notifications"_s;
const QString interface = u"org.freedesktop.Notifications"_s;

// A server that does not answer must not hold back later banners for long.
constexpr int callTimeoutMs = 10000;

// Only locals are touched after the wait, so the caller may be gone by then.
QCoro::Task<QDBusMessage> call(QDBusConnection connection, QDBusMessage message)
{
    QDBusPendingCall pending = connection.asyncCall(message, callTimeoutMs);
    co_return co_await qCoro(pending).waitForFinished();
}

} // namespace

NotificationServer::~NotificationServer() = default;

DesktopNotifications::DesktopNotifications(QDBusConnection connection)
    : m_connection(std::move(connection))
{
}

QVariantMap DesktopNotifications::soundHints(bool playsSound)
{
    if (playsSound)
        return {{u"sound-name"_s, u"message-new-instant"_s}};
    return {{u"suppress-sound"_s, true}};
}

QCoro::Task<quint32> DesktopNotifications::notify(NotificationContent content, quint32 replacesId)
{
    // Titles and texts come from calendars, reminders and the remote feed,
    // which anyone can write: a server that renders markup must show the body
    // as text, never as links or pictures. Servers render markup in the body
    // only, so the title always goes as it is. The server is asked each time,
    // as it may have been replaced since; one that does not answer gets an
    // escaped body, which at worst shows an entity.
    const QDBusMessage asked = QDBusMessage::createMethodCall(service, path, interface, u"GetCapabilities"_s);
    const QDBusMessage offered = co_await call(m_connection, asked);
    const bool plainOnly = offered.type() == QDBusMessage::ReplyMessage && !offered.arguments().isEmpty()
                           && !offered.arguments().constFirst().toStringList().contains(u"body-markup"_s);
    if (!plainOnly)
        content.body = content.body.toHtmlEscaped();
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, u"Notify"_s);
    message << u"Kolu"_s << replacesId << QString() << content.title << content.body << QStringList()
            << soundHints(content.playsSound) << qint32(-1);
    const QDBusMessage reply = co_await call(m_connection, message);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        co_return 0U; // not shown; nothing more to do about it
    co_return reply.arguments().constFirst().toUInt();
}

QCoro::Task<NotificationAuthorization> DesktopNotifications::authorization()
{
    const QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, u"GetCapabilities"_s);
    const QDBusMessage reply = co_await call(m_connection, message);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        co_return NotificationAuthorization{};
    const QStringList capabilities = reply.arguments().constFirst().toStringList();
    co_return NotificationAuthorization{true, capabilities.contains(u"sound"_s)};
}

} // namespace kolu
