#include "platform/media/MprisPlaybackOrder.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace kolu {

MprisPlaybackOrder::MprisPlaybackOrder(QDBusConnection connection, QObject *parent)
    : QObject(parent)
{
    connection.connect(QString(), u"/org/mpris/MediaPlayer2"_s, u"org.freedesktop.DBus.Properties"_s,
                       u"PropertiesChanged"_s, this,
                       SLOT(onPropertiesChanged(QString, QVariantMap, QStringList, QDBusMessage)));
}

void MprisPlaybackOrder::notePlayers(const QList<MprisPlayer> &players)
{
    QSet<QString> present;
    bool startedNow = false;
    for (const MprisPlayer &player : players) {
        if (player.owner.isEmpty())
            continue;
        present.insert(player.owner);
        if (!player.isPlaying()) {
            m_started.remove(player.owner);
        } else if (!m_started.contains(player.owner)) {
            m_started.insert(player.owner, m_next);
            startedNow = true;
        }
    }
    if (startedNow)
        ++m_next;
    m_started.removeIf([&](const auto &entry) { return !present.contains(entry.key()); });
}

quint64 MprisPlaybackOrder::startedAt(const MprisPlayer &player) const
{
    return player.owner.isEmpty() ? 0 : m_started.value(player.owner, 0);
}

void MprisPlaybackOrder::onPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &,
                                             const QDBusMessage &message)
{
    const auto status = changed.constFind(u"PlaybackStatus"_s);
    if (interface != u"org.mpris.MediaPlayer2.Player"_s || status == changed.constEnd())
        return;
    const QString sender = message.service();
    if (status->toString() != u"Playing"_s) {
        m_started.remove(sender);
        return;
    }
    // A player that says again that it plays keeps its place.
    if (!m_started.contains(sender))
        m_started.insert(sender, m_next++);
}

} // namespace kolu
