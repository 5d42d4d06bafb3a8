#include "services/info/OrlixUpdateController.h"
#include "settings/SettingsView.h"
#include "settings/pages/UpdateCheckWindow.h"
#include "settings/pages/UpdatesPage.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"

#include "Ed25519Signer.h"
#include "EventWait.h"
#include "SettingsFixture.h"

#include <QCoreApplication>
#include <QTest>

#include <algorithm>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

QByteArray feedWith(const QByteArray &build, const QByteArray &version)
{
    return "<rss version=\"2.0\"><channel><item><title>Kolu " + version + "</title><build>" + build
           + "</build><version>" + version + "</version><link>https://kolu.test/releases/" + version
           + "</link></item></channel></rss>";
}

class UpdatesPageTest : public SettingsTest {
protected:
    std::unique_ptr<OrlixUpdateController> configured()
    {
        // Loopback is plain http; the controller's own tests cover the https rule.
        return std::make_unique<OrlixUpdateController>(
            network, defaults, OrlixUpdateConfiguration{services.server.url(u"/feed.xml"_s), signer.publicKey()}, clock,
            u"42"_s);
    }

    // The page of a settings window on `controller`; the release pages it
    // hands to the desktop land in `opened`.
    std::unique_ptr<UpdatesPage> pageFor(OrlixUpdateController &controller)
    {
        view = std::make_unique<SettingsView>(*state, controller);
        return std::make_unique<UpdatesPage>(*view);
    }

    std::unique_ptr<SettingsView> view;
    Ed25519Signer signer;
    const QList<QUrl> &opened = services.urlOpener->opened;
};

} // namespace

TEST_F(UpdatesPageTest, UnconfiguredServiceShowsWhyAndOffersNothing)
{
    defaults.set(SettingsKey::automaticallyChecksForUpdates, true); // stored but not in force
    auto page = pageFor(updates);
    EXPECT_EQ(child<ElidedLabel>(*page, "updatesServiceStatus")->text(), u"Update service unavailable"_s);
    EXPECT_EQ(child<ElidedLabel>(*page, "updatesLastCheck")->text(), u"The update feed has not been configured."_s);
    EXPECT_FALSE(child<OrlixButton>(*page, "updatesCheckNow")->isEnabled());
    for (const char *name : {"updatesAutomaticChecks", "updatesAutomaticDownloads"}) {
        auto *toggle = child<OrlixSwitch>(*page, name);
        EXPECT_FALSE(toggle->isEnabled()) << name;
        EXPECT_FALSE(toggle->isChecked()) << name;
    }
}

TEST_F(UpdatesPageTest, VersionLineFallsBackForEachMissingPart)
{
    EXPECT_EQ(currentVersionDetail({}, {}), u"Version 1.3.0 \u2022 Build 22"_s);
    EXPECT_EQ(currentVersionDetail(u"0.4.0"_s, {}), u"Version 0.4.0 \u2022 Build 22"_s);
    EXPECT_EQ(currentVersionDetail({}, u"7"_s), u"Version 1.3.0 \u2022 Build 7"_s);
}

TEST_F(UpdatesPageTest, ConfiguredSwitchesFollowTheControllerAtOnce)
{
    auto controller = configured();
    auto page = pageFor(*controller);
    page->show();
    EXPECT_EQ(child<ElidedLabel>(*page, "updatesServiceStatus")->text(), u"Update service configured"_s);
    EXPECT_EQ(child<ElidedLabel>(*page, "updatesLastCheck")->text(), u"No update check has been completed yet."_s);
    EXPECT_TRUE(child<OrlixButton>(*page, "updatesCheckNow")->isEnabled());

    auto *checks = child<OrlixSwitch>(*page, "updatesAutomaticChecks");
    auto *downloads = child<OrlixSwitch>(*page, "updatesAutomaticDownloads");
    EXPECT_FALSE(checks->isChecked());
    EXPECT_FALSE(downloads->isEnabled());
    QTest::mouseClick(checks, Qt::LeftButton);
    EXPECT_TRUE(controller->automaticallyChecksForUpdates());
    EXPECT_TRUE(checks->isChecked());
    EXPECT_TRUE(downloads->isEnabled());
    QTest::mouseClick(checks, Qt::LeftButton);
    EXPECT_FALSE(controller->automaticallyChecksForUpdates());
    EXPECT_FALSE(downloads->isEnabled());
}

