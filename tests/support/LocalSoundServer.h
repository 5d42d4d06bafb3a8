#pragma once

#include "EventWait.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace kolu::test {

// A sound server of the test's own: a PulseAudio daemon with one null sink,
// reachable only through a socket in a temporary folder, so the tests never
// touch the user's sound. It ends with the object.
class LocalSoundServer {
public:
    LocalSoundServer()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty() || !m_folder.isValid())
            return;
        const QString socket = m_folder.filePath(QStringLiteral("native"));
        // Its own home and runtime folder, so it finds no user configuration
        // and leaves nothing behind.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_folder.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder.filePath(QStringLiteral("config")));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        m_daemon.setProcessEnvironment(environment);
        m_daemon.setStandardErrorFile(m_folder.filePath(QStringLiteral("daemon.log")));
        m_daemon.start(program,
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--use-pid-file=no"), QStringLiteral("--disable-shm=yes"),
                        QStringLiteral("--log-target=stderr"),
                        QStringLiteral("--load=module-null-sink sink_name=kolu_test"),
                        QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket});
        // The daemon is another process: wait for it to answer, with a bound.
        m_running = m_daemon.waitForStarted(10000) && waitUntil([&] {
                        return QFileInfo::exists(socket)
                               && pactl({QStringLiteral("info")}).contains(QStringLiteral("kolu_test"));
                    });
    }
    ~LocalSoundServer() { stop(); }
    LocalSoundServer(const LocalSoundServer &) = delete;
    LocalSoundServer &operator=(const LocalSoundServer &) = delete;

    // False when the daemon is not installed or did not come up.
    bool isRunning() const { return m_running; }
    // The address for libpulse and pactl's -s.
    QByteArray address() const { return "unix:" + m_folder.filePath(QStringLiteral("native")).toUtf8(); }

    // pactl run against this server; its standard output.
    QString pactl(const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        const QStringList server{QStringLiteral("-s"), QString::fromUtf8(address())};
        return runToEnd(QStringLiteral("pactl"), server + arguments, environment).trimmed();
    }

    void stop()
    {
        endProcess(m_daemon);
        m_running = false;
    }

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    bool m_running = false;
};

} // namespace kolu::test
