#include "ClipboardLock.h"

#include "EventWait.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QWindow>

#include <cstring>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

// Notices the X PropertyNotify event of one window.
class PropertyChangeWatcher final : public QAbstractNativeEventFilter {
public:
    explicit PropertyChangeWatcher(quint32 window)
        : m_window(window)
    {
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        // PropertyNotify is event type 28 in the first byte (the top bit
        // marks events sent by clients); the window is in bytes 4-7.
        const auto *bytes = static_cast<const uchar *>(message);
        quint32 window = 0;
        std::memcpy(&window, bytes + 4, sizeof window);
        if ((bytes[0] & 0x7f) == 28 && window == m_window)
            seen = true;
        return false;
    }

    bool seen = false;

private:
    quint32 m_window;
};

// Qt moves its time stamp forward on every property change of one of its
// windows: make one, change it, and wait (bounded) until the change is back.
bool catchUpWithServerTime()
{
    QWindow window;
    window.create();
    PropertyChangeWatcher watcher(quint32(window.winId()));
    QCoreApplication::instance()->installNativeEventFilter(&watcher);
    window.setTitle(u"kolu clipboard test"_s);
    const bool seen = waitUntil([&] { return watcher.seen; }, std::chrono::seconds(10));
    QCoreApplication::instance()->removeNativeEventFilter(&watcher);
    return seen;
}

} // namespace

ClipboardLock::ClipboardLock()
{
    QString display = QString::fromLocal8Bit(qgetenv("DISPLAY"));
    display.replace(QRegularExpression(u"[^A-Za-z0-9]"_s), u"_"_s);
    m_lock = std::make_unique<QLockFile>(QString(QDir::tempPath() + u"/kolu-clipboard-tests-"_s + display + u".lock"_s));
    if (!m_lock->tryLock(60'000))
        return;
    m_ready = QGuiApplication::platformName() != u"xcb"_s || catchUpWithServerTime();
}

ClipboardLock::~ClipboardLock() = default;

} // namespace kolu::test
