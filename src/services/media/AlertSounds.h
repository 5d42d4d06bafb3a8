#pragma once

#include "model/UserDefaults.h"
#include "platform/media/SoundPlayer.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <optional>

namespace kolu {

// The synthesised alert sounds: written as WAV files into the per-user
// runtime folder and played at each kind's volume. The settings
// calendarAlertSound and focusAlertSound choose the kind; "off" is silent.
// A file is made when it is first needed, off the main thread; one left by
// an earlier run is played as it is when its bytes are right.
class AlertSounds final : public QObject {
    Q_OBJECT

public:
    // `folder` receives the sound files: only when it is the user's alone
    // (mode 0700, narrowed when wider) are they written into it.
    AlertSounds(UserDefaults &defaults, SoundPlayer &player, QString folder = defaultFolder(),
                QObject *parent = nullptr);

    // The per-user runtime folder (XDG_RUNTIME_DIR), else ~/.cache/Kolu.
    static QString defaultFolder();

    // The kinds each default can choose, besides "off".
    static const QStringList &calendarSoundKinds();
    static const QStringList &focusSoundKinds();

    void playCalendarAlertSound();
    void playFocusFinishedSound();

    // The kind a stored choice plays: absent or unknown values play
    // "calendar"; "off" plays nothing.
    static std::optional<QString> chosenKind(const std::optional<QString> &stored, const QStringList &kinds);

    // The kind's file, made here and now when it is missing or wrong. A file
    // found there from before is kept when its bytes are the kind's sound;
    // any other file, or a link, is replaced. Nothing when the file cannot be
    // written.
    std::optional<QUrl> generatedSoundURL(const QString &kind);

    // The SHA-256 digest of the kind's file, as makeWAVData() makes it.
    static QByteArray expectedDigest(const QString &kind);

private:
    void playGeneratedSound(const QString &kind);
    QString filePath(const QString &kind) const;
    // The kind's file is there and right: written in this run, or found with
    // the right bytes.
    bool isCurrent(const QString &kind);
    bool writeSound(const QString &kind, const QByteArray &data);
    // Makes the kind's sound on a worker, then finishes making it.
    static QCoro::Task<> makeOnWorker(QPointer<AlertSounds> self, QString kind);
    // A worker made the kind's sound: write it and play what waited for it.
    void finishMaking(const QString &kind, const QByteArray &data);

    UserDefaults &m_defaults;
    SoundPlayer &m_player;
    QString m_folder;
    QSet<QString> m_written; // kinds whose file this run wrote or checked
    // Kinds being made off the main thread, with how many plays wait for each.
    QHash<QString, int> m_waitingPlays;
};

} // namespace kolu
