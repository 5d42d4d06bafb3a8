#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <stdexcept>

namespace kolu::test {

// A media player on a test bus: answers the MPRIS properties it is given and
// records the transport methods it receives. A silent player takes every
// message and never answers, like a hung player.
class FakeMprisPlayer final : public QDBusVirtualObject {
public:
    // Registers "org.mpris.MediaPlayer2.<instance>" on `connection`, which
    // must be a connection of its own.
    FakeMprisPlayer(QDBusConnection connection, const QString &instance)
        : m_connection(std::move(connection))
        , m_busName(QStringLiteral("org.mpris.MediaPlayer2.") + instance)
    {
        if (!m_connection.registerVirtualObject(path(), this, QDBusConnection::SingleNode)
            || !m_connection.registerService(m_busName))
            throw std::runtime_error("cannot register the fake player");
    }
    ~FakeMprisPlayer() override
    {
        m_connection.unregisterService(m_busName);
        m_connection.unregisterObject(path());
    }

    QString identity;
    QString desktopEntry;
    QString playbackStatus = QStringLiteral("Stopped");
    QString title;
    QStringList artists;
    QString url;
    QString artUrl;
    // Entries put into the metadata last, for values of unusual types.
    QVariantMap metadataOverrides;
    bool silent = false;

    // Sets the status and announces it with PropertiesChanged, as a player
    // does when the user plays or pauses it in its own window.
    void changePlaybackStatus(const QString &status)
    {
        playbackStatus = status;
        QDBusMessage signal = QDBusMessage::createSignal(path(), QStringLiteral("org.freedesktop.DBus.Properties"),
                                                         QStringLiteral("PropertiesChanged"));
        signal << QStringLiteral("org.mpris.MediaPlayer2.Player")
               << QVariantMap{{QStringLiteral("PlaybackStatus"), status}} << QStringList();
        m_connection.send(signal);
        // A call to the bus after the signal returns once the bus has passed the
        // signal on: whatever the code under test asks next is answered after it.
        const QString bus = QStringLiteral("org.freedesktop.DBus");
        m_connection.call(
            QDBusMessage::createMethodCall(bus, QStringLiteral("/org/freedesktop/DBus"), bus, QStringLiteral("GetId")));
    }

    // The player methods received, by name ("PlayPause", "Next", ...).
    const QStringList &calls() const { return m_calls; }
    // Every message received, answered or not.
    int messagesReceived() const { return m_messages; }
    const QString &busName() const { return m_busName; }

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        ++m_messages;
        if (silent)
            return true;
        const QString player = QStringLiteral("org.mpris.MediaPlayer2.Player");
        if (message.interface() == QStringLiteral("org.freedesktop.DBus.Properties")
            && message.member() == QStringLiteral("GetAll")) {
            const QString interface = message.arguments().value(0).toString();
            QVariantMap properties;
            if (interface == QStringLiteral("org.mpris.MediaPlayer2")) {
                properties = {{QStringLiteral("Identity"), identity},
                              {QStringLiteral("DesktopEntry"), desktopEntry},
                              {QStringLiteral("CanQuit"), false}};
            } else if (interface == player) {
                QVariantMap metadata{{QStringLiteral("mpris:length"), qlonglong(180000000)}};
                const auto put = [&](const char *key, const QVariant &value, bool present) {
                    if (present)
                        metadata.insert(QLatin1StringView(key), value);
                };
                put("xesam:title", title, !title.isNull());
                put("xesam:artist", artists, !artists.isEmpty());
                put("xesam:url", url, !url.isNull());
                put("mpris:artUrl", artUrl, !artUrl.isNull());
                metadata.insert(metadataOverrides);
                properties = {{QStringLiteral("PlaybackStatus"), playbackStatus},
                              {QStringLiteral("Metadata"), metadata},
                              {QStringLiteral("Volume"), 1.0}};
            } else {
                connection.send(message.createErrorReply(QDBusError::UnknownInterface, interface));
                return true;
            }
            connection.send(message.createReply(QVariant::fromValue(properties)));
        } else if (message.interface() == player) {
            m_calls.append(message.member());
            connection.send(message.createReply());
        } else {
            connection.send(message.createErrorReply(QDBusError::UnknownMethod, message.member()));
        }
        return true;
    }

private:
    static QString path() { return QStringLiteral("/org/mpris/MediaPlayer2"); }

    QDBusConnection m_connection;
    QString m_busName;
    QStringList m_calls;
    int m_messages = 0;
};

} // namespace kolu::test
