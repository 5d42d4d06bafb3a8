#pragma once

#include <QByteArray>
#include <QFuture>
#include <QString>
#include <QThreadPool>

#include <memory>

namespace kolu {

// A file written piece by piece on a thread of its own, in the order the
// pieces come, into a temporary file beside `targetPath` that replaces it
// only on commit. Every write, flush and sync happens on that thread, so a
// slow disk never holds up the caller's thread.
class StreamedFile {
public:
    explicit StreamedFile(QString targetPath);
    // A file that was not committed is removed. Waits for the pieces still
    // being written.
    ~StreamedFile();
    StreamedFile(const StreamedFile &) = delete;
    StreamedFile &operator=(const StreamedFile &) = delete;

    void append(QByteArray piece);
    // Syncs the file and puts it in place. Completes with the reason of a
    // failure on the way (the temporary file is then gone), or an empty text.
    QFuture<QString> commit();
    // Removes the temporary file.
    QFuture<void> discard();

private:
    struct State;
    std::shared_ptr<State> m_state;
    QThreadPool m_thread;
    bool m_finished = false;
};

} // namespace kolu