// "Check Now" against a feed on the local server: the window follows the
// check to its outcome and the page shows when it was made.
TEST_F(UpdatesPageTest, CheckNowShowsEachOutcomeInItsOwnWindow)
{
    struct Case {
        QByteArray feed;
        UpdateStatus::State state;
        QString title;
        QString message;
        bool offersDownload;
    };
    const Case cases[] = {
        {feedWith("43", "0.5.0"), UpdateStatus::State::updateAvailable, u"Update available"_s,
         u"Kolu 0.5.0 is available."_s, true},
        {feedWith("42", "0.4.2"), UpdateStatus::State::upToDate, u"You're up to date"_s, u"Kolu is up to date."_s,
         false},
        {"<rss><channel><item>", UpdateStatus::State::failed, u"Update check failed"_s, u"Nothing was installed."_s,
         false},
    };
    auto controller = configured();
    auto page = pageFor(*controller);
    page->show();
    auto *checkNow = child<OrlixButton>(*page, "updatesCheckNow");
    for (const Case &c : cases) {
        services.server.respond(u"/feed.xml"_s, {200, c.feed, {{"Content-Type", "application/rss+xml"}}});
        services.server.respond(u"/feed.xml.sig"_s, {200, signer.sign(c.feed)});
        QTest::mouseClick(checkNow, Qt::LeftButton);
        UpdateCheckWindow *window = page->checkWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        ASSERT_TRUE(waitUntil([&] { return controller->status().state != UpdateStatus::State::checking; }));
        EXPECT_EQ(controller->status().state, c.state) << c.message.toStdString();
        EXPECT_EQ(child<ElidedLabel>(*window, "updateCheckTitle")->text(), c.title);
        EXPECT_TRUE(child<ElidedLabel>(*window, "updateCheckMessage")->text().contains(c.message))
            << child<ElidedLabel>(*window, "updateCheckMessage")->text().toStdString();
        auto *download = child<OrlixButton>(*window, "updateCheckDownload");
        EXPECT_EQ(download->isVisibleTo(window), c.offersDownload) << c.message.toStdString();
        EXPECT_TRUE(child<ElidedLabel>(*page, "updatesLastCheck")->text().startsWith(u"Last check attempted "_s));
        EXPECT_TRUE(checkNow->isEnabled());
        if (c.offersDownload) {
            QTest::mouseClick(download, Qt::LeftButton);
            EXPECT_EQ(opened, QList<QUrl>{QUrl(u"https://kolu.test/releases/0.5.0"_s)});
        }
    }
    EXPECT_EQ(std::count_if(services.server.requests().begin(), services.server.requests().end(),
                            [](const RecordedRequest &r) { return r.path == u"/feed.xml"_s; }),
              3);
    EXPECT_EQ(opened.size(), 1); // nothing else was fetched or installed
}

// The content column lays wrapped texts out at its own width, so none is cut.
TEST_F(UpdatesPageTest, WrappedNotesGetTheHeightTheirWidthNeeds)
{
    auto view = open(OrlixSettingsPage::updates);
    QCoreApplication::processEvents();
    const auto notes = view->findChildren<ElidedLabel *>(u"releaseNote"_s);
    ASSERT_FALSE(notes.isEmpty());
    EXPECT_TRUE(notes.back()->text().contains(u"Kolu's update checker"_s)) << "the last note names our own checker";
    bool anyWraps = false;
    for (ElidedLabel *note : notes) {
        EXPECT_GE(note->height(), note->heightForWidth(note->width())) << note->text().toStdString();
        EXPECT_FALSE(note->isElided(note->width())) << note->text().toStdString();
        anyWraps = anyWraps || note->visibleLines(note->width()).size() > 1;
    }
    EXPECT_TRUE(anyWraps);
}

} // namespace kolu::test
