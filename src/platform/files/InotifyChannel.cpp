#include "platform/files/InotifyChannel.h"

#include <QSocketNotifier>
#include <QtDebug>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace kolu {

int InotifyChannel::openInstance()
{
    return ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

int InotifyChannel::addWatch(int fd, const char *path, uint32_t mask)
{
    return ::inotify_add_watch(fd, path, mask);
}

InotifyChannel::InotifyChannel(Opener opener, WatchAdder adder)
    : m_opener(opener ? std::move(opener) : Opener(&InotifyChannel::openInstance))
    , m_adder(adder ? std::move(adder) : WatchAdder(&InotifyChannel::addWatch))
{
}

InotifyChannel::~InotifyChannel()
{
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InotifyChannel::open()
{
    if (m_fd >= 0)
        return true;
    m_fd = m_opener();
    if (m_fd < 0) {
        m_error = qt_error_string(errno).toLocal8Bit();
        return false;
    }
    m_error.clear();
    if (m_ready)
        whenReady(std::move(m_ready));
    return true;
}

int InotifyChannel::add(const QByteArray &path, uint32_t mask)
{
    if (m_fd < 0) {
        errno = EBADF;
        return -1;
    }
    return m_adder(m_fd, path.constData(), mask);
}

void InotifyChannel::remove(int watch)
{
    if (m_fd >= 0 && watch >= 0)
        ::inotify_rm_watch(m_fd, watch);
}

void InotifyChannel::read(const std::function<void(const Report &)> &take)
{
    if (m_fd < 0)
        return;
    // Whole reports only: a buffer this size holds at least one of any name length.
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return; // nothing more reported for now
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= length;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof event);
            const char *name = buffer + at + sizeof(inotify_event);
            at += ssize_t(sizeof(inotify_event) + event.len);
            // The kernel pads a name with zeros to its length.
            take(Report{event.wd, event.mask,
                        event.len > 0 ? std::string_view(name, ::strnlen(name, event.len)) : std::string_view()});
        }
    }
}

void InotifyChannel::whenReady(std::function<void()> ready)
{
    m_ready = std::move(ready);
    m_notifier.reset();
    if (m_fd < 0)
        return; // set up once open() succeeds
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
        if (m_ready)
            m_ready();
    });
}

} // namespace kolu
