#include "AppStateFixture.h"
#include "WorkersHeld.h"

using M = RailModule;

namespace {

class AppStateWallpapersTest : public test::AppStateActionsTest {
protected:
    QString folder = home.path(u"Pics"_s);
    std::vector<qsizetype> pickedFrom; // the counts the random pick was given

    // A local folder of `count` images named 1.jpg, 2.jpg, ...
    std::unique_ptr<AppState> makeStateWithFolder(int count)
    {
        QDir().mkpath(folder);
        for (int i = 1; i <= count; ++i)
            makeFile(u"Pics/%1.jpg"_s.arg(i), "\xff\xd8\xff\xe0 picture");
        defaults.set(u"wallpaperLocalFolderPath"_s, folder);
        defaults.set(u"wallpaperLocalFolderName"_s, u"Pics"_s);
        auto state = makeLoadedState();
        state->setWallpaperRandomIndex([this](qsizetype count) {
            pickedFrom.push_back(count);
            return qsizetype(0);
        });
        return state;
    }

    static void load(AppState &state)
    {
        state.refreshWallpaper(false);
        ASSERT_TRUE(waitUntil([&] { return !state.isLoadingWallpaper(); }));
    }

    // No list, no picture and no status line.
    static bool cleared(const AppState &state)
    {
        return state.wallpaperItems().empty() && !state.wallpaperCandidate()
               && state.wallpaperStatus().message.isEmpty();
    }

    static QString shownTitle(const AppState &state)
    {
        return state.wallpaperCandidate() ? state.wallpaperCandidate()->title : QString();
    }
};

} // namespace

TEST_F(AppStateWallpapersTest, AHiddenModuleDropsItsLoadAndEachLoadShowsAnotherPictureWhileThereIsOne)
{
    const auto state = makeStateWithFolder(3);
    state->setRailModule(M::wallpapers, false);
    state->refreshWallpaper(false);
    EXPECT_FALSE(state->isLoadingWallpaper());
    test::WorkersHeld held;
    state->setRailModule(M::wallpapers, true);
    state->refreshWallpaper(false);
    ASSERT_TRUE(state->isLoadingWallpaper());
    state->setRailModule(M::wallpapers, false);
    EXPECT_TRUE(state->isLoadingWallpaper()) << "the running load keeps its flag until it ends";
    held.release();
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingWallpaper(); }));
    EXPECT_TRUE(pickedFrom.empty() && cleared(*state));

    // Shown again, the module loads; a forced load is dropped while one runs.
    test::WorkersHeld busy;
    state->setRailModule(M::wallpapers, true);
    state->refreshWallpaper(false);
    EXPECT_EQ(test::wallpaperStatus(*state), test::Status(u"Reading Pics..."_s, StatusTint::secondary));
    state->refreshWallpaper(true); // dropped while a load runs
    busy.release();
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingWallpaper(); }));
    EXPECT_EQ(test::wallpaperStatus(*state), test::Status(u"3 local images"_s, StatusTint::green));
    EXPECT_EQ(shownTitle(*state), u"1"_s);
    load(*state);
    EXPECT_EQ(pickedFrom, (std::vector<qsizetype>{3, 2})) << "the shown picture is not picked again";
    QStringList shown{shownTitle(*state)};
    for (int offset : {1, 1, -1}) {
        state->moveWallpaperSelection(offset);
        shown.append(shownTitle(*state));
    }
    EXPECT_EQ(shown, (QStringList{u"2"_s, u"3"_s, u"1"_s, u"3"_s}));

    QFile::remove(folder + u"/1.jpg"_s);
    QFile::remove(folder + u"/2.jpg"_s);
    load(*state);
    load(*state);
    EXPECT_EQ(shownTitle(*state), u"3"_s) << "a single image stays shown";
    QFile::remove(folder + u"/3.jpg"_s);
    load(*state);
    EXPECT_EQ(test::wallpaperStatus(*state),
              test::Status(u"No wallpaper images were found. Choose another folder or library."_s, StatusTint::orange));
    EXPECT_EQ(state->wallpaperItems().size(), 1u);
    EXPECT_TRUE(state->wallpaperCandidate());
}

