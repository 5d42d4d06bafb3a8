// What the program maps as it starts: the libraries it names itself. The
// network and the media stack come as modules loaded on first use, and the
// archive and crypto libraries are opened when first used, so none of their
// libraries may be named here; a stray link would put them back in every
// launch. Nor may the program name a folder of the build or the sources as a
// place to load or open anything from.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QStringList neededLibraries(const QString &program)
{
    QProcess readelf;
    readelf.start(u"readelf"_s, {u"--dynamic"_s, u"--wide"_s, program});
    if (!readelf.waitForFinished(30000) || readelf.exitCode() != 0)
        return {};
    QStringList needed;
    static const QRegularExpression entry(uR"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])"_s);
    for (auto match = entry.globalMatch(QString::fromUtf8(readelf.readAllStandardOutput())); match.hasNext();)
        needed << match.next().captured(1);
    return needed;
}

TEST(ProgramLibrariesTest, TheProgramNamesNeitherTheNetworkNorTheMediaStack)
{
    const QStringList needed = neededLibraries(QStringLiteral(KOLU_EXECUTABLE));
    ASSERT_TRUE(needed.contains(u"libQt6Widgets.so.6"_s)) << needed.join(u' ').toStdString();
    for (const QString &library : needed)
        for (const char *deferred :
             {"libQt6Network", "libQCoro6Network", "libproxy", "libgssapi", "libkrb5", "libQt6Multimedia", "libpulse",
              "libgst", "libkolu-", "libarchive", "libcrypto", "libssl"})
            EXPECT_FALSE(library.startsWith(QLatin1String(deferred))) << library.toStdString();
}

TEST(ProgramLibrariesTest, TheProgramNamesNoFolderOfItsBuildOrSources)
{
#ifndef QT_NO_DEBUG
    GTEST_SKIP() << "a debug build's assertions name their source files";
#endif
    // The debug information names the build's and the sources' folders; the
    // program's own text, run path and data may not.
    QTemporaryDir dir;
    const QString stripped = dir.filePath(u"kolu"_s);
    QProcess objcopy;
    objcopy.start(u"objcopy"_s, {u"--strip-debug"_s, QStringLiteral(KOLU_EXECUTABLE), stripped});
    ASSERT_TRUE(objcopy.waitForFinished(120000) && objcopy.exitCode() == 0) << objcopy.readAllStandardError().data();
    QFile program(stripped);
    ASSERT_TRUE(program.open(QIODevice::ReadOnly));
    const QByteArray bytes = program.readAll();
    ASSERT_TRUE(bytes.contains("libQt6Widgets.so.6"));
    EXPECT_FALSE(bytes.contains(KOLU_BUILD_DIR));
    EXPECT_FALSE(bytes.contains(KOLU_SOURCE_DIR));
}

} // namespace
