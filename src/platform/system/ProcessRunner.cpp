#include "platform/system/ProcessRunner.h"

#include "model/SignalAwaiter.h"

#include <qcoro/qcoroprocess.h>

#include <QProcess>
#include <QStandardPaths>

namespace kolu {

ProcessRunner::~ProcessRunner() = default;

namespace {

// Lists a run's process among the running ones for as long as it lives.
class RunningEntry {
public:
    RunningEntry(std::shared_ptr<QSet<QProcess *>> running, QProcess *process)
        : m_running(std::move(running))
        , m_process(process)
    {
        m_running->insert(m_process);
    }
    ~RunningEntry() { m_running->remove(m_process); }
    RunningEntry(const RunningEntry &) = delete;
    RunningEntry &operator=(const RunningEntry &) = delete;

private:
    std::shared_ptr<QSet<QProcess *>> m_running;
    QProcess *m_process;
};

} // namespace

SystemProcessRunner::SystemProcessRunner()
    : m_running(std::make_shared<QSet<QProcess *>>())
{
}

SystemProcessRunner::~SystemProcessRunner()
{
    for (QProcess *process : std::as_const(*m_running))
        process->kill();
}

QString SystemProcessRunner::findExecutable(const QString &program) const
{
    return QStandardPaths::findExecutable(program);
}

bool SystemProcessRunner::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

QCoro::Task<ProcessResult> SystemProcessRunner::run(QString program, QStringList arguments,
                                                    std::chrono::milliseconds timeout, QString workingDirectory)
{
    ProcessResult result;
    QProcess process;
    const RunningEntry entry(m_running, &process);
    process.setProgram(program);
    process.setArguments(arguments);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);

    bool started = false;
    QObject::connect(&process, &QProcess::started, [&started] { started = true; });
    process.start();
    // Whether the exec went through is known when the state leaves Starting.
    while (!started && process.state() == QProcess::Starting)
        co_await nextEmission(&process, &QProcess::stateChanged);
    if (!started)
        co_return result;
    result.started = true;

    const bool finished = co_await qCoro(process).waitForFinished(timeout);
    if (!finished) {
        result.timedOut = true;
        process.kill();
        co_await qCoro(process).waitForFinished(std::chrono::seconds(5));
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    co_return result;
}

} // namespace kolu
