#include "FakeMprisPlayer.h"

#include <QDBusMessage>
#include <QVariantMap>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {
const QString objectPath = u"/org/mpris/MediaPlayer2"_s;
}

FakeMprisPlayer::FakeMprisPlayer(QDBusConnection connection, const QString &instance)
    : m_connection(std::move(connection))
    , m_busName(u"org.mpris.MediaPlayer2."_s + instance)
{
    if (!m_connection.registerVirtualObject(objectPath, this, QDBusConnection::SingleNode))
        throw std::runtime_error("cannot register the fake player's object");
    if (!m_connection.registerService(m_busName))
        throw std::runtime_error("cannot register the fake player's name");
}

FakeMprisPlayer::~FakeMprisPlayer()
{
    m_connection.unregisterService(m_busName);
    m_connection.unregisterObject(objectPath);
}

void FakeMprisPlayer::changePlaybackStatus(const QString &status)
{
    playbackStatus = status;
    QDBusMessage signal =
        QDBusMessage::createSignal(objectPath, u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s);
    signal << u"org.mpris.MediaPlayer2.Player"_s << QVariantMap{{u"PlaybackStatus"_s, status}} << QStringList();
    m_connection.send(signal);
    // A call to the bus after the signal returns once the bus has passed the
    // signal on: whatever the code under test asks next is answered after it.
    m_connection.call(QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s,
                                                     u"org.freedesktop.DBus"_s, u"GetId"_s));
}

QString FakeMprisPlayer::introspect(const QString &) const
{
    return {};
}

bool FakeMprisPlayer::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    ++m_messages;
    if (silent)
        return true;

    if (message.interface() == u"org.freedesktop.DBus.Properties"_s && message.member() == u"GetAll"_s) {
        const QString interface = message.arguments().value(0).toString();
        QVariantMap properties;
        if (interface == u"org.mpris.MediaPlayer2"_s) {
            properties.insert(u"Identity"_s, identity);
            properties.insert(u"DesktopEntry"_s, desktopEntry);
            properties.insert(u"CanQuit"_s, false);
        } else if (interface == u"org.mpris.MediaPlayer2.Player"_s) {
            QVariantMap metadata;
            if (!title.isNull())
                metadata.insert(u"xesam:title"_s, title);
            if (!artists.isEmpty())
                metadata.insert(u"xesam:artist"_s, artists);
            if (!url.isNull())
                metadata.insert(u"xesam:url"_s, url);
            if (!artUrl.isNull())
                metadata.insert(u"mpris:artUrl"_s, artUrl);
            metadata.insert(u"mpris:length"_s, qlonglong(180000000));
            metadata.insert(metadataOverrides);
            properties.insert(u"PlaybackStatus"_s, playbackStatus);
            properties.insert(u"Metadata"_s, metadata);
            properties.insert(u"Volume"_s, 1.0);
        } else {
            connection.send(message.createErrorReply(QDBusError::UnknownInterface, interface));
            return true;
        }
        connection.send(message.createReply(QVariant::fromValue(properties)));
        return true;
    }

    if (message.interface() == u"org.mpris.MediaPlayer2.Player"_s) {
        m_calls.append(message.member());
        connection.send(message.createReply());
        return true;
    }

    connection.send(message.createErrorReply(QDBusError::UnknownMethod, message.member()));
    return true;
}

} // namespace kolu::test
