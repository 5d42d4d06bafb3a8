#include "cards/tray/TrayThumbnails.h"

#include "services/images/ImageLoader.h"
#include "services/images/ImageSlot.h"
#include "cards/tray/FileTrayCard.h"

#include "../CardTest.h"
#include "WorkersHeld.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

using State = TrayThumbnails::State;

// The tray's thumbnails over a state's shared image loader; no card.
class TrayThumbnailsTest : public test::CardTest<FileTrayCard> {
protected:
    TrayThumbnails &thumbnails() const { return TrayThumbnails::of(*state); }
    ImageLoader &loader() const { return ImageLoader::of(*state); }
    bool idle() const override { return !thumbnails().isBusy(); }

    // Asks for the thumbnail until it is no longer on its way.
    TrayThumbnails::Thumbnail made(const QString &path, int edge) const
    {
        TrayThumbnails::Thumbnail answer;
        EXPECT_TRUE(test::waitUntil([&] {
            answer = thumbnails().request(path, edge);
            return answer.state != State::pending;
        }));
        return answer;
    }
};

TEST_F(TrayThumbnailsTest, ThumbnailsLiveInTheImageLoadersCacheApartFromItsPicturesAndGoWithItsRelease)
{
    EXPECT_EQ(&thumbnails(), &TrayThumbnails::of(*state)); // one for all the tray's views
    const QString path = makeFile(u"shot.png"_s, test::pngBytes({300, 200}, Qt::blue));

    const TrayThumbnails::Thumbnail first = made(path, 92);
    ASSERT_EQ(first.state, State::ready);
    EXPECT_EQ(first.image.size(), QSize(92, 92));
    EXPECT_EQ(loader().cachedBytes(), first.image.sizeInBytes());
    const int decodes = thumbnails().decodesStarted();
    EXPECT_EQ(thumbnails().request(path, 92).image.cacheKey(), first.image.cacheKey());
    EXPECT_EQ(thumbnails().decodesStarted(), decodes);

    // The same file at the same pixel size through the loader is a picture
    // of its own: covering the size, not cropped to a square.
    ImageSlot slot(loader());
    const int loads = loader().loadsStarted();
    slot.show(QUrl::fromLocalFile(path), {92, 92});
    EXPECT_EQ(loader().loadsStarted(), loads + 1);
    ASSERT_TRUE(test::waitUntil([&] { return slot.phase() == ImageSlot::Phase::loaded; }));
    EXPECT_EQ(slot.image().size(), QSize(138, 92));
    EXPECT_EQ(thumbnails().request(path, 92).image.size(), QSize(92, 92));

    // The rail's memory release empties the loader's cache: the thumbnail
    // is decoded again when next asked for.
    loader().clearCache();
    EXPECT_EQ(loader().cachedBytes(), 0);
    EXPECT_EQ(thumbnails().request(path, 92).state, State::pending);
    EXPECT_EQ(made(path, 92).state, State::ready);
    EXPECT_EQ(thumbnails().decodesStarted(), decodes + 1);
}

TEST_F(TrayThumbnailsTest, AFileThatIsNoPictureIsTriedOnceUntilItChangesOrTheCacheIsReleased)
{
    const QString path = makeFile(u"broken.png"_s, "not a picture");
    ASSERT_EQ(made(path, 92).state, State::failed);
    const int decodes = thumbnails().decodesStarted();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(thumbnails().request(path, 92).state, State::failed);
    EXPECT_EQ(thumbnails().decodesStarted(), decodes);
    EXPECT_GT(loader().cachedBytes(), 0); // the failure takes room too: the cache stays bounded

    ASSERT_TRUE(test::writeFile(path, "still not a picture", QDateTime::currentDateTime().addSecs(60)));
    EXPECT_EQ(made(path, 92).state, State::failed);
    EXPECT_EQ(thumbnails().decodesStarted(), decodes + 1);

    loader().clearCache();
    EXPECT_EQ(made(path, 92).state, State::failed);
    EXPECT_EQ(thumbnails().decodesStarted(), decodes + 2);
}

TEST_F(TrayThumbnailsTest, ADecodeOnItsWayWhenTheCacheIsReleasedStillLandsAndIsHeardOf)
{
    const QString path = makeFile(u"shot.png"_s, test::pngBytes({120, 120}, Qt::green));
    QSignalSpy finished(&thumbnails(), &TrayThumbnails::finished);
    test::WorkersHeld workers(thumbnails().workers());
    EXPECT_EQ(thumbnails().request(path, 92).state, State::pending);
    loader().clearCache();
    EXPECT_TRUE(thumbnails().isBusy());

    workers.release();
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() == 1; }));
    EXPECT_EQ(finished.front().front().toString(), QFileInfo(path).absoluteFilePath());
    const TrayThumbnails::Thumbnail landed = thumbnails().request(path, 92);
    EXPECT_EQ(landed.state, State::ready);
    EXPECT_EQ(landed.image.pixelColor(46, 46), QColor(Qt::green));
    EXPECT_EQ(thumbnails().decodesStarted(), 1);
}

} // namespace
} // namespace kolu
