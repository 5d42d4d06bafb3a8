#include "shell/DuplicateInstances.h"

#include "model/Clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace kolu {

namespace duplicates {

namespace {

QByteArray runtimeDirOf(const QString &processFolder)
{
    QFile file(processFolder + QStringLiteral("/environ"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QByteArray kName = "XDG_RUNTIME_DIR=";
    for (const QByteArray &entry : file.readAll().split('\0'))
        if (entry.startsWith(kName))
            return entry.mid(kName.size());
    return {};
}

bool readIdentity(const QString &procRoot, pid_t pid, ProcessIdentity &out)
{
    const QString folder = procRoot + QLatin1Char('/') + QString::number(pid);
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    out.pid = pid;
    out.uid = info.st_uid;
    out.executable = QFileInfo(folder + QStringLiteral("/exe")).symLinkTarget();
    out.runtimeDir = runtimeDirOf(folder);
    return !out.executable.isEmpty();
}

} // namespace

QList<pid_t> find(const QString &procRoot, const ProcessIdentity &own)
{
    QList<pid_t> found;
    if (own.executable.isEmpty())
        return found;
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : entries) {
        bool numeric = false;
        const long pid = name.toLong(&numeric);
        if (!numeric || pid <= 0 || pid == own.pid)
            continue;
        ProcessIdentity other;
        if (readIdentity(procRoot, static_cast<pid_t>(pid), other) && other.uid == own.uid &&
            other.executable == own.executable && other.runtimeDir == own.runtimeDir)
            found.append(other.pid);
    }
    return found;
}

ProcessIdentity self(const QString &procRoot)
{
    ProcessIdentity own;
    own.pid = ::getpid();
    own.uid = ::getuid();
    own.executable = QFileInfo(procRoot + QStringLiteral("/self/exe")).symLinkTarget();
    own.runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    return own;
}

} // namespace duplicates

DuplicateInstanceCloser::DuplicateInstanceCloser(Clock &clock, QString procRoot, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_procRoot(std::move(procRoot))
{
}

QList<pid_t> DuplicateInstanceCloser::closeAll()
{
    const ProcessIdentity own = duplicates::self(m_procRoot);
    const QList<pid_t> others = duplicates::find(m_procRoot, own);
    for (pid_t pid : others) {
        ::kill(pid, SIGTERM);
        ClockTimer *timer = m_clock.createTimer(this);
        connect(timer, &ClockTimer::timeout, this, [this, timer, pid, own] {
            timer->deleteLater();
            // The id may have been reused since: kill only what is still a
            // copy of ours.
            if (duplicates::find(m_procRoot, own).contains(pid))
                ::kill(pid, SIGKILL);
        });
        timer->start(std::chrono::milliseconds(kForceDelayMs), false);
    }
    return others;
}

} // namespace kolu
