// Pop-ups opened from a card of the real program (the Prayers card's City
// menu, the reminder composer's time list) on a 1440 x 900 desktop of the
// test's own with openbox, driven by xdotool as a user's pointer would.
//
// The program keeps its own time, so resting the pointer is a bounded wait
// of real time on the rail: it passes 1.5 s, nearly three times the hide
// delay, and fails at once should the rail go in. A program held back by a
// loaded machine could only make such a wait prove less, never fail it; the
// same pointer then sends the rail in once the pop-up has closed, which
// shows the hover poll ran all along.
#include "cards/prayers/PrayerRules.h"

#include "EventWait.h"
#include "PrivateDisplay.h"
#include "RailShape.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {
const QString kRailName = u"^Kolu Rail$"_s;
const QRect kParked(1422, 110, 18, 680);
const QRect kExpanded(999, 110, 441, 680);
// Where the user's pointer goes away from the rail: the desktop.
const QPoint kDesktop(300, 450);

class RailPopupsTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    test::PrivateDisplay display{1440, 900};
    QProcess program;
    quint32 rail = 0;

    void SetUp() override
    {
        if (!display.isRunning() || !display.startWindowManager())
            KOLU_SKIP_OR_FAIL_UNDER_CI("no Xvfb with openbox here");
        // Prayers and reminders right after Today in the tool strip.
        QJsonObject defaults{{u"hasCompletedOrlixOnboarding"_s, true},
                             {u"railModuleOrder"_s, QJsonArray{u"prayers"_s, u"reminders"_s}}};
        ASSERT_TRUE(test::writeFile(home.configHome() + u"/Kolu/defaults.json"_s, QJsonDocument(defaults).toJson()));
        program.setProcessEnvironment(display.environment());
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(KOLU_EXECUTABLE), {});
        ASSERT_TRUE(program.waitForStarted(10000));
        // A generous bound: under a fully loaded machine every X tool run is slow.
        ASSERT_TRUE(test::waitUntil(
            [&] {
                rail = display.findWindow(kRailName);
                return rail && parked();
            },
            std::chrono::seconds(60)));
    }

    void TearDown() override { test::endProcess(program); }

    bool expanded() const { return test::railStandsIn(display, rail, kExpanded, true); }
    bool parked() const { return test::railStandsIn(display, rail, kParked, false); }
    void xdotool(const QStringList &arguments) const { display.run(u"xdotool"_s, arguments); }
    void clickAt(QPoint p) const
    {
        xdotool({u"mousemove"_s, QString::number(p.x()), QString::number(p.y()), u"click"_s, u"1"_s});
    }

    // The program's pop-up windows on show: mapped windows the window
    // manager leaves alone, other than the rail, wider than 40 and
    // `tallerThan` high (the program keeps small ones of its own).
    std::vector<QRect> popups(int tallerThan) const
    {
        xcb_connection_t *c = display.connection();
        std::vector<QRect> found;
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, display.root()), nullptr);
        if (!tree)
            return found;
        const xcb_window_t *children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            auto *attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
            auto *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr);
            if (attributes && geometry && attributes->override_redirect
                && attributes->map_state == XCB_MAP_STATE_VIEWABLE && children[i] != rail
                && geometry->height > tallerThan && geometry->width > 40)
                found.emplace_back(geometry->x, geometry->y, geometry->width, geometry->height);
            std::free(attributes);
            std::free(geometry);
        }
        std::free(tree);
        return found;
    }
    // The one pop-up on show, once it is there; empty when none came.
    QRect waitForPopup(int tallerThan)
    {
        std::vector<QRect> found;
        test::waitUntil([&] { return (found = popups(tallerThan)).size() == 1; });
        return found.size() == 1 ? found.front() : QRect();
    }

    // The screen's pixels in `area`, as 0xRRGGBB.
    std::vector<quint32> pixels(const QRect &area) const
    {
        xcb_connection_t *c = display.connection();
        auto *reply = xcb_get_image_reply(c,
                                          xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, display.root(), area.x(),
                                                        area.y(), area.width(), area.height(), ~0u),
                                          nullptr);
        std::vector<quint32> values;
        if (reply && xcb_get_image_data_length(reply) >= area.width() * area.height() * 4) {
            values.resize(std::size_t(area.width() * area.height()));
            std::memcpy(values.data(), xcb_get_image_data(reply), values.size() * 4);
        }
        std::free(reply);
        for (quint32 &v : values)
            v &= 0xFFFFFF;
        return values;
    }
    // Once what shows in `area` (a card's entrance, a slide) has come to
    // rest: the same several looks in a row.
    bool settled(const QRect &area) const
    {
        std::vector<quint32> last;
        int same = 0;
        return test::waitUntil([&] {
            std::vector<quint32> now = pixels(area);
            same = now == last && !now.empty() ? same + 1 : 0;
            last = std::move(now);
            return same >= 5;
        });
    }

    // Rests the pointer where it is for 1.5 s of real time, unless the rail
    // goes in first; true when it stayed out with one pop-up on show.
    bool railStaysOutWhileResting(int popupTallerThan)
    {
        QElapsedTimer rested;
        rested.start();
        test::waitUntil([&] { return !expanded() || rested.elapsed() > 1500; }, std::chrono::seconds(60));
        return expanded() && popups(popupTallerThan).size() == 1;
    }

    // Clicking on the desktop closes the pop-up; with nothing holding it,
    // the rail goes in and takes no pop-up with it.
    void closingOnTheDesktopSendsTheRailIn(int popupTallerThan)
    {
        xdotool({u"click"_s, u"1"_s});
        EXPECT_TRUE(test::waitUntil([&] { return popups(popupTallerThan).empty(); }));
        EXPECT_TRUE(test::waitUntil([&] { return parked(); }));
        EXPECT_TRUE(popups(20).empty()) << "a pop-up outlived the rail";
    }

    QString clipboard() const { return display.run(u"xclip"_s, {u"-o"_s, u"-selection"_s, u"clipboard"_s}); }

    // Opens the rail on the module at strip button `index`.
    void openModule(int index)
    {
        display.movePointer({1439, 450});
        ASSERT_TRUE(test::waitUntil([&] { return expanded(); }));
        const QPoint button(1387, 173 + 50 * index);
        ASSERT_TRUE(settled({button - QPoint(10, 10), QSize(20, 20)}));
        clickAt(button);
        ASSERT_TRUE(settled({1000, 150, 330, 400}));
    }
};

} // namespace

