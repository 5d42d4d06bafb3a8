#pragma once

#include "model/Clock.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>

class QProcess;

namespace kolu {

struct ProcessResult {
    bool started = false;  // false when the program could not be run at all
    bool timedOut = false; // killed after the time-out
    bool crashed = false;
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;

    // Ran to the end on its own and exited with 0.
    bool succeeded() const { return started && !timedOut && !crashed && exitCode == 0; }
};

// Runs the desktop's command-line tools (pactl, gsettings, xwallpaper, ...).
// Everything that starts a child process goes through this, so tests can
// record the calls and answer them. A child that run() starts has no
// standard input and no terminal (a tool that would ask the user something
// fails at once), and it dies with Kolu.
class ProcessRunner {
public:
    virtual ~ProcessRunner();

    // The full path of `program` on the search path, or empty when missing.
    virtual QString findExecutable(const QString &program) const = 0;

    // Runs `program` with `arguments` (never through a shell) and completes
    // when it ends or after `timeout`, when it is killed with every process
    // it started.
    virtual QCoro::Task<ProcessResult> run(QString program, QStringList arguments,
                                           std::chrono::milliseconds timeout = std::chrono::seconds(30),
                                           QString workingDirectory = {}) = 0;

    // Starts `program` on its own (an opener or an editor that may run for
    // hours) without waiting for it. Returns whether it started.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
};

// Children still running when the runner goes are killed, so every caller
// waiting for one resumes (with a result that did not succeed) and ends.
class SystemProcessRunner final : public ProcessRunner {
public:
    // The time-out runs on `clock`.
    explicit SystemProcessRunner(Clock &clock = SystemClock::instance());
    ~SystemProcessRunner() override;

    QString findExecutable(const QString &program) const override;
    QCoro::Task<ProcessResult> run(QString program, QStringList arguments, std::chrono::milliseconds timeout,
                                   QString workingDirectory) override;
    bool startDetached(const QString &program, const QStringList &arguments) override;

private:
    struct Runs;

    Clock &m_clock;
    // Shared with the runs, which may end after the runner: a run resumed
    // after the runner went reads only this, never the runner.
    std::shared_ptr<Runs> m_runs;
};

} // namespace kolu
