#include "cards/tray/TrayRules.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

TEST(TrayRules, TheDragThresholdIsThreePixelsInAStraightLine)
{
    struct Case {
        QPointF to;
        bool drags;
    };
    for (const Case c : {Case{{0, 0}, false}, Case{{3, 0}, false}, Case{{0, -3}, false}, Case{{3.1, 0}, true},
                         Case{{2.2, 2.2}, true}, Case{{0, -40}, true}})
        EXPECT_EQ(tray::movedFarEnoughToDrag({10, 10}, QPointF(10, 10) + c.to), c.drags) << c.to.x() << "," << c.to.y();
}

TEST(TrayRules, PictureExtensions)
{
    for (const char *name : {"a.png", "a.PNG", "b.jpg", "c.JPEG", "d.heic", "e.gif", "f.tiff", "g.webp"})
        EXPECT_TRUE(tray::hasImageExtension(QString::fromLatin1(name))) << name;
    for (const char *name : {"a.pdf", "b.tif", "c", "d.png.txt", "e.svg"})
        EXPECT_FALSE(tray::hasImageExtension(QString::fromLatin1(name))) << name;
}

} // namespace
} // namespace kolu
