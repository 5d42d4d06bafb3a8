// What the program maps as it starts: the libraries it names itself. The
// network and the media stack come as modules loaded on first use, so none
// of their libraries may be named here; a stray link would put them back in
// every launch.
#include <gtest/gtest.h>

#include <QProcess>
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
        for (const char *deferred : {"libQt6Network", "libQCoro6Network", "libproxy", "libgssapi", "libkrb5",
                                     "libQt6Multimedia", "libpulse", "libgst", "libkolu-"})
            EXPECT_FALSE(library.startsWith(QLatin1String(deferred))) << library.toStdString();
}

} // namespace
