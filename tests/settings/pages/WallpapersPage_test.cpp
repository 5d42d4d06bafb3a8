#include "settings/SettingsView.h"
#include "model/SettingsKeys.h"
#include "settings/pages/WallpapersPage.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"

#include "AwaitTask.h"
#include "EventWait.h"
#include "../SettingsFixture.h"
#include "TestFiles.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

class WallpapersPageTest : public SettingsTest {
protected:
    SettingsView view{*state, updates};

    static QString text(const WallpapersPage &page, const QString &name)
    {
        return page.findChild<ElidedLabel *>(name)->text();
    }
};

TEST_F(WallpapersPageTest, TheSourceFollowsTheChosenFolderAndRefreshWaitsForALoad)
{
    WallpapersPage page(view);
    page.show();
    // Refresh waits for a running load.
    auto *refresh = page.findChild<OrlixButton *>(u"wallpaperRefresh"_s);
    EXPECT_TRUE(refresh->isEnabled());
    state->setIsLoadingWallpaper(true);
    EXPECT_FALSE(refresh->isEnabled());
    state->setIsLoadingWallpaper(false);
    EXPECT_TRUE(refresh->isEnabled());

    auto *useWeb = page.findChild<OrlixButton *>(u"wallpaperUseWebLibrary"_s);
    EXPECT_EQ(text(page, u"wallpaperSourceBadge"_s), u"WEB"_s);
    EXPECT_FALSE(useWeb->isVisible());
    EXPECT_EQ(text(page, u"wallpaperSourceLine"_s), u"Web wallpapers stay cached locally so the app stays light."_s);

    ASSERT_TRUE(writeFile(home.path(u"Pics/1.jpg"_s), "\xff\xd8\xff\xe0 picture"));
    services.folderPicker->answer = home.path(u"Pics"_s);
    QTest::mouseClick(page.findChild<OrlixButton *>(u"wallpaperChooseFolder"_s), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !state->wallpaperLocalFolderName().isEmpty(); }));
    EXPECT_EQ(text(page, u"wallpaperSourceBadge"_s), u"LOCAL"_s);
    EXPECT_TRUE(useWeb->isVisible());
    EXPECT_EQ(text(page, u"wallpaperSourceLine"_s), u"Using local folder: Pics"_s);

    QTest::mouseClick(useWeb, Qt::LeftButton);
    EXPECT_EQ(text(page, u"wallpaperSourceBadge"_s), u"WEB"_s);
    EXPECT_FALSE(useWeb->isVisible());
}

TEST_F(WallpapersPageTest, TheAllDisplaysSwitchSurvivesAReopen)
{
    bool chosen = false;
    {
        auto view = open(OrlixSettingsPage::wallpapers);
        auto *toggle = child<OrlixSwitch>(*view, "wallpaperAllDisplaysSwitch");
        chosen = !toggle->isChecked();
        QTest::mouseClick(toggle, Qt::LeftButton);
        EXPECT_EQ(state->wallpaperApplyToAllDisplays(), chosen);
        EXPECT_EQ(defaults.boolean(SettingsKey::wallpaperApplyToAllDisplays), chosen);
    }
    EXPECT_EQ(child<OrlixSwitch>(*open(OrlixSettingsPage::wallpapers), "wallpaperAllDisplaysSwitch")->isChecked(),
              chosen);
}

} // namespace

} // namespace kolu::test
