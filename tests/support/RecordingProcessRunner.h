#pragma once

#include "model/SignalAwaiter.h"
#include "platform/system/ProcessRunner.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>

#include <functional>

namespace kolu::test {

struct RecordedProcess {
    QString program;
    QStringList arguments;
    QString workingDirectory;
};

// A run that started and ended with `code`, printing `output` and `error`.
inline ProcessResult exited(int code, const QByteArray &output = {}, const QByteArray &error = {})
{
    ProcessResult result;
    result.started = true;
    result.exitCode = code;
    result.standardOutput = output;
    result.standardError = error;
    return result;
}

// Records every run and answers from a script: by default every program is
// found and exits with 0 and no output.
class RecordingProcessRunner final : public ProcessRunner {
public:
    using Responder = std::function<ProcessResult(const RecordedProcess &)>;

    QString findExecutable(const QString &program) const override
    {
        return m_missing.contains(program) ? QString() : QStringLiteral("/usr/bin/") + program;
    }
    QCoro::Task<ProcessResult> run(QString program, QStringList arguments, std::chrono::milliseconds,
                                   QString workingDirectory) override
    {
        const RecordedProcess call{program, arguments, workingDirectory};
        m_runs.append(call);
        if (m_held)
            co_await nextEmission(&m_gate, &QObject::objectNameChanged);
        if (m_missing.contains(program))
            co_return ProcessResult{};
        if (m_responder)
            co_return m_responder(call);
        co_return m_results.value(program, exited(0));
    }
    // Recorded among runs(); succeeds unless the program is missing.
    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        m_runs.append({program, arguments, {}});
        return !m_missing.contains(program);
    }

    // Programs that findExecutable() does not find and run() cannot start.
    void setMissing(const QSet<QString> &programs) { m_missing = programs; }
    // The answer for runs of `program`.
    void respond(const QString &program, ProcessResult result) { m_results.insert(program, std::move(result)); }
    // Asked for every run before the per-program answers.
    void setResponder(Responder responder) { m_responder = std::move(responder); }

    const QList<RecordedProcess> &runs() const { return m_runs; }
    // The program and arguments of each run since the `from`th.
    QList<QStringList> commandLines(qsizetype from = 0) const
    {
        QList<QStringList> lines;
        for (const RecordedProcess &run : m_runs.mid(from))
            lines.append(QStringList{run.program} + run.arguments);
        return lines;
    }

    // While held, every run is recorded and then waits until release().
    void hold() { m_held = true; }
    void release()
    {
        m_held = false;
        m_gate.setObjectName(m_gate.objectName() + u'.');
    }

private:
    bool m_held = false;
    QObject m_gate;
    QSet<QString> m_missing;
    QMap<QString, ProcessResult> m_results;
    Responder m_responder;
    QList<RecordedProcess> m_runs;
};

} // namespace kolu::test
