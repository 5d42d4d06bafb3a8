#include "platform/net/backend/StreamedFile.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace kolu {

struct StreamedFile::State {
    QByteArray target;
    QByteArray temporary;
    int fd = -1;
    QString error;

    void fail()
    {
        if (error.isEmpty())
            error = QString::fromStdString(std::error_code(errno, std::generic_category()).message());
    }
    void closeAndRemove()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
        temporary.clear();
    }
};

StreamedFile::StreamedFile(QString targetPath)
    : m_state(std::make_shared<State>())
{
    m_thread.setMaxThreadCount(1); // one thread keeps the pieces in order
    m_state->target = QFile::encodeName(targetPath);
    (void)QtConcurrent::run(&m_thread, [state = m_state] {
        // "<name>.XXXXXX", as every other whole-file save names its copy.
        QByteArray name = state->target + ".XXXXXX";
        state->fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (state->fd < 0)
            state->fail();
        else
            state->temporary = name;
    });
}

StreamedFile::~StreamedFile()
{
    if (!m_finished)
        (void)discard();
    m_thread.waitForDone();
}

void StreamedFile::append(QByteArray piece)
{
    (void)QtConcurrent::run(&m_thread, [state = m_state, piece = std::move(piece)] {
        qsizetype written = 0;
        while (state->fd >= 0 && state->error.isEmpty() && written < piece.size()) {
            const ssize_t n = ::write(state->fd, piece.constData() + written, size_t(piece.size() - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                state->fail();
            else
                written += n;
        }
    });
}

QFuture<QString> StreamedFile::commit()
{
    m_finished = true;
    return QtConcurrent::run(&m_thread, [state = m_state] {
        if (state->error.isEmpty() && ::fsync(state->fd) != 0)
            state->fail();
        if (state->error.isEmpty()) {
            const int closed = ::close(state->fd);
            state->fd = -1; // released even when close reports a failure
            if (closed != 0)
                state->fail();
        }
        if (state->error.isEmpty() && ::rename(state->temporary.constData(), state->target.constData()) != 0)
            state->fail();
        if (state->error.isEmpty())
            state->temporary.clear();
        state->closeAndRemove();
        return state->error;
    });
}

QFuture<void> StreamedFile::discard()
{
    m_finished = true;
    return QtConcurrent::run(&m_thread, [state = m_state] { state->closeAndRemove(); });
}

} // namespace kolu
