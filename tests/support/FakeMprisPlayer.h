#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace kolu::test {

// A media player on a test bus: answers the MPRIS properties it is given and
// records the transport methods it receives. A silent player takes every
// message and never answers, like a hung player.
class FakeMprisPlayer final : public QDBusVirtualObject {
public:
    // Registers "org.mpris.MediaPlayer2.<instance>" on `connection`, which
    // must be a connection of its own.
    FakeMprisPlayer(QDBusConnection connection, const QString &instance);
    ~FakeMprisPlayer() override;

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
    void changePlaybackStatus(const QString &status);

    // The player methods received, by name ("PlayPause", "Next", ...).
    const QStringList &calls() const { return m_calls; }
    // Every message received, answered or not.
    int messagesReceived() const { return m_messages; }
    const QString &busName() const { return m_busName; }

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    QDBusConnection m_connection;
    QString m_busName;
    QStringList m_calls;
    int m_messages = 0;
};

} // namespace kolu::test
