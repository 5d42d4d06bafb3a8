#include "LocalSoundServer.h"

#include "EventWait.h"

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace kolu::test {

LocalSoundServer::LocalSoundServer()
{
    const QString program = QStandardPaths::findExecutable(u"pulseaudio"_s);
    if (program.isEmpty() || !m_folder.isValid())
        return;
    const QString socket = m_folder.filePath(u"native"_s);
    // Its own home and runtime folder, so it finds no user configuration
    // and leaves nothing behind.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, m_folder.path());
    environment.insert(u"XDG_RUNTIME_DIR"_s, m_folder.path());
    environment.insert(u"XDG_CONFIG_HOME"_s, m_folder.filePath(u"config"_s));
    environment.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
    m_daemon.setProcessEnvironment(environment);
    m_daemon.setStandardErrorFile(m_folder.filePath(u"daemon.log"_s));
    m_daemon.start(program, {u"-n"_s, u"--daemonize=no"_s, u"--exit-idle-time=-1"_s, u"--use-pid-file=no"_s,
                             u"--disable-shm=yes"_s, u"--log-target=stderr"_s,
                             u"--load=module-null-sink sink_name=kolu_test"_s,
                             u"--load=module-native-protocol-unix auth-anonymous=1 socket="_s + socket});
    if (!m_daemon.waitForStarted(10000))
        return;
    // The daemon is another process: wait for it to answer, with a bound.
    m_running = waitUntil([&] {
        return QFileInfo::exists(socket) && pactl({u"info"_s}).contains(u"kolu_test"_s);
    });
}

LocalSoundServer::~LocalSoundServer()
{
    stop();
}

void LocalSoundServer::stop()
{
    endProcess(m_daemon);
    m_running = false;
}

QByteArray LocalSoundServer::address() const
{
    return "unix:" + m_folder.filePath(u"native"_s).toUtf8();
}

QString LocalSoundServer::pactl(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C"_s);
    return runToEnd(u"pactl"_s, QStringList{u"-s"_s, QString::fromUtf8(address())} + arguments, environment).trimmed();
}

} // namespace kolu::test
