// An install holds every file the installed program looks for, where it
// looks: the program's own lookups are asked, for a program in the
// temporary prefix's bin folder.
#include "cards/links/BrandIconLibrary.h"
#include "platform/media/MediaModule.h"
#include "platform/net/NetModule.h"
#include "services/media/SoundscapeAudioManager.h"
#include "settings/pages/ProfilePage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// Whether `file` is in one of `folders` below `prefix`.
bool installedIn(const QStringList &folders, const QString &prefix, const QString &file)
{
    return std::any_of(folders.begin(), folders.end(), [&](const QString &folder) {
        return folder.startsWith(prefix + u'/') && QFileInfo(QDir(folder).filePath(file)).isFile();
    });
}

TEST(InstalledTreeTest, HoldsEveryFileTheInstalledProgramLooksFor)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    QProcess install;
    install.start(QStringLiteral(KOLU_CMAKE_COMMAND),
                  {u"--install"_s, QStringLiteral(KOLU_BUILD_DIR), u"--prefix"_s, prefix.path()});
    ASSERT_TRUE(install.waitForFinished(300000) && install.exitStatus() == QProcess::NormalExit
                && install.exitCode() == 0)
        << install.readAllStandardError().toStdString();
    const QString bin = prefix.filePath(u"bin"_s);
    ASSERT_TRUE(QFileInfo(bin + u"/kolu"_s).isExecutable());

    for (const QString &module : {MediaModule::fileName(), NetModule::fileName()})
        EXPECT_TRUE(QFileInfo(prefix.filePath(u"lib/kolu/"_s + module)).isFile()) << module.toStdString();

    const QStringList soundFolders = SoundscapeAudioManager::soundFoldersFor(bin);
    for (const SoundscapeTrack &track : SoundscapeAudioManager::defaultTracks())
        EXPECT_TRUE(installedIn(soundFolders, prefix.path(), track.filename)) << track.filename.toStdString();

    const QStringList iconFolders = BrandIconLibrary::iconFoldersFor(bin);
    ASSERT_FALSE(brandicons::shippedColors().empty());
    for (const auto &[slug, colour] : brandicons::shippedColors())
        EXPECT_TRUE(installedIn(iconFolders, prefix.path(), slug + u".svg"_s)) << slug.toStdString();

    const QUrl readme = SettingsProfilePage::documentationAddress(bin);
    EXPECT_TRUE(readme.toLocalFile().startsWith(prefix.path() + u"/share/doc/"_s)) << readme.toString().toStdString();

    // The installed program finds its modules through its own folder only.
    QProcess readelf;
    readelf.start(u"readelf"_s, {u"--dynamic"_s, u"--wide"_s, bin + u"/kolu"_s});
    ASSERT_TRUE(readelf.waitForFinished(30000) && readelf.exitCode() == 0);
    static const QRegularExpression runPath(uR"(\((?:RPATH|RUNPATH)\)[^\[]*\[([^\]]*)\])"_s);
    EXPECT_EQ(runPath.match(QString::fromUtf8(readelf.readAllStandardOutput())).captured(1), u"$ORIGIN/../lib/kolu"_s);
}

} // namespace
} // namespace kolu
