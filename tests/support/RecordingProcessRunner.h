#pragma once

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

// Records every run and answers from a script: by default every program is
// found and exits with 0 and no output.
class RecordingProcessRunner final : public ProcessRunner {
public:
    using Responder = std::function<ProcessResult(const RecordedProcess &)>;

    QString findExecutable(const QString &program) const override;
    QCoro::Task<ProcessResult> run(QString program, QStringList arguments, std::chrono::milliseconds timeout,
                                   QString workingDirectory) override;
    // Recorded among runs(); succeeds unless the program is missing.
    bool startDetached(const QString &program, const QStringList &arguments) override;

    // Programs that findExecutable() does not find and run() cannot start.
    void setMissing(const QSet<QString> &programs) { m_missing = programs; }
    // The answer for runs of `program`.
    void respond(const QString &program, ProcessResult result) { m_results.insert(program, std::move(result)); }
    // Asked for every run before the per-program answers.
    void setResponder(Responder responder) { m_responder = std::move(responder); }

    const QList<RecordedProcess> &runs() const { return m_runs; }

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
