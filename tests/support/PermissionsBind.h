#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace kolu::test {

namespace permissions {

constexpr uid_t nobody = 65534;

inline void handOver(const QString &path)
{
    const QByteArray top = QFile::encodeName(path);
    if (::lchown(top.constData(), nobody, nobody) != 0)
        std::perror(top.constData());
    QDirIterator entries(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QByteArray name = QFile::encodeName(entries.next());
        if (::lchown(name.constData(), nobody, nobody) != 0)
            std::perror(name.constData());
    }
}

// The child's part: `paths` become the other user's, the process becomes
// that user, runs `body`, and leaves nothing behind in `paths`. Its failures
// are told on its error output, which the test shows (a child reports
// nothing the usual way).
[[noreturn]] inline void runAsNobody(const QStringList &paths, const std::function<void()> &body)
{
    for (const QString &path : paths)
        handOver(path);
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) {
        std::perror("becoming another user");
        std::_Exit(2);
    }
    ::testing::TestPartResultArray failures;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
        body();
    }
    for (int i = 0; i < failures.size(); ++i) {
        const ::testing::TestPartResult &result = failures.GetTestPartResult(i);
        std::fprintf(stderr, "%s:%d: %s\n", result.file_name() ? result.file_name() : "?", result.line_number(),
                     result.message());
    }
    // Exiting at once skips the destructors that would remove them.
    for (const QString &path : paths)
        QDir(path).removeRecursively();
    std::fflush(nullptr);
    std::_Exit(failures.size() > 0 ? 1 : 0);
}

} // namespace permissions

// Mode bits bind every user but the superuser, for whom a folder at 0555
// still takes writes. Runs `body` where they bind: right here for any other
// user; under the superuser in a child process that first hands `paths`
// (with all they hold) to "nobody" and becomes that user. Whatever fails in
// the child fails the test. `body` puts back the modes it changed.
inline void runWherePermissionsBind(const QStringList &paths, const std::function<void()> &body)
{
    if (::geteuid() != 0) {
        body();
        return;
    }
    // A child made by re-running the test, not by a fork of this process
    // with its threads.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(permissions::runAsNobody(paths, body), ::testing::ExitedWithCode(0), "");
}

// Sets `path`'s mode, as the test requires.
inline void setMode(const QString &path, mode_t mode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

} // namespace kolu::test
