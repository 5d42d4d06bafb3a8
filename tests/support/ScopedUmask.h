#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace kolu::test {

// Sets the process's umask for the life of the object, then puts the old one
// back, however the test ends.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask)
        : m_old(::umask(mask))
    {
    }
    ~ScopedUmask() { ::umask(m_old); }
    ScopedUmask(const ScopedUmask &) = delete;
    ScopedUmask &operator=(const ScopedUmask &) = delete;

private:
    mode_t m_old;
};

} // namespace kolu::test
