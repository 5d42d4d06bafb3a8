#pragma once

#include <QProcess>
#include <QTemporaryDir>

namespace kolu::test {

// A sound server of the test's own: a PulseAudio daemon with one null sink,
// reachable only through a socket in a temporary folder, so the tests never
// touch the user's sound. It ends with the object.
class LocalSoundServer {
public:
    LocalSoundServer();
    ~LocalSoundServer();

    LocalSoundServer(const LocalSoundServer &) = delete;
    LocalSoundServer &operator=(const LocalSoundServer &) = delete;

    // False when the daemon is not installed or did not come up.
    bool isRunning() const { return m_running; }
    // The address for libpulse and pactl's -s.
    QByteArray address() const;

    // pactl run against this server; its standard output.
    QString pactl(const QStringList &arguments);

    void stop();

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    bool m_running = false;
};

} // namespace kolu::test
