#pragma once

#include <QLockFile>

#include <memory>

namespace kolu::test {

// The X clipboard belongs to the whole display, which test processes running
// in parallel share. A test that sets or reads the clipboard holds this lock
// for its whole run: one clipboard test at a time per display. On X11 it
// also brings this process's time stamp up to date, since X refuses a
// clipboard owner whose time stamp is older than the previous owner's.
class ClipboardLock {
public:
    ClipboardLock();
    ~ClipboardLock();

    ClipboardLock(const ClipboardLock &) = delete;
    ClipboardLock &operator=(const ClipboardLock &) = delete;

    // Whether the lock is held and the time stamp caught up (bounded waits).
    bool isReady() const { return m_ready; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_ready = false;
};

} // namespace kolu::test
