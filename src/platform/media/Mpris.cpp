#include "platform/media/Mpris.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>

#include <algorithm>
#include <coroutine>
#include <memory>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QString mprisPrefix = u"org.mpris.MediaPlayer2."_s;
const QString objectPath = u"/org/mpris/MediaPlayer2"_s;
const QString rootInterface = u"org.mpris.MediaPlayer2"_s;
const QString playerInterface = u"org.mpris.MediaPlayer2.Player"_s;
const QString propertiesInterface = u"org.freedesktop.DBus.Properties"_s;

// Resumes the awaiting coroutine once, from the event loop, at whichever comes
// first: the reply or the deadline.
class ReplyOrDeadline {
public:
    ReplyOrDeadline(QDBusPendingCallWatcher *watcher, ClockTimer *deadline)
        : m_watcher(watcher)
        , m_deadline(deadline)
    {
    }

    bool await_ready() const { return m_watcher->isFinished(); }

    void await_suspend(std::coroutine_handle<> waiting)
    {
        auto resumed = std::make_shared<bool>(false);
        auto resume = [waiting, resumed] {
            if (*resumed)
                return;
            *resumed = true;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [waiting] { waiting.resume(); }, Qt::QueuedConnection);
        };
        QObject::connect(m_watcher, &QDBusPendingCallWatcher::finished, m_watcher, resume);
        QObject::connect(m_deadline, &ClockTimer::timeout, m_deadline, resume);
    }

    void await_resume() const noexcept { }

private:
    QDBusPendingCallWatcher *m_watcher;
    ClockTimer *m_deadline;
};

// The reply to `message`, or nothing on an error or when no reply came in
// `timeout` on `clock`.
QCoro::Task<std::optional<QDBusMessage>> boundedCall(QDBusConnection connection, QDBusMessage message, Clock &clock,
                                                     std::chrono::milliseconds timeout)
{
    // The bus's own limit is only a backstop for a clock that is not moving.
    QDBusPendingCall pending = connection.asyncCall(message, int(timeout.count()) * 2);
    QDBusPendingCallWatcher watcher(pending);
    std::unique_ptr<ClockTimer> deadline(clock.createTimer(nullptr));
    deadline->start(timeout, false);
    co_await ReplyOrDeadline(&watcher, deadline.get());
    if (!watcher.isFinished())
        co_return std::nullopt;
    QDBusMessage reply = watcher.reply();
    if (reply.type() != QDBusMessage::ReplyMessage)
        co_return std::nullopt;
    co_return reply;
}

QVariantMap mapFrom(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentType() != QDBusArgument::MapType)
            return {};
        return qdbus_cast<QVariantMap>(argument);
    }
    if (value.metaType() == QMetaType::fromType<QVariantMap>())
        return value.toMap();
    return {};
}

// Players send what they like; anything but a string counts as absent.
QString stringFrom(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QString>())
        return value.toString();
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return {};
}

QStringList stringListFrom(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QStringList>())
        return value.toStringList();
    if (value.metaType() == QMetaType::fromType<QString>())
        return {value.toString()};
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentType() == QDBusArgument::ArrayType && argument.currentSignature() == u"as"_s)
            return qdbus_cast<QStringList>(argument);
    }
    return {};
}

QDBusMessage getAll(const QString &busName, const QString &interface)
{
    QDBusMessage message = QDBusMessage::createMethodCall(busName, objectPath, propertiesInterface, u"GetAll"_s);
    message << interface;
    return message;
}

QVariantMap propertiesFrom(const std::optional<QDBusMessage> &reply)
{
    if (!reply || reply->arguments().isEmpty())
        return {};
    return mapFrom(reply->arguments().constFirst());
}

QString methodName(MprisCommand command)
{
    switch (command) {
    case MprisCommand::playPause: return u"PlayPause"_s;
    case MprisCommand::next: return u"Next"_s;
    case MprisCommand::previous: return u"Previous"_s;
    }
    return {};
}

} // namespace

bool MprisPlayer::isPlaying() const
{
    return playbackStatus == u"Playing"_s;
}

bool MprisPlayer::isPaused() const
{
    return playbackStatus == u"Paused"_s;
}

MprisClient::MprisClient(QDBusConnection connection, Clock &clock, std::chrono::milliseconds callTimeout)
    : m_connection(std::move(connection))
    , m_clock(clock)
    , m_callTimeout(callTimeout)
{
}

QCoro::Task<QStringList> MprisClient::playerNames()
{
    const QDBusMessage message = QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s,
                                                                u"org.freedesktop.DBus"_s, u"ListNames"_s);
    const std::optional<QDBusMessage> reply = co_await boundedCall(m_connection, message, m_clock, m_callTimeout);
    QStringList players;
    if (!reply || reply->arguments().isEmpty())
        co_return players;
    const QStringList names = reply->arguments().constFirst().toStringList();
    for (const QString &name : names) {
        if (name.startsWith(mprisPrefix) && name.size() > mprisPrefix.size())
            players.append(name);
    }
    std::sort(players.begin(), players.end());
    co_return players;
}

QCoro::Task<std::optional<MprisPlayer>> MprisClient::readPlayer(QString busName)
{
    // Both interfaces are asked at once; the tasks start on creation.
    auto rootCall = boundedCall(m_connection, getAll(busName, rootInterface), m_clock, m_callTimeout);
    auto playerCall = boundedCall(m_connection, getAll(busName, playerInterface), m_clock, m_callTimeout);
    const std::optional<QDBusMessage> rootReply = co_await std::move(rootCall);
    const std::optional<QDBusMessage> playerReply = co_await std::move(playerCall);
    if (!playerReply)
        co_return std::nullopt;

    const QVariantMap root = propertiesFrom(rootReply);
    const QVariantMap player = propertiesFrom(playerReply);
    const QVariantMap metadata = mapFrom(player.value(u"Metadata"_s));

    MprisPlayer result;
    result.busName = busName;
    result.owner = playerReply->service();
    result.identity = stringFrom(root.value(u"Identity"_s));
    result.desktopEntry = stringFrom(root.value(u"DesktopEntry"_s));
    result.playbackStatus = stringFrom(player.value(u"PlaybackStatus"_s));
    result.title = stringFrom(metadata.value(u"xesam:title"_s));
    result.artists = stringListFrom(metadata.value(u"xesam:artist"_s));
    result.url = stringFrom(metadata.value(u"xesam:url"_s));
    result.artUrl = stringFrom(metadata.value(u"mpris:artUrl"_s));
    co_return result;
}

QCoro::Task<QList<MprisPlayer>> MprisClient::readPlayers()
{
    const QStringList names = co_await playerNames();
    std::vector<QCoro::Task<std::optional<MprisPlayer>>> reads;
    reads.reserve(std::size_t(names.size()));
    for (const QString &name : names)
        reads.push_back(readPlayer(name));
    QList<MprisPlayer> players;
    for (auto &read : reads) {
        std::optional<MprisPlayer> player = co_await std::move(read);
        if (player)
            players.append(std::move(*player));
    }
    co_return players;
}

QCoro::Task<bool> MprisClient::send(QString busName, MprisCommand command)
{
    const QDBusMessage message =
        QDBusMessage::createMethodCall(busName, objectPath, playerInterface, methodName(command));
    const std::optional<QDBusMessage> reply = co_await boundedCall(m_connection, message, m_clock, m_callTimeout);
    co_return reply.has_value();
}

} // namespace kolu
