#include "services/media/AlertSounds.h"

#include "model/PrivateFiles.h"
#include "model/WorkerAwait.h"
#include "services/media/AlertSoundSynthesis.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
QByteArray makeKindWAVData(const QString &kind)
{
    return makeWAVData(kind);
}
} // namespace

AlertSounds::AlertSounds(UserDefaults &defaults, SoundPlayer &player, QString folder, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_player(player)
    , m_folder(std::move(folder))
{
}

QString AlertSounds::defaultFolder()
{
    return temporaryFilesFolder();
}

const QStringList &AlertSounds::calendarSoundKinds()
{
    static const QStringList kinds{u"calendar"_s, u"ocean"_s, u"birds"_s};
    return kinds;
}

const QStringList &AlertSounds::focusSoundKinds()
{
    static const QStringList kinds{u"calendar"_s, u"chime"_s, u"soft"_s, u"digital"_s};
    return kinds;
}

void AlertSounds::playCalendarAlertSound()
{
    if (const auto kind = chosenKind(m_defaults.string(SettingsKey::calendarAlertSound), calendarSoundKinds()))
        playGeneratedSound(*kind);
}

void AlertSounds::playFocusFinishedSound()
{
    if (const auto kind = chosenKind(m_defaults.string(SettingsKey::focusAlertSound), focusSoundKinds()))
        playGeneratedSound(*kind);
}

std::optional<QString> AlertSounds::chosenKind(const std::optional<QString> &stored, const QStringList &kinds)
{
    if (stored == u"off"_s)
        return std::nullopt;
    if (stored && kinds.contains(*stored))
        return *stored;
    return u"calendar"_s;
}

QString AlertSounds::filePath(const QString &kind) const
{
    return QDir(m_folder).filePath(QString(u"Kolu-"_s + kind + u"-alert.wav"_s));
}

QByteArray AlertSounds::expectedDigest(const QString &kind)
{
    // What makeWAVData() gives for each kind; a test keeps the two in step.
    static const QHash<QString, QByteArray> digests{
        {u"calendar"_s, "8e1da12a987f6f14a6b87feb1a7803213a67dfc1fce405dacaa07aabced333e9"},
        {u"ocean"_s, "7030cd0818f4c5a8f3cb6d84269db8f79e15eb40b7c1af03fbf68b74c75fa07c"},
        {u"birds"_s, "ccf38bb59eb1bf331ef8857b5586581ed1b9a6af7f6306ad812b78204c254ae9"},
        {u"chime"_s, "e9ea5cd466058ddee6f1a0d7b365004d2a574b298b7e092b073185835de9c6d0"},
        {u"soft"_s, "6474159c2055b88bc6eea779d393d3dcc1760c37ab97c70b4bc17aff8fe2d53d"},
        {u"digital"_s, "eaeb5c2dac1d87ac369366372df8bde2e72f72e5fbf9eb8066c5a923defe372b"},
    };
    return QByteArray::fromHex(digests.value(kind));
}

bool AlertSounds::isCurrent(const QString &kind)
{
    const QString path = filePath(kind);
    const QFileInfo found(path);
    if (!found.isFile() || found.isSymLink())
        return false;
    if (m_written.contains(kind))
        return true;
    // Reading and hashing a few hundred kilobytes costs far less than making
    // the sound again. Read through the checked folder, never through a link.
    const qint64 size = wavHeaderSize + qint64(alertSampleCount(kind)) * 2;
    if (found.size() != size)
        return false;
    const auto folder = PrivateFolder::open(m_folder);
    const auto bytes = folder ? folder->readFile(found.fileName(), size) : std::nullopt;
    if (!bytes || QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256) != expectedDigest(kind))
        return false;
    m_written.insert(kind);
    return true;
}

bool AlertSounds::writeSound(const QString &kind, const QByteArray &data)
{
    // Only into a folder of this user's alone, as a new file renamed into
    // place: a link at the path is replaced, never written through.
    const auto folder = PrivateFolder::open(m_folder, {.tighten = true});
    if (!folder || !folder->writeFile(QFileInfo(filePath(kind)).fileName(), data))
        return false;
    m_written.insert(kind);
    return true;
}

std::optional<QUrl> AlertSounds::generatedSoundURL(const QString &kind)
{
    if (m_folder.isEmpty())
        return std::nullopt;
    if (!isCurrent(kind) && !writeSound(kind, makeWAVData(kind)))
        return std::nullopt;
    return QUrl::fromLocalFile(filePath(kind));
}

void AlertSounds::playGeneratedSound(const QString &kind)
{
    if (m_folder.isEmpty()) {
        m_player.beep();
        return;
    }
    if (isCurrent(kind)) {
        m_player.play(filePath(kind), alertSoundVolume(kind));
        return;
    }
    // Making a sound takes tens of milliseconds: a worker does it, and the
    // alert sounds once the file is there.
    const bool alreadyMaking = m_waitingPlays.contains(kind);
    ++m_waitingPlays[kind];
    if (alreadyMaking)
        return;
    makeOnWorker(QPointer<AlertSounds>(this), kind);
}

QCoro::Task<> AlertSounds::makeOnWorker(QPointer<AlertSounds> self, QString kind)
{
    const QByteArray data = co_await afterWorker(QtConcurrent::run(&makeKindWAVData, kind));
    if (self)
        self->finishMaking(kind, data);
}

void AlertSounds::finishMaking(const QString &kind, const QByteArray &data)
{
    const int plays = m_waitingPlays.take(kind);
    const bool written = writeSound(kind, data);
    for (int i = 0; i < plays; ++i) {
        if (written)
            m_player.play(filePath(kind), alertSoundVolume(kind));
        else
            m_player.beep();
    }
}

} // namespace kolu
