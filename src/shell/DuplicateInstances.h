#pragma once

#include <QList>
#include <QObject>
#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace kolu {

class Clock;

// Other running copies of this program in this user's session: processes
// whose /proc/PID/exe is our own executable, whose owner is us and whose
// runtime folder (XDG_RUNTIME_DIR, where the single-instance lock lives) is
// ours. Never another user's process, never another program, never a copy
// running in another session with a lock of its own.
struct ProcessIdentity {
    pid_t pid = 0;
    uid_t uid = 0;
    QString executable;
    QByteArray runtimeDir;
};

namespace duplicates {

// The duplicates of `own` listed in `procRoot` (a /proc layout: one folder
// per process, named by its id, with an `exe` link).
QList<pid_t> find(const QString &procRoot, const ProcessIdentity &own);

// This process, as /proc names it.
ProcessIdentity self(const QString &procRoot = QStringLiteral("/proc"));

} // namespace duplicates

// Asks every duplicate to quit (SIGTERM) and, 0.8 s later on `clock`, kills
// (SIGKILL) those that are still the same program of ours. The launch does
// not wait for either.
class DuplicateInstanceCloser : public QObject {
    Q_OBJECT
public:
    DuplicateInstanceCloser(Clock &clock, QString procRoot = QStringLiteral("/proc"), QObject *parent = nullptr);

    // Returns the processes asked to quit.
    QList<pid_t> closeAll();
    // The same with the look through the process list (a few milliseconds
    // on a busy system) on a worker, so that it does not hold back the
    // rail's first frame; the duplicates are asked to quit from the event
    // loop once it is done, and `asked` tells which.
    void closeAllInBackground();

    static constexpr int kForceDelayMs = 800;

Q_SIGNALS:
    void asked(const QList<pid_t> &pids);

private:
    void ask(const QList<pid_t> &pids, const ProcessIdentity &own);

    Clock &m_clock;
    QString m_procRoot;
};

} // namespace kolu
