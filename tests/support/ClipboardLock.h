#pragma once

#include "EventWait.h"

#include <QAbstractNativeEventFilter>
#include <QDir>
#include <QGuiApplication>
#include <QLockFile>
#include <QRegularExpression>
#include <QWindow>

#include <cstring>
#include <memory>

namespace kolu::test {

// The X clipboard belongs to the whole display, which test processes running
// in parallel share. A test that sets or reads the clipboard holds this lock
// for its whole run: one clipboard test at a time per display. On X11 it
// also brings this process's time stamp up to date, since X refuses a
// clipboard owner whose time stamp is older than the previous owner's.
class ClipboardLock {
public:
    ClipboardLock()
    {
        QString display = QString::fromLocal8Bit(qgetenv("DISPLAY"));
        display.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
        m_lock = std::make_unique<QLockFile>(QDir::tempPath() + QStringLiteral("/kolu-clipboard-tests-") + display
                                             + QStringLiteral(".lock"));
        // Held as long as a test runs, which on a loaded machine can pass
        // any age limit: only a holder that has died leaves it stale.
        m_lock->setStaleLockTime(0);
        m_ready = m_lock->tryLock(300'000)
                  && (QGuiApplication::platformName() != QStringLiteral("xcb") || catchUpWithServerTime());
    }
    ClipboardLock(const ClipboardLock &) = delete;
    ClipboardLock &operator=(const ClipboardLock &) = delete;

    // Whether the lock is held and the time stamp caught up (bounded waits).
    bool isReady() const { return m_ready; }

private:
    // Notices the X PropertyNotify event of one window.
    struct PropertyChangeWatcher final : QAbstractNativeEventFilter {
        explicit PropertyChangeWatcher(quint32 window)
            : window(window)
        {
        }
        bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
        {
            if (type != "xcb_generic_event_t")
                return false;
            // PropertyNotify is event type 28 in the first byte (the top bit
            // marks events sent by clients); the window is in bytes 4-7.
            const auto *bytes = static_cast<const uchar *>(message);
            quint32 target = 0;
            std::memcpy(&target, bytes + 4, sizeof target);
            seen = seen || ((bytes[0] & 0x7f) == 28 && target == window);
            return false;
        }
        quint32 window;
        bool seen = false;
    };

    // Qt moves its time stamp forward on every property change of one of its
    // windows: make one, change it, and wait (bounded) until the change is back.
    static bool catchUpWithServerTime()
    {
        QWindow window;
        window.create();
        PropertyChangeWatcher watcher(quint32(window.winId()));
        QCoreApplication::instance()->installNativeEventFilter(&watcher);
        window.setTitle(QStringLiteral("kolu clipboard test"));
        const bool seen = waitUntil([&] { return watcher.seen; }, std::chrono::seconds(10));
        QCoreApplication::instance()->removeNativeEventFilter(&watcher);
        return seen;
    }

    std::unique_ptr<QLockFile> m_lock;
    bool m_ready = false;
};

} // namespace kolu::test
