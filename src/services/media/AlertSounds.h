#pragma once

#include "model/UserDefaults.h"
#include "platform/media/SoundPlayer.h"

#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

namespace kolu {

// The synthesised alert sounds: written as WAV files into the per-user
// runtime folder and played at each kind's volume. The user defaults
// "calendarAlertSound" and "focusAlertSound" choose the kind; "off" is silent.
class AlertSounds {
public:
    // `folder` receives the sound files; it should be private to the user.
    AlertSounds(UserDefaults &defaults, SoundPlayer &player, QString folder = defaultFolder());

    // The per-user runtime folder (XDG_RUNTIME_DIR).
    static QString defaultFolder();

    // The kinds each default can choose, besides "off".
    static const QStringList &calendarSoundKinds();
    static const QStringList &focusSoundKinds();

    // Writes every kind's file now, so the first alert plays without delay.
    void prepareAlertSounds();
    void playCalendarAlertSound();
    void playFocusFinishedSound();

    // The kind a stored choice plays: absent or unknown values play
    // "calendar"; "off" plays nothing.
    static std::optional<QString> chosenKind(const std::optional<QString> &stored, const QStringList &kinds);

    // The kind's file, written on the first need in this run. A file found
    // there from before is not trusted and is written over. Nothing when the
    // file cannot be written.
    std::optional<QUrl> generatedSoundURL(const QString &kind);

private:
    void playGeneratedSound(const QString &kind);
    QString filePath(const QString &kind) const;

    UserDefaults &m_defaults;
    SoundPlayer &m_player;
    QString m_folder;
    QSet<QString> m_written; // kinds whose file this run wrote
};

} // namespace kolu