TEST_F(AppStateWallpapersTest, ACancelledPickerChangesNothingAndClearingTheFolderOrTheLibraryEmptiesTheList)
{
    const auto state = makeStateWithFolder(7);
    test::awaitTask(state->chooseWallpaperFolder());
    EXPECT_EQ(state->wallpaperLocalFolderName(), u"Pics"_s);
    load(*state);
    state->setWallpaperLibrary(WallpaperLibrary::wild);
    EXPECT_TRUE(cleared(*state) && !state->isLoadingWallpaper());
    state->moveWallpaperSelection(1); // stepping an empty list loads it
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingWallpaper() && state->wallpaperItems().size() == 7; }));

    state->clearWallpaperFolder();
    EXPECT_FALSE(defaults.contains(u"wallpaperLocalFolderPath"_s) || defaults.contains(u"wallpaperLocalFolderName"_s));
    EXPECT_TRUE(state->wallpaperLocalFolderName().isEmpty() && state->wallpaperItems().empty());
    EXPECT_EQ(state->wallpaperStatus().message, u"Loading web library..."_s);
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingWallpaper(); }));
    EXPECT_EQ(state->wallpaperStatus().tint, StatusTint::orange) << "the test server has no archive";
}

TEST_F(AppStateWallpapersTest, ApplyingRecordsTheFileOnTheWallpaperThatWasApplied)
{
    const auto state = makeStateWithFolder(3);
    test::awaitTask(state->applyCurrentWallpaper());
    EXPECT_TRUE(state->wallpaperStatus().message.isEmpty()) << "nothing to apply";
    load(*state);
    // Local images know their file from the start; web ones learn it when set.
    std::vector<WallpaperCandidate> items = state->wallpaperItems();
    for (WallpaperCandidate &item : items)
        item.localFileURL.reset();
    state->setWallpaperItems(items);
    state->setWallpaperCandidate(items.front());
    const WallpaperCandidate applied = items.front();
    // The user steps on while the picture is being set.
    QObject::connect(state.get(), &AppState::changed, state.get(), [&](AppState::Field field) {
        if (field == AppState::Field::isApplyingWallpaper && state->isApplyingWallpaper())
            state->moveWallpaperSelection(1);
    });
    test::awaitTask(state->applyCurrentWallpaper());
    EXPECT_EQ(test::wallpaperStatus(*state), test::Status(u"Wallpaper set."_s, StatusTint::green));
    ASSERT_EQ(services.desktopPicture->calls.size(), 1);
    EXPECT_EQ(services.desktopPicture->calls[0].second, DisplayTarget::mainDisplay);
    ASSERT_NE(state->wallpaperCandidate()->id, applied.id);
    EXPECT_FALSE(state->wallpaperCandidate()->localFileURL) << "the shown wallpaper was not the one set";
    const auto it = std::find_if(state->wallpaperItems().begin(), state->wallpaperItems().end(),
                                 [&](const auto &c) { return c.id == applied.id; });
    ASSERT_NE(it, state->wallpaperItems().end());
    EXPECT_EQ(it->localFileURL, applied.imageURL);

    state->setWallpaperApplyToAllDisplays(true);
    services.desktopPicture->failure =
        DesktopPictureError(DesktopPictureError::Kind::failed, u"The desktop said no."_s);
    test::awaitTask(state->applyCurrentWallpaper());
    EXPECT_EQ(services.desktopPicture->calls.at(1).second, DisplayTarget::allDisplays);
    EXPECT_EQ(test::wallpaperStatus(*state), test::Status(u"The desktop said no."_s, StatusTint::orange));
    EXPECT_FALSE(state->isApplyingWallpaper());
}

TEST_F(AppStateWallpapersTest, AFolderChosenWhileTheWebLibraryLoadsOutranksItsAnswer)
{
    const auto state = makeLoadedState();
    services.server.setHoldResponses(true);
    state->refreshWallpaper(false);
    ASSERT_TRUE(waitUntil([&] { return services.server.requests().size() == 1; }));
    makeFile(u"Pics/1.jpg"_s, "\xff\xd8\xff\xe0 picture");
    makeFile(u"Pics/2.jpg"_s, "\xff\xd8\xff\xe0 picture");
    services.folderPicker->answer = folder;
    test::awaitTask(state->chooseWallpaperFolder());
    EXPECT_TRUE(state->isLoadingWallpaper());

    services.server.answerHeld([](const test::RecordedRequest &) { return true; });
    ASSERT_TRUE(waitUntil([&] { return !state->isLoadingWallpaper(); }));
    EXPECT_EQ(state->wallpaperStatus().message, u"2 local images"_s)
        << "the web answer was dropped, then the folder read";
    EXPECT_EQ(state->wallpaperItems().size(), 2u);
    EXPECT_EQ(services.server.requests().size(), 1) << "one load at a time";
}
