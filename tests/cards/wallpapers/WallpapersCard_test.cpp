#include "cards/wallpapers/WallpapersCard.h"

#include "cards/images/ImageSlot.h"
#include "cards/wallpapers/WallpaperPreview.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/SmallSpinner.h"
#include "style/widgets/StatusPill.h"

#include "../CardTest.h"
#include "WorkersHeld.h"

#include <QDir>
#include <QLayout>
#include <QPainter>

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

    void waitForLoad() { ASSERT_TRUE(test::waitUntil([&] { return !state->isLoadingWallpaper(); })); }

    bool idle() const override { return !state->isLoadingWallpaper() && !state->isApplyingWallpaper(); }

    OrlixButton *button(const QString &name) { return find<OrlixButton>(name); }
    bool chevronsEnabled() { return button(u"wallpaperPreviousButton"_s)->isEnabled(); }
};

TEST_F(WallpapersCardTest, AnEmptyLibraryDisablesSteppingAndSettingAndShowsTheFallback)
{
    useFolder(u"Empty"_s, 0);
    test::WorkersHeld held;
    makeCard(); // shown without a candidate: the library loads
    ASSERT_TRUE(state->isLoadingWallpaper());
    EXPECT_FALSE(button(u"wallpaperRefreshButton"_s)->isEnabled());
    EXPECT_TRUE(find<SmallSpinner>(u"wallpaperPreviewSpinner"_s)->isVisible());
    held.release();
    waitForLoad();

    EXPECT_TRUE(button(u"wallpaperRefreshButton"_s)->isEnabled());
    EXPECT_FALSE(button(u"wallpaperPreviousButton"_s)->isEnabled());
    EXPECT_FALSE(button(u"wallpaperNextButton"_s)->isEnabled());
    EXPECT_FALSE(button(u"wallpaperSetButton"_s)->isEnabled());
    EXPECT_FALSE(find<SmallSpinner>(u"wallpaperPreviewSpinner"_s)->isVisible());
    EXPECT_FALSE(find<ElidedLabel>(u"wallpaperTitle"_s)->isVisible());
    auto *status = find<ElidedLabel>(u"wallpaperStatus"_s);
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->text(), state->wallpaperStatusMessage());
}

TEST_F(WallpapersCardTest, TheChevronsNeedTwoPicturesAndStepThroughThem)
{
    state->setWallpaperItems({candidate(u"a"_s)});
    state->setWallpaperCandidate(candidate(u"a"_s));
    makeCard();
    EXPECT_FALSE(chevronsEnabled());
    EXPECT_TRUE(button(u"wallpaperSetButton"_s)->isEnabled());
    state->setIsApplyingWallpaper(true);
    EXPECT_FALSE(button(u"wallpaperSetButton"_s)->isEnabled()) << "no second apply while one runs";
    state->setIsApplyingWallpaper(false);
    EXPECT_EQ(find<ElidedLabel>(u"wallpaperTitle"_s)->text(), u"Picture a"_s);

    state->setWallpaperItems({candidate(u"a"_s), candidate(u"b"_s)});
    EXPECT_TRUE(chevronsEnabled());
    QTest::mouseClick(button(u"wallpaperNextButton"_s), Qt::LeftButton);
    EXPECT_EQ(state->wallpaperCandidate()->id, u"b"_s);
    EXPECT_EQ(find<ElidedLabel>(u"wallpaperTitle"_s)->text(), u"Picture b"_s);
    QTest::mouseClick(button(u"wallpaperPreviousButton"_s), Qt::LeftButton);
    EXPECT_EQ(state->wallpaperCandidate()->id, u"a"_s);
}

TEST_F(WallpapersCardTest, ChoosingAFolderNamesItOnTheButtonAndThePill)
{
    state->setWallpaperItems({candidate(u"a"_s)});
    state->setWallpaperCandidate(candidate(u"a"_s));
    makeCard();
    EXPECT_EQ(button(u"wallpaperFolderButton"_s)->text(), u"Choose Folder"_s);
    EXPECT_EQ(find<StatusPill>(u"wallpaperSourcePill"_s)->text(), u"WEB LIBRARY"_s);

    services.folderPicker->answer = makeFolder(u"Beach"_s, 2);
    QTest::mouseClick(button(u"wallpaperFolderButton"_s), Qt::LeftButton);
    ASSERT_TRUE(test::waitUntil([&] { return state->wallpaperLocalFolderName() == u"Beach"_s; }));
    EXPECT_EQ(button(u"wallpaperFolderButton"_s)->text(), u"Beach"_s);
    EXPECT_EQ(find<StatusPill>(u"wallpaperSourcePill"_s)->text(), u"LOCAL FOLDER"_s);
}

TEST_F(WallpapersCardTest, ShowingTheCardLoadsOnlyWhileNothingIsShown)
{
    useFolder(u"Pics"_s, 2);
    makeCard();
    EXPECT_TRUE(state->isLoadingWallpaper()) << "shown without a candidate";
    waitForLoad();
    ASSERT_TRUE(state->wallpaperCandidate());
    state->setWallpaperStatusMessage(u"kept"_s);

    card->hide();
    card->show();
    EXPECT_FALSE(state->isLoadingWallpaper());
    EXPECT_EQ(state->wallpaperStatusMessage(), u"kept"_s);
}

TEST_F(WallpapersCardTest, SetWallpaperSetsTheShownPicture)
{
    useFolder(u"Pics"_s, 1);
    makeCard();
    waitForLoad();
    ASSERT_TRUE(button(u"wallpaperSetButton"_s)->isEnabled());
    QTest::mouseClick(button(u"wallpaperSetButton"_s), Qt::LeftButton);
    ASSERT_TRUE(test::waitUntil([&] { return !services.desktopPicture->calls.isEmpty(); }));
    EXPECT_TRUE(services.desktopPicture->calls.front().first.endsWith(u"1.jpg"_s));
}

TEST_F(WallpapersCardTest, APreviewClickOpensTheSourcePageOnlyWhenThereIsOne)
{
    state->setWallpaperCandidate(candidate(u"0"_s));
    makeCard();
    const QUrl page(u"https://example.org/photo/1"_s);
    for (const std::optional<QUrl> &source : {std::optional<QUrl>(), std::optional<QUrl>(page)}) {
        services.urlOpener->opened.clear();
        state->setWallpaperCandidate(candidate(u"a"_s, source));
        QTest::mouseClick(card->preview(), Qt::LeftButton);
        EXPECT_EQ(services.urlOpener->opened, source ? QList<QUrl>{page} : QList<QUrl>{});
    }
}

TEST_F(WallpapersCardTest, ThePreviewIsDecodedAtItsOwnSizeNotTheFullPicture)
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
}

TEST_F(WallpapersCardTest, TheCardFitsThePanelAtBothRailSizesWithLongTexts)
{
    for (const int width : {282, 361}) {
        cardSize = {width, 460};
        state->setWallpaperCandidate(candidate(u"0"_s));
        makeCard();
        state->setWallpaperLocalFolderName(u"A folder with a very long name indeed, longer than any button"_s);
        WallpaperCandidate c = candidate(u"x"_s);
        c.title = u"A title much longer than the card is wide, so that it has to be cut"_s;
        state->setWallpaperCandidate(c);
        state->setWallpaperStatusMessage(u"A status sentence long enough to wrap onto a second line of the card "
                                         "and then some more words that should be cut off"_s);
        QLayout *layout = card->layout();
        layout->activate();
        card->resize(width, layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : card->sizeHint().height());
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
