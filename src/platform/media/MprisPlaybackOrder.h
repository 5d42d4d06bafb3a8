#pragma once

#include "platform/media/Mpris.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace kolu {

// Remembers in which order the players on one bus started playing. It follows
// their PlaybackStatus announcements, so the player that started last is
// known even when several started between two reads.
class MprisPlaybackOrder final : public QObject {
    Q_OBJECT

public:
    explicit MprisPlaybackOrder(QDBusConnection connection, QObject *parent = nullptr);

    // Brings the order up to date with a read: a player found playing that
    // was not known to play counts as started now (all such players of one
    // read at the same moment); one that does not play is forgotten, and so
    // is one that has left the bus.
    void notePlayers(const QList<MprisPlayer> &players);

    // When `player` started playing, as a number that grows with time; 0 when
    // it is not known to play.
    quint64 startedAt(const MprisPlayer &player) const;

private Q_SLOTS:
    void onPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated,
                             const QDBusMessage &message);

private:
    // Keyed by the player's unique connection name: that is the sender of its
    // announcements, and a restarted player gets a new one.
    QHash<QString, quint64> m_started;
    quint64 m_next = 1;
};

} // namespace kolu
