#pragma once

#include <QFile>

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kolu::test {

// Whether this user may still make an instance of the kernel's file change
// reports. A test that relies on one asserts this first, so that when other
// programs used them all up it says so at once, instead of failing on a count
// or waiting out its bounds.
inline ::testing::AssertionResult inotifyLeft()
{
    const int descriptor = ::inotify_init1(IN_CLOEXEC);
    if (descriptor >= 0) {
        ::close(descriptor);
        return ::testing::AssertionSuccess();
    }
    const int error = errno;
    QFile limit(QStringLiteral("/proc/sys/fs/inotify/max_user_instances"));
    const QByteArray instances = limit.open(QIODevice::ReadOnly) ? limit.readAll().trimmed() : QByteArray("?");
    return ::testing::AssertionFailure() << "No inotify instance is left for this user (" << std::strerror(error)
                                         << "; fs.inotify.max_user_instances is " << instances.constData()
                                         << "): close the programs holding them or raise the limit";
}

} // namespace kolu::test
