#include "cards/wallpapers/WallpapersCard.h"

#include "services/images/ImageSlot.h"
#include "cards/wallpapers/WallpaperPreview.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/SmallSpinner.h"
#include "style/widgets/StatusPill.h"

#include "../CardTest.h"
#include "WorkersHeld.h"

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

class WallpapersCardTest : public test::CardTest<WallpapersCard> {
protected:
    WallpapersCardTest() { cardSize = {282, 460}; }

    // A folder of `count` pictures named 1.jpg, 2.jpg, ... of `size`.
    QString makeFolder(const QString &name, int count, QSize size = {64, 48})
    {
        const QString folder = home.path(name);
        EXPECT_TRUE(QDir().mkpath(folder));
        for (int i = 1; i <= count; ++i) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(QColor(40 * i % 255, 120, 200));
            EXPECT_TRUE(image.save(u"%1/%2.jpg"_s.arg(folder).arg(i), "JPEG"));
        }
        return folder;
    }

    // Reads from a folder as if it had been chosen, so no test reaches the web.
    void useFolder(const QString &name, int count)
    {
        defaults.set(u"wallpaperLocalFolderPath"_s, makeFolder(name, count));
        defaults.set(u"wallpaperLocalFolderName"_s, name);
        state->setWallpaperLocalFolderName(name);
    }

    static WallpaperCandidate candidate(const QString &id, std::optional<QUrl> source = std::nullopt)
    {
        WallpaperCandidate c;
        c.id = id;
        c.title = u"Picture "_s + id;
        c.sourceURL = std::move(source);
        return c;
    }

    bool idle() const override { return !state->isLoadingWallpaper() && !state->isApplyingWallpaper(); }

    OrlixButton *button(const QString &name) { return find<OrlixButton>(name); }
    bool enabled(const QString &name) { return button(u"wallpaper"_s + name + u"Button"_s)->isEnabled(); }
};

TEST_F(WallpapersCardTest, AnEmptyLibraryDisablesSteppingAndSettingAndShowsTheFallback)
{
    useFolder(u"Empty"_s, 0);
    test::WorkersHeld held;
    makeCard(); // shown without a candidate: the library loads
    ASSERT_TRUE(state->isLoadingWallpaper());
    EXPECT_FALSE(enabled(u"Refresh"_s));
    EXPECT_TRUE(find(u"wallpaperPreviewSpinner"_s)->isVisible());
    held.release();
    waitIdle();

    EXPECT_TRUE(enabled(u"Refresh"_s));
    EXPECT_FALSE(enabled(u"Previous"_s) || enabled(u"Next"_s) || enabled(u"Set"_s));
    EXPECT_FALSE(find(u"wallpaperPreviewSpinner"_s)->isVisible());
    EXPECT_FALSE(find(u"wallpaperTitle"_s)->isVisible());
    EXPECT_TRUE(find(u"wallpaperStatus"_s)->isVisible());
    EXPECT_EQ(text(u"wallpaperStatus"_s), state->wallpaperStatus().message);
}

TEST_F(WallpapersCardTest, TheChevronsNeedTwoPicturesAndAChosenFolderIsNamed)
{
    state->setWallpaperItems({candidate(u"a"_s)});
    state->setWallpaperCandidate(candidate(u"a"_s));
    makeCard();
    EXPECT_FALSE(enabled(u"Previous"_s));
    EXPECT_TRUE(enabled(u"Set"_s));
    state->setIsApplyingWallpaper(true);
    EXPECT_FALSE(enabled(u"Set"_s)) << "no second apply while one runs";
    state->setIsApplyingWallpaper(false);
    EXPECT_EQ(text(u"wallpaperTitle"_s), u"Picture a"_s);

    state->setWallpaperItems({candidate(u"a"_s), candidate(u"b"_s)});
    EXPECT_TRUE(enabled(u"Previous"_s));
    click(u"wallpaperNextButton"_s);
    EXPECT_EQ(state->wallpaperCandidate()->id, u"b"_s);
    EXPECT_EQ(text(u"wallpaperTitle"_s), u"Picture b"_s);
    click(u"wallpaperPreviousButton"_s);
    EXPECT_EQ(state->wallpaperCandidate()->id, u"a"_s);

    // Choosing a folder names it on the button and the pill.
    EXPECT_EQ(button(u"wallpaperFolderButton"_s)->text(), u"Choose Folder"_s);
    EXPECT_EQ(find<StatusPill>(u"wallpaperSourcePill"_s)->text(), u"WEB LIBRARY"_s);

    services.folderPicker->answer = makeFolder(u"Beach"_s, 2);
    click(u"wallpaperFolderButton"_s);
    ASSERT_TRUE(test::waitUntil([&] { return state->wallpaperLocalFolderName() == u"Beach"_s; }));
    EXPECT_EQ(button(u"wallpaperFolderButton"_s)->text(), u"Beach"_s);
    EXPECT_EQ(find<StatusPill>(u"wallpaperSourcePill"_s)->text(), u"LOCAL FOLDER"_s);
}

