#include "platform/system/ProcessRunner.h"

#include "model/SignalAwaiter.h"

#include <QProcess>
#include <QStandardPaths>

#include <memory>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace kolu {

namespace {

// A child starts as a program started from a login would: every signal at
// its default and none blocked. Kolu may itself run with some ignored (under
// nohup, SIGHUP is), and a child would otherwise inherit that and outlive a
// hang-up meant for it. Runs between fork and exec: async-signal-safe only.
void restoreDefaultSignals()
{
    struct sigaction defaultAction { };
    defaultAction.sa_handler = SIG_DFL;
    ::sigemptyset(&defaultAction.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal) {
        if (signal != SIGKILL && signal != SIGSTOP)
            ::sigaction(signal, &defaultAction, nullptr);
    }
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Runs in the child between fork and exec, so only async-signal-safe calls.
void detachChild(pid_t parent)
{
    restoreDefaultSignals();
    // A new session has no controlling terminal: a tool that would ask on
    // /dev/tty (a password prompt) fails instead of waiting. It also
    // makes the child the leader of its own process group, which the
    // time-out kills as a whole.
    ::setsid();
    // The child dies with Kolu instead of working on for nobody.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) // Kolu died before the line above
        ::_exit(127);
}

void killGroup(QProcess &process)
{
    const qint64 pid = process.processId();
    if (pid > 0)
        ::kill(-pid_t(pid), SIGKILL);
    process.kill();
}

} // namespace

ProcessRunner::~ProcessRunner() = default;

struct SystemProcessRunner::Runs {
    QSet<QProcess *> running;
    bool runnerGone = false;
};

namespace {

// Lists a run's process among the running ones for as long as it lives.
template<typename Runs>
class RunningEntry {
public:
    RunningEntry(std::shared_ptr<Runs> runs, QProcess *process)
        : m_runs(std::move(runs))
        , m_process(process)
    {
        m_runs->running.insert(m_process);
    }
    ~RunningEntry() { m_runs->running.remove(m_process); }
    RunningEntry(const RunningEntry &) = delete;
    RunningEntry &operator=(const RunningEntry &) = delete;

private:
    std::shared_ptr<Runs> m_runs;
    QProcess *m_process;
};

} // namespace

SystemProcessRunner::SystemProcessRunner(Clock &clock)
    : m_clock(clock)
    , m_runs(std::make_shared<Runs>())
{
}

SystemProcessRunner::~SystemProcessRunner()
{
    m_runs->runnerGone = true;
    for (QProcess *process : std::as_const(m_runs->running))
        killGroup(*process);
}

QString SystemProcessRunner::findExecutable(const QString &program) const
{
    return QStandardPaths::findExecutable(program);
}

bool SystemProcessRunner::startDetached(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setChildProcessModifier(restoreDefaultSignals);
    return process.startDetached();
}

QCoro::Task<ProcessResult> SystemProcessRunner::run(QString program, QStringList arguments,
                                                    std::chrono::milliseconds timeout, QString workingDirectory)
{
    // After the first wait the runner may be gone: from there on only these
    // locals are read, and the clock only while the runner is still there.
    const std::shared_ptr<Runs> runs = m_runs;
    Clock &clock = m_clock;

    ProcessResult result;
    QProcess process;
    const RunningEntry<Runs> entry(runs, &process);
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] { detachChild(parent); });

    bool started = false;
    QObject::connect(&process, &QProcess::started, [&started] { started = true; });
    process.start();
    // Whether the exec went through is known when the state leaves Starting.
    while (!started && process.state() == QProcess::Starting)
        co_await nextEmission(&process, &QProcess::stateChanged);
    if (!started)
        co_return result;
    result.started = true;

    std::unique_ptr<ClockTimer> timer;
    if (runs->runnerGone) {
        // The runner went while the child was starting (its kill may have
        // come before the child had a process group of its own).
        killGroup(process);
    } else {
        timer.reset(clock.createTimer(nullptr));
        QObject::connect(timer.get(), &ClockTimer::timeout, &process, [&result, &process] {
            result.timedOut = true;
            killGroup(process);
        });
        timer->start(timeout, false);
    }
    // A killed child always ends, so this wait ends too.
    while (process.state() != QProcess::NotRunning)
        co_await nextEmission(&process, &QProcess::stateChanged);
    if (timer && !runs->runnerGone)
        timer->stop();

    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    co_return result;
}

} // namespace kolu
