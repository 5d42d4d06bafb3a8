#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWindow>

#include <ctime>

namespace kolu {

// For the launch benchmark: when KOLU_FIRST_FRAME_FILE names a file, the
// moment the window titled `title` is first exposed and the moment its first
// frame has been painted and handed to the X server are written to it, as
// "exposed <ns> <cpu ns>" and "painted <ns> <cpu ns>": the wall clock
// (CLOCK_REALTIME) and the CPU time of every thread of the process so far.
// Without the variable nothing is installed. Header-only, so that the
// benchmark's minimal program reports the same way.
class FirstFrameReport final : public QObject {
public:
    static void installFor(const QString &title)
    {
        const QString path = qEnvironmentVariable("KOLU_FIRST_FRAME_FILE");
        if (!path.isEmpty())
            QCoreApplication::instance()->installEventFilter(new FirstFrameReport(title, path));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Expose)
            return false;
        auto *window = qobject_cast<QWindow *>(watched);
        if (!window || window->title() != m_title)
            return false;
        QCoreApplication::instance()->removeEventFilter(this);
        write("exposed");
        // The expose is answered by painting the whole window and flushing
        // it; the next turn of the event loop comes after that frame.
        QTimer::singleShot(0, this, [this] {
            write("painted");
            deleteLater();
        });
        return false;
    }

private:
    FirstFrameReport(QString title, QString path)
        : QObject(QCoreApplication::instance())
        , m_title(std::move(title))
        , m_file(path)
    {
    }

    void write(const char *what)
    {
        timespec wall{};
        timespec cpu{};
        clock_gettime(CLOCK_REALTIME, &wall);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        if (!m_file.isOpen() && !m_file.open(QIODevice::Append))
            return;
        m_file.write(QByteArray(what) + ' ' + QByteArray::number(qint64(wall.tv_sec) * 1000000000 + wall.tv_nsec) + ' '
                     + QByteArray::number(qint64(cpu.tv_sec) * 1000000000 + cpu.tv_nsec) + '\n');
        m_file.flush();
    }

    QString m_title;
    QFile m_file;
};

} // namespace kolu
