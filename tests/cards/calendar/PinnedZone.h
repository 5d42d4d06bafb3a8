#pragma once

#include <QByteArray>

#include <cstdlib>
#include <ctime>

namespace kolu::test {

// Pins the process's local time zone (TZ) for the life of the object.
class PinnedZone {
public:
    explicit PinnedZone(const char *zone)
    {
        if (const char *old = std::getenv("TZ"))
            m_old = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~PinnedZone()
    {
        if (m_old.isEmpty())
            ::unsetenv("TZ");
        else
            ::setenv("TZ", m_old.constData(), 1);
        ::tzset();
    }
    PinnedZone(const PinnedZone &) = delete;
    PinnedZone &operator=(const PinnedZone &) = delete;

private:
    QByteArray m_old;
};

} // namespace kolu::test
