#include "shell/rail/EdgeNotificationRingsClock.h"
#include "shell/rail/EdgeNotificationRingsPictures.h"
#include "shell/rules/RingPhase.h"

#include "../style/ColorMeasure.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QWidget>

namespace kolu {
namespace {

using test::largestDifference;

QImage canvas(QSize size, qreal scale)
{
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    return image;
}

TEST(RingPictures, AKeptPictureShowsTheRingsWhereStrokingThemWouldAndIsDrawnOncePerTintAndScale)
{
    ringpictures::clear();
    const QColor tint(255, 149, 0);
    // A widget of the alert's rings' size, and one whose centre falls
    // between pixels.
    for (const QSize size : {QSize(104, 92), QSize(107, 91)}) {
        for (const qreal scale : {1.0, 2.0}) {
            for (const int index : {0, 5, rings::framesPerCycle - 1}) {
                SCOPED_TRACE(testing::Message() << size.width() << " scale " << scale << " picture " << index);
                const QPointF centre = QRectF(QPointF(), size).center();
                QImage kept = canvas(size, scale);
                {
                    QPainter painter(&kept);
                    ringpictures::draw(painter, centre, tint, index);
                }
                // The rings as stroked there, or half a device pixel away
                // where the centre falls between pixels (the picture lands
                // on whole pixels).
                int closest = 255;
                const qreal half = 0.5 / scale;
                for (const qreal dx : {0.0, -half, half})
                    for (const qreal dy : {0.0, -half, half}) {
                        QImage stroked = canvas(size, scale);
                        QPainter painter(&stroked);
                        ringpictures::stroke(painter, centre + QPointF(dx, dy), tint, rings::phaseOfPicture(index));
                        painter.end();
                        closest = std::min(closest, largestDifference(stroked, kept));
                    }
                EXPECT_LE(closest, 2);
                // Nothing outside the box the rings' motion repaints.
                const QRect area = ringpictures::area(centre);
                int outside = 0;
                for (int y = 0; y < kept.height(); ++y)
                    for (int x = 0; x < kept.width(); ++x)
                        outside +=
                            qAlpha(kept.pixel(x, y)) > 0 && !area.contains(QPoint(int(x / scale), int(y / scale)));
                EXPECT_EQ(outside, 0);
                if (scale == 1.0) {
                    // Drawn solid where nothing composites: a pixel only
                    // where a ring is, none between them.
                    const QRegion solid = ringpictures::solidShape(centre, index);
                    EXPECT_FALSE(solid.isEmpty());
                    int off = 0;
                    for (const QRect &r : solid)
                        for (int y = r.top(); y <= r.bottom(); ++y)
                            for (int x = r.left(); x <= r.right(); ++x)
                                off += !kept.rect().contains(x, y) || qAlpha(kept.pixel(x, y)) == 0;
                    EXPECT_EQ(off, 0);
                    EXPECT_FALSE(solid.contains(centre.toPoint()));
                }
            }
        }
    }
    EXPECT_EQ(ringpictures::keptCount(), 2) << "one set of pictures per scale, for every size";
    QImage other = canvas(QSize(104, 92), 1);
    QPainter painter(&other);
    ringpictures::draw(painter, QPointF(52, 46), QColor(10, 132, 255), 0);
    EXPECT_EQ(ringpictures::keptCount(), 3) << "and per tint";
    ringpictures::clear();
}

TEST(RingClock, TellsOfEachNewPictureOnceAndRunsOnlyWhileHeld)
{
    double seconds = 10;
    RingClock &clock = RingClock::shared();
    clock.setTimeSource([&seconds] { return seconds; });
    const double picture = 1.0 / (rings::cyclesPerSecond * rings::framesPerCycle);
    EXPECT_NEAR(clock.timer().interval() / 1000.0, picture, 0.001) << "a tick per picture";

    QWidget widget;
    RingsRunner runner(&widget, true);
    EXPECT_FALSE(clock.timer().isActive()) << "a hidden widget's rings hold nothing";
    widget.show();
    EXPECT_TRUE(clock.timer().isActive());
    QSignalSpy moved(&runner, &RingsRunner::moved);

    seconds += picture * 0.3;
    clock.tick();
    seconds += picture * 0.3;
    clock.tick();
    const int within = int(moved.count());
    seconds += picture;
    clock.tick();
    EXPECT_EQ(moved.count(), within + 1) << "once per picture";
    EXPECT_LE(within, 1);

    // Rings that show one picture in two wake the clock half as often,
    // unless other rings need every picture.
    runner.setStep(2);
    EXPECT_NEAR(clock.timer().interval() / 1000.0, 2 * picture, 0.001);
    QWidget other;
    RingsRunner everyPicture(&other, true);
    other.show();
    EXPECT_NEAR(clock.timer().interval() / 1000.0, picture, 0.001);
    other.hide();
    EXPECT_NEAR(clock.timer().interval() / 1000.0, 2 * picture, 0.001);
    EXPECT_TRUE(clock.timer().isActive());
    runner.setStep(1);

    runner.setWanted(false);
    EXPECT_FALSE(clock.timer().isActive());
    seconds += picture;
    clock.tick();
    EXPECT_EQ(moved.count(), within + 1) << "unwanted rings do not move";
    runner.setWanted(true);
    EXPECT_TRUE(clock.timer().isActive());
    widget.hide();
    EXPECT_FALSE(clock.timer().isActive());
    clock.setTimeSource({});
}

} // namespace
} // namespace kolu