TEST_F(RailPopupsTest, TheCityMenuHoldsTheRailOutWhileThePointerRestsOnAnEntryPastThePanel)
{
    openModule(1);
    // A country with no preset: the City menu lists every city, from near
    // the top of the screen to near its bottom.
    const QPoint country(1230, 372), cityMenu(1154, 372), cityField(1105, 372);
    clickAt(country);
    ASSERT_TRUE(
        test::waitUntil([&] { return display.run(u"xdotool"_s, {u"getwindowfocus"_s}).trimmed().toUInt() == rail; }));
    xdotool({u"key"_s, u"ctrl+a"_s, u"type"_s, u"Atlantis"_s});
    clickAt(cityMenu);
    const QRect menu = waitForPopup(400);
    ASSERT_FALSE(menu.isEmpty()) << "no City menu";
    ASSERT_LT(menu.top() + 16, kExpanded.top()) << "its first entry lies above the panel";

    // The pointer rests on the first entry, above the panel, well past the hide delay.
    display.movePointer({menu.left() + 40, menu.top() + 16});
    ASSERT_TRUE(railStaysOutWhileResting(400)) << "the rail went in under the menu";

    // The pick takes and the rail stays out as the pointer comes back to the card.
    xdotool({u"click"_s, u"1"_s, u"mousemove"_s, u"1150"_s, u"600"_s});
    EXPECT_TRUE(test::waitUntil([&] { return popups(400).empty(); }));
    EXPECT_TRUE(expanded());
    clickAt(cityField);
    xdotool({u"key"_s, u"ctrl+a"_s, u"ctrl+c"_s});
    const QString first = prayers::cityOptions(u"Atlantis"_s).value(0);
    EXPECT_TRUE(test::waitUntil([&] { return clipboard() == first; })) << "City shows " << clipboard().toStdString();
    EXPECT_TRUE(expanded());

    // Open again with the pointer away on the desktop: the rail waits for
    // the menu, and goes in with nothing left behind once it closes.
    clickAt(cityMenu);
    ASSERT_FALSE(waitForPopup(400).isEmpty());
    display.movePointer(kDesktop);
    EXPECT_TRUE(railStaysOutWhileResting(400));
    closingOnTheDesktopSendsTheRailIn(400);
}

TEST_F(RailPopupsTest, TheComposersTimeListHoldsTheRailOutUntilItClosesAndGoesWithIt)
{
    openModule(2);
    const QPoint add(1286, 260), timeCheck(1064, 487);
    const QRect timeField(1112, 477, 178, 20);
    clickAt(add);
    ASSERT_TRUE(settled(timeField));
    clickAt(timeCheck);
    ASSERT_TRUE(settled(timeField));
    const std::vector<quint32> before = pixels(timeField);
    clickAt(timeField.center());
    const QRect list = waitForPopup(100);
    ASSERT_FALSE(list.isEmpty()) << "no time list";

    // The pointer leaves the card for the desktop and rests there: the list
    // is open, so the rail stays; then it picks the list's second entry.
    display.movePointer(kDesktop);
    ASSERT_TRUE(railStaysOutWhileResting(100)) << "the rail went in under the list";
    display.movePointer({list.left() + 40, list.top() + 40});
    EXPECT_TRUE(railStaysOutWhileResting(100));
    xdotool({u"click"_s, u"1"_s});
    EXPECT_TRUE(test::waitUntil([&] { return popups(100).empty(); }));
    EXPECT_TRUE(expanded());
    EXPECT_TRUE(test::waitUntil([&] { return pixels(timeField) != before; })) << "the time did not change";

    // Open again and leave: the rail goes in once the list has closed.
    clickAt(timeField.center());
    ASSERT_FALSE(waitForPopup(100).isEmpty());
    display.movePointer(kDesktop);
    EXPECT_TRUE(railStaysOutWhileResting(100));
    closingOnTheDesktopSendsTheRailIn(100);
}
