#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class QSocketNotifier;

namespace kolu {

// One instance of the kernel's file change reports: its descriptor, the
// watches taken on it, and the reports read from it one by one. It is made
// on demand and may be refused (each user has only so many), so open() can
// be asked again later. The watches built on it decide what a report means.
class InotifyChannel {
public:
    struct Report {
        int watch = -1;
        uint32_t mask = 0;
        std::string_view name; // of the entry in a watched folder; empty for the folder itself
    };
    // Makes a new instance: its descriptor, or -1 with errno set.
    using Opener = std::function<int()>;
    static int openInstance();
    // Adds a watch on the instance `fd`: its number, or -1 with errno set.
    using WatchAdder = std::function<int(int fd, const char *path, uint32_t mask)>;
    static int addWatch(int fd, const char *path, uint32_t mask);

    explicit InotifyChannel(Opener opener = {}, WatchAdder adder = {});
    ~InotifyChannel();
    InotifyChannel(const InotifyChannel &) = delete;
    InotifyChannel &operator=(const InotifyChannel &) = delete;

    // Makes the instance unless there is one; whether there is one now.
    // errorText() says why not.
    bool open();
    bool isOpen() const { return m_fd >= 0; }
    QByteArray errorText() const { return m_error; }

    // A watch on `path` for `mask`: its number, or -1 with errno set when refused.
    int add(const QByteArray &path, uint32_t mask);
    void remove(int watch);

    // Passes each report waiting to `take`, until none is left.
    void read(const std::function<void(const Report &)> &take);

    // Calls `ready` from the event loop of this thread whenever reports wait.
    void whenReady(std::function<void()> ready);

private:
    Opener m_opener;
    WatchAdder m_adder;
    int m_fd = -1;
    QByteArray m_error;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_ready;
};

} // namespace kolu
