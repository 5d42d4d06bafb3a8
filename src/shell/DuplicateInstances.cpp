#include "shell/DuplicateInstances.h"

#include "model/Clock.h"

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kolu {

namespace duplicates {

namespace {

QByteArray runtimeDirOf(const QString &processFolder)
{
    QFile file(processFolder + u"/environ"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QByteArray kName = "XDG_RUNTIME_DIR=";
    for (const QByteArray &entry : file.readAll().split('\0'))
        if (entry.startsWith(kName))
            return entry.mid(kName.size());
    return {};
}

// Whether the process whose /proc folder is `folder` is a duplicate of
// `own`: what tells it apart is read cheapest first, and the reading stops at
// the first difference, since a launch looks at every process on the machine
// and most are another user's or another program.
bool isDuplicate(const QByteArray &folder, const QByteArray &ownExecutable, const ProcessIdentity &own)
{
    struct stat info { };
    if (::stat(folder.constData(), &info) != 0 || info.st_uid != own.uid)
        return false;
    char target[PATH_MAX];
    const QByteArray link = folder + "/exe";
    const ssize_t length = ::readlink(link.constData(), target, sizeof target);
    if (length <= 0 || QByteArrayView(target, length) != ownExecutable)
        return false;
    return runtimeDirOf(QFile::decodeName(folder)) == own.runtimeDir;
}

} // namespace

QList<pid_t> find(const QString &procRoot, const ProcessIdentity &own)
{
    QList<pid_t> found;
    if (own.executable.isEmpty())
        return found;
    const QByteArray root = QFile::encodeName(procRoot);
    const QByteArray ownExecutable = QFile::encodeName(own.executable);
    DIR *folder = ::opendir(root.constData());
    if (folder == nullptr)
        return found;
    while (const dirent *entry = ::readdir(folder)) {
        char *end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || pid <= 0 || pid == own.pid)
            continue;
        if (isDuplicate(QByteArray(root + '/' + entry->d_name), ownExecutable, own))
            found.append(static_cast<pid_t>(pid));
    }
    ::closedir(folder);
    std::sort(found.begin(), found.end());
    return found;
}

ProcessIdentity self(const QString &procRoot)
{
    ProcessIdentity own;
    own.pid = ::getpid();
    own.uid = ::getuid();
    own.executable = QFileInfo(procRoot + u"/self/exe"_s).symLinkTarget();
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
    ask(others, own);
    return others;
}

void DuplicateInstanceCloser::closeAllInBackground()
{
    using Found = std::pair<QList<pid_t>, ProcessIdentity>;
    auto *watcher = new QFutureWatcher<Found>(this);
    connect(watcher, &QFutureWatcher<Found>::finished, this, [this, watcher] {
        watcher->deleteLater();
        const auto &[others, own] = watcher->result();
        ask(others, own);
        Q_EMIT asked(others);
    });
    watcher->setFuture(QtConcurrent::run([root = m_procRoot] {
        ProcessIdentity own = duplicates::self(root);
        QList<pid_t> others = duplicates::find(root, own);
        return Found(std::move(others), std::move(own));
    }));
}

void DuplicateInstanceCloser::ask(const QList<pid_t> &pids, const ProcessIdentity &own)
{
    for (pid_t pid : pids) {
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
}

} // namespace kolu
