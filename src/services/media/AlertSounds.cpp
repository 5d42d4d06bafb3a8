#include "services/media/AlertSounds.h"

#include "model/AtomicFile.h"
#include "services/media/AlertSoundSynthesis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace kolu {

AlertSounds::AlertSounds(UserDefaults &defaults, SoundPlayer &player, QString folder)
    : m_defaults(defaults)
    , m_player(player)
    , m_folder(std::move(folder))
{
}

QString AlertSounds::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
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

void AlertSounds::prepareAlertSounds()
{
    for (const QString &kind : {u"calendar"_s, u"ocean"_s, u"birds"_s, u"chime"_s, u"soft"_s, u"digital"_s})
        generatedSoundURL(kind);
}

void AlertSounds::playCalendarAlertSound()
{
    if (const auto kind = chosenKind(m_defaults.string(u"calendarAlertSound"_s), calendarSoundKinds()))
        playGeneratedSound(*kind);
}

void AlertSounds::playFocusFinishedSound()
{
    if (const auto kind = chosenKind(m_defaults.string(u"focusAlertSound"_s), focusSoundKinds()))
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

std::optional<QUrl> AlertSounds::generatedSoundURL(const QString &kind)
{
    const QString path = filePath(kind);
    const QFileInfo found(path);
    const bool current = m_written.contains(kind) && found.isFile() && !found.isSymLink();
    if (!current) {
        if (m_folder.isEmpty())
            return std::nullopt;
        // A save through a symbolic link writes its target, so a link found
        // at the path goes first; the file is then made anew beside it and
        // renamed into place.
        if (found.isSymLink() && !QFile::remove(path))
            return std::nullopt;
        if (!writeFileAtomically(path, makeWAVData(kind)))
            return std::nullopt;
        m_written.insert(kind);
    }
    return QUrl::fromLocalFile(path);
}

void AlertSounds::playGeneratedSound(const QString &kind)
{
    const auto url = generatedSoundURL(kind);
    if (!url) {
        m_player.beep();
        return;
    }
    m_player.play(url->toLocalFile(), alertSoundVolume(kind));
}

} // namespace kolu
