#include "services/images/ImageDecoding.h"
#include "services/images/ImageLoader.h"
#include "services/images/ImageSlot.h"
#include "platform/net/backend/QtNetwork.h"

#include "EncodedImage.h"
#include "EventWait.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestFiles.h"
#include "LocalHttpServer.h"
#include "WorkersHeld.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// A picture whose halves differ, so a scaled or cropped copy can be told
// from another; `tone` tells pictures apart.
QImage picture(QSize size, int tone = 0)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(tone, 90, 160));
    QPainter(&image).fillRect(QRect(0, 0, size.width() / 2, size.height()), QColor(240, tone, 40));
    return image;
}

using test::encoded;

test::CannedResponse pngAnswer(const QImage &image)
{
    return {200, encoded(image, "PNG"), {{"Content-Type", "image/png"}}};
}

TEST(ImageDecodingTest, PicturesAreDecodedJustLargeEnoughToCoverTheTarget)
{
    const std::tuple<QSize, QSize, QSize> cases[] = {
        {{1600, 1200}, {200, 100}, {200, 150}}, // wide target: the width decides
        {{1200, 1600}, {200, 100}, {200, 267}},
        {{1600, 400}, {100, 100}, {400, 100}}, // wide picture: the height decides
        {{100, 80}, {400, 300}, {100, 80}},    // never enlarged
        {{1600, 1200}, {}, {1600, 1200}},      // no target: as stored
    };
    for (const auto &[source, target, expected] : cases)
        EXPECT_EQ(coverSize(source, target), expected) << source.width() << "x" << source.height();

    for (const char *format : {"JPEG", "PNG"}) {
        const QImage decoded = decodeImageData(encoded(picture({1600, 1200}), format), {200, 100});
        EXPECT_EQ(decoded.size(), QSize(200, 150)) << format;
        EXPECT_EQ(decoded.format(), QImage::Format_RGB32) << format;
    }
    EXPECT_TRUE(decodeImageData("not a picture", {200, 100}).isNull());
}

class ImageLoaderTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    test::ManualClock clock;
    test::LocalHttpServer server;
    QtNetwork network;
    ImageLoader loader{network, clock};

    QUrl writeFile(const QString &name, const QImage &image, const char *format = "PNG", const QDateTime &at = {})
    {
        const QString path = home.path(name);
        EXPECT_TRUE(test::writeFile(path, encoded(image, format), at));
        return QUrl::fromLocalFile(path);
    }

    static bool settled(const ImageSlot &slot)
    {
        return test::waitUntil([&] { return slot.phase() != ImageSlot::Phase::loading; });
    }
};

TEST_F(ImageLoaderTest, AFileIsDecodedOnAWorkerAtTheSizeAskedForAndServedFromTheCacheUntilItChanges)
{
    const QUrl address = writeFile(u"big.jpg"_s, picture({2400, 1600}), "JPEG");
    ImageSlot first(loader), second(loader);
    {
        test::WorkersHeld held; // nothing is decoded before the workers are free
        first.show(address, {300, 214});
        second.show(address, {300, 214});
        EXPECT_EQ(first.phase(), ImageSlot::Phase::loading);
        EXPECT_EQ(loader.loadsStarted(), 1) << "two views of one picture share one load";
    }
    ASSERT_TRUE(settled(first) && settled(second));
    EXPECT_EQ(first.phase(), ImageSlot::Phase::loaded);
    EXPECT_EQ(first.image().size(), QSize(321, 214));
    EXPECT_EQ(second.image().cacheKey(), first.image().cacheKey());

    ImageSlot third(loader);
    third.show(address, {300, 214});
    EXPECT_EQ(third.phase(), ImageSlot::Phase::loaded) << "a cached picture shows at once";
    EXPECT_EQ(loader.loadsStarted(), 1);
    third.show(address, {600, 428});
    EXPECT_EQ(loader.loadsStarted(), 2) << "another size is another picture";
    EXPECT_EQ(third.phase(), ImageSlot::Phase::loaded) << "the smaller one stays until the larger arrives";
    ASSERT_TRUE(settled(third));

    // The file written anew in place is read again.
    const QRgb before = third.image().pixel(600, 10);
    writeFile(u"big.jpg"_s, picture({2400, 1600}, 200), "JPEG", QDateTime::currentDateTimeUtc().addSecs(5));
    third.show(address, {600, 428});
    ASSERT_TRUE(test::waitUntil([&] { return third.image().pixel(600, 10) != before; }));
    EXPECT_EQ(loader.loadsStarted(), 3);
}

