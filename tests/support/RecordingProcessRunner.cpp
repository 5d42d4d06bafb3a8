#include "RecordingProcessRunner.h"

#include "model/SignalAwaiter.h"

using namespace Qt::StringLiterals;

namespace kolu::test {

QString RecordingProcessRunner::findExecutable(const QString &program) const
{
    return m_missing.contains(program) ? QString() : u"/usr/bin/"_s + program;
}

bool RecordingProcessRunner::startDetached(const QString &program, const QStringList &arguments)
{
    m_runs.append({program, arguments, {}});
    return !m_missing.contains(program);
}

QCoro::Task<ProcessResult> RecordingProcessRunner::run(QString program, QStringList arguments,
                                                       std::chrono::milliseconds, QString workingDirectory)
{
    const RecordedProcess call{program, arguments, workingDirectory};
    m_runs.append(call);
    if (m_held)
        co_await nextEmission(&m_gate, &QObject::objectNameChanged);
    if (m_missing.contains(program))
        co_return ProcessResult{};
    if (m_responder)
        co_return m_responder(call);
    const auto it = m_results.constFind(program);
    if (it != m_results.constEnd())
        co_return *it;
    ProcessResult ok;
    ok.started = true;
    ok.exitCode = 0;
    co_return ok;
}

} // namespace kolu::test