TEST_F(WallpapersCardTest, ShowingTheCardLoadsOnlyWhileNothingIsShownAndSetSetsTheShownPicture)
{
    useFolder(u"Pics"_s, 2);
    makeCard();
    EXPECT_TRUE(state->isLoadingWallpaper()) << "shown without a candidate";
    waitIdle();
    ASSERT_TRUE(state->wallpaperCandidate());
    state->setWallpaperStatus({u"kept"_s, state->wallpaperStatus().tint});

    card->hide();
    card->show();
    EXPECT_FALSE(state->isLoadingWallpaper());
    EXPECT_EQ(state->wallpaperStatus().message, u"kept"_s);

    // Set Wallpaper sets the shown picture.
    click(u"wallpaperSetButton"_s);
    ASSERT_TRUE(test::waitUntil([&] { return !services.desktopPicture->calls.isEmpty(); }));
    EXPECT_EQ(services.desktopPicture->calls.front().first, state->wallpaperCandidate()->imageURL.toLocalFile());
}

TEST_F(WallpapersCardTest, ThePreviewIsDecodedAtItsOwnSizeOpensOnlyASourcePageAndTheCardFitsThePanel)
{
    state->setWallpaperCandidate(candidate(u"0"_s));
    makeCard();
    const QString folder = makeFolder(u"Large"_s, 1, {2400, 1600});
    WallpaperCandidate large = candidate(u"large"_s);
    large.previewURL = QUrl::fromLocalFile(folder + u"/1.jpg"_s);
    state->setWallpaperCandidate(large);
    EXPECT_EQ(card->preview()->fallbackSymbol(), u"photo"_s) << "loading";
    ImageSlot *slot = card->preview()->imageSlot();
    ASSERT_TRUE(test::waitUntil([&] { return slot->phase() == ImageSlot::Phase::loaded; }));
    EXPECT_TRUE(card->preview()->fallbackSymbol().isEmpty());
    const QSize preview = card->preview()->size() * card->preview()->devicePixelRatioF();
    EXPECT_EQ(preview.height(), 214);
    EXPECT_LE(slot->image().width(), std::max(preview.width(), preview.height() * 3 / 2) + 1);
    EXPECT_LE(slot->image().height(), preview.height() + 1);
    EXPECT_GE(slot->image().width(), preview.width());

    WallpaperCandidate broken = candidate(u"broken"_s);
    broken.previewURL = QUrl::fromLocalFile(home.path(u"missing.jpg"_s));
    state->setWallpaperCandidate(broken);
    EXPECT_EQ(card->preview()->fallbackSymbol(), u"photo"_s);
    EXPECT_EQ(slot->phase(), ImageSlot::Phase::failed);

    // A click opens the source page only when there is one.
    const QUrl page(u"https://example.org/photo/1"_s);
    for (const std::optional<QUrl> &source : {std::optional<QUrl>(), std::optional<QUrl>(page)}) {
        services.urlOpener->opened.clear();
        state->setWallpaperCandidate(candidate(u"a"_s, source));
        QTest::mouseClick(card->preview(), Qt::LeftButton);
        EXPECT_EQ(services.urlOpener->opened, source ? QList<QUrl>{page} : QList<QUrl>{});
    }

    // The card fits the panel at both rail sizes with long texts.
    for (const int width : {282, 361}) {
        cardSize = {width, 460};
        makeCard();
        state->setWallpaperLocalFolderName(u"A folder with a very long name indeed, longer than any button"_s);
        WallpaperCandidate c = candidate(u"x"_s);
        c.title = u"A title much longer than the card is wide, so that it has to be cut"_s;
        state->setWallpaperCandidate(c);
        state->setWallpaperStatus({u"A status sentence long enough to wrap onto a second line of the card "
                                   "and then some more words that should be cut off"_s,
                                   state->wallpaperStatus().tint});
        QLayout *layout = card->layout();
        layout->activate();
        card->resize(width,
                     layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : card->sizeHint().height());
        layout->activate();
        EXPECT_LE(card->minimumSizeHint().width(), width);
        for (const QString &name : {u"wallpaperFolderButton"_s, u"wallpaperSetButton"_s, u"wallpaperRefreshButton"_s,
                                    u"wallpaperTitle"_s, u"wallpaperStatus"_s, u"wallpaperPreview"_s}) {
            auto *widget = find<QWidget>(name);
            const QRect inCard(widget->mapTo(card.get(), QPoint()), widget->size());
            EXPECT_TRUE(QRect(QPoint(), card->size()).contains(inCard)) << name.toStdString() << " at " << width;
        }
        EXPECT_NEAR(button(u"wallpaperFolderButton"_s)->width(), button(u"wallpaperSetButton"_s)->width(), 1)
            << "the two share the row";
    }
}

} // namespace
} // namespace kolu
