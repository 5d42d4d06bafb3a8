#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWindow>

#include <ctime>
#include <functional>
#include <memory>

namespace kolu {

// Follows the first frame of the window titled `title`: `onStage` is called
// with `exposed` when the window is first exposed and with `painted` once
// that frame has been painted and handed to the X server (the expose is
// answered by painting the whole window and flushing it; the next turn of
// the event loop comes after). The watch goes with `owner`, or by itself
// after the frame. Header-only, so that the benchmarks' minimal program can
// report its first frame the same way.
class FirstFrameWatch final : public QObject {
public:
    enum class Stage { exposed, painted };

    static void watch(const QString &title, std::function<void(Stage)> onStage, QObject *owner)
    {
        QCoreApplication::instance()->installEventFilter(new FirstFrameWatch(title, std::move(onStage), owner));
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
        m_onStage(Stage::exposed);
        QTimer::singleShot(0, this, [this] {
            m_onStage(Stage::painted);
            deleteLater();
        });
        return false;
    }

private:
    FirstFrameWatch(QString title, std::function<void(Stage)> onStage, QObject *owner)
        : QObject(owner)
        , m_title(std::move(title))
        , m_onStage(std::move(onStage))
    {
    }

    QString m_title;
    std::function<void(Stage)> m_onStage;
};

// For the launch benchmark: when KOLU_FIRST_FRAME_FILE names a file, the two
// moments of the first frame of the window titled `title` are written to it,
// as "exposed <ns> <cpu ns>" and "painted <ns> <cpu ns>": the wall clock
// (CLOCK_REALTIME) and the CPU time of every thread of the process so far.
// Without the variable nothing is installed.
inline void reportFirstFrame(const QString &title)
{
    const QString path = qEnvironmentVariable("KOLU_FIRST_FRAME_FILE");
    if (path.isEmpty())
        return;
    auto file = std::make_shared<QFile>(path);
    FirstFrameWatch::watch(
        title,
        [file](FirstFrameWatch::Stage stage) {
            timespec wall{};
            timespec cpu{};
            clock_gettime(CLOCK_REALTIME, &wall);
            clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
            if (!file->isOpen() && !file->open(QIODevice::Append))
                return;
            file->write(QByteArray(stage == FirstFrameWatch::Stage::exposed ? "exposed " : "painted ")
                        + QByteArray::number(qint64(wall.tv_sec) * 1000000000 + wall.tv_nsec) + ' '
                        + QByteArray::number(qint64(cpu.tv_sec) * 1000000000 + cpu.tv_nsec) + '\n');
            file->flush();
        },
        QCoreApplication::instance());
}

} // namespace kolu