TEST_F(ImageLoaderTest, WhatCannotBeLoadedFailsAndAReplacedRequestIsNeverShown)
{
    server.respond(u"/missing.png"_s, {404, "no", {}});
    server.respond(u"/text.png"_s, {200, "not a picture", {}});
    ASSERT_TRUE(test::writeFile(home.path(u"broken.png"_s), "\x89PNG but not really"));
    const QUrl unreadable = QUrl::fromLocalFile(home.path(u"broken.png"_s));
    const QUrl addresses[] = {
        server.url(u"/missing.png"_s),
        server.url(u"/text.png"_s),
        QUrl::fromLocalFile(home.path(u"none.png"_s)),
        unreadable,
        QUrl(u"ftp://example.org/a.png"_s),
        QUrl::fromLocalFile(home.home()),
    };
    for (const QUrl &address : addresses) {
        ImageSlot slot(loader);
        slot.show(address, {40, 40});
        ASSERT_TRUE(settled(slot)) << address.toString().toStdString();
        EXPECT_EQ(slot.phase(), ImageSlot::Phase::failed) << address.toString().toStdString();
        EXPECT_TRUE(slot.image().isNull());
    }

    // An answer to a replaced request is never shown.
    server.clearRequests();
    server.respond(u"/old.png"_s, pngAnswer(picture({32, 32}, 10)));
    server.respond(u"/new.png"_s, pngAnswer(picture({32, 32}, 250)));
    server.setHoldResponses(true);
    ImageSlot slot(loader);
    QList<ImageSlot::Phase> seen;
    QObject::connect(&slot, &ImageSlot::changed, [&] { seen << slot.phase(); });

    slot.show(server.url(u"/old.png"_s), {32, 32});
    slot.show(server.url(u"/new.png"_s), {32, 32});
    ASSERT_TRUE(test::waitUntil([&] { return server.requests().size() == 2; }));
    server.answerHeld([](const test::RecordedRequest &r) { return r.path == u"/new.png"_s; });
    ASSERT_TRUE(settled(slot));
    const qint64 shown = slot.image().cacheKey();
    EXPECT_EQ(qRed(slot.image().pixel(30, 1)), 250) << "the newer picture";

    bool oldArrived = false;
    QObject::connect(&loader, &ImageLoader::finished, [&](const QString &key, const QImage &) {
        oldArrived = oldArrived || key.endsWith(u"/old.png"_s);
    });
    server.answerHeld([](const test::RecordedRequest &) { return true; });
    ASSERT_TRUE(test::waitUntil([&] { return oldArrived; }));
    EXPECT_EQ(slot.image().cacheKey(), shown) << "the older answer came last and was dropped";
    EXPECT_EQ(seen, (QList<ImageSlot::Phase>{ImageSlot::Phase::loading, ImageSlot::Phase::loaded}));
}

TEST_F(ImageLoaderTest, AWebPictureIsBoundedInSizeAndTimeAndTheCacheInMemory)
{
    ImageLoader::Limits limits;
    limits.maxDownloadBytes = 4096;
    limits.timeout = std::chrono::seconds(5);
    limits.cacheBytes = 3 * 100 * 100 * 4; // three pictures' worth
    ImageLoader bounded(network, clock, limits);
    server.respond(u"/small.png"_s, pngAnswer(picture({32, 32})));
    server.respond(u"/large.bmp"_s, {200, encoded(picture({200, 200}), "BMP"), {{"Content-Type", "image/bmp"}}});

    ImageSlot small(bounded), large(bounded);
    small.show(server.url(u"/small.png"_s), {16, 16});
    large.show(server.url(u"/large.bmp"_s), {16, 16});
    ASSERT_TRUE(settled(small) && settled(large));
    EXPECT_EQ(small.phase(), ImageSlot::Phase::loaded);
    EXPECT_EQ(small.image().size(), QSize(16, 16));
    EXPECT_EQ(large.phase(), ImageSlot::Phase::failed) << "an answer past the bound is abandoned";

    server.setHoldResponses(true);
    ImageSlot slow(bounded);
    slow.show(server.url(u"/slow.png"_s), {16, 16});
    ASSERT_TRUE(test::waitUntil([&] { return server.requests().size() == 3; }));
    clock.advance(std::chrono::seconds(6));
    ASSERT_TRUE(settled(slow));
    EXPECT_EQ(slow.phase(), ImageSlot::Phase::failed);

    // The cache stays within its memory bound.
    for (int i = 0; i < 8; ++i) {
        ImageSlot slot(bounded);
        slot.show(writeFile(u"p%1.png"_s.arg(i), picture({100, 100}, i * 20)), {100, 100});
        ASSERT_TRUE(settled(slot) && slot.phase() == ImageSlot::Phase::loaded);
        EXPECT_LE(bounded.cachedBytes(), limits.cacheBytes);
    }
    EXPECT_GT(bounded.cachedBytes(), 0);
}

} // namespace
} // namespace kolu
