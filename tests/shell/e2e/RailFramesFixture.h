#pragma once

// What the rail frame tests share: a desktop of the test's own, the real rail on it, and frames read back from the
// server.

#include "EventWait.h"
#include "PrivateDisplay.h"
#include "RailShape.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

constexpr quint32 kDesktop = 0x00FF00;
// The most a shadow of the glass darkens the desktop (its opacity is at most
// 0.24), with room for rounding.
constexpr int kDeepestShadow = 64;
constexpr QSize kScreen(1440, 900);
// A run of blank frames that lasts this long is seen.
constexpr qint64 kSeenBlankMs = 16;

// Where the rail stands on the screen, in device pixels, at a scale.
struct Layout {
    explicit Layout(double scale)
        : scale(scale)
    {
        const auto px = [scale](double length) { return int(std::lround(length * scale)); };
        const int height = px(std::min(680.0, kScreen.height() / scale - 72.0));
        const int top = (kScreen.height() - height) / 2;
        const int centre = kScreen.height() / 2;
        parked = QRect(kScreen.width() - px(18), top, px(18), height);
        handle = QRect(parked.x(), centre - px(48), parked.width(), px(96));
        strip = QRect(kScreen.width() - px(88), 300, px(70), 300);
        // The opened rail's outer margin away from the edge stays clear but
        // for what a card's edge may reach into it as it moves in.
        openLeft = kScreen.width() - px(441 - 8);
        captured = QRect(openLeft - 40, top - 10, kScreen.width() - openLeft + 40, height + 20);
        // The collapsed rail's picture kept at the opened window's far side
        // (a pixel either way for a scaled width).
        ghost = QRect(kScreen.width() - px(441) - 1, top, parked.width() + 2, height);
    }
    double scale;
    // What is read of the screen: the rail's side, beyond its opened width.
    QRect captured;
    QRect parked;
    // Where the collapsed rail's handle rests, and where the opened rail's
    // tool strip stands.
    QRect handle;
    QRect strip;
    // Nothing of the rail is drawn left of this column, open or closed.
    int openLeft = 0;
    QRect ghost;
};

// One frame as read from the server: whether each pixel shows the desktop.
class Frame {
public:
    Frame(const std::uint8_t *pixels, const QRect &captured)
        : m_captured(captured)
        , m_width(captured.width())
        , m_height(captured.height())
        , m_drawn(std::size_t(m_width) * m_height)
    {
        for (int i = 0; i < m_width * m_height; ++i) {
            quint32 value = 0;
            std::memcpy(&value, pixels + std::size_t(i) * 4, 4);
            value &= 0xFFFFFF;
            const int dr = int(value >> 16) - int(kDesktop >> 16);
            const int dg = int((value >> 8) & 0xFF) - int((kDesktop >> 8) & 0xFF);
            const int db = int(value & 0xFF) - int(kDesktop & 0xFF);
            // A shadow only darkens the green desktop: what changes its hue
            // (red or blue), or darkens it past any shadow, is drawn.
            m_drawn[std::size_t(i)] = std::abs(dr) > 2 || std::abs(db) > 2 || std::abs(dg) > kDeepestShadow;
        }
    }

    // Screen coordinates.
    bool drawn(int x, int y) const
    {
        const int fx = x - m_captured.x();
        const int fy = y - m_captured.y();
        if (fx < 0 || fy < 0 || fx >= m_width || fy >= m_height)
            return false;
        return m_drawn[std::size_t(fy) * m_width + fx];
    }
    // The share of `area` that the rail draws.
    double coverage(const QRect &area) const
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += drawn(x, y);
        return double(count) / (area.width() * area.height());
    }
    QRect drawnBounds() const
    {
        QRect bounds;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (m_drawn[std::size_t(y) * m_width + x])
                    bounds |= QRect(x + m_captured.x(), y + m_captured.y(), 1, 1);
        return bounds;
    }
    // The longest stretch of rows in which one column (or two) is drawn
    // with nothing drawn on either side: a line standing alone.
    int longestLoneLine() const
    {
        std::map<int, int> rows;
        for (int y = 0; y < m_height; ++y) {
            const int sy = y + m_captured.y();
            for (int x = 0; x < m_width; ++x) {
                const int sx = x + m_captured.x();
                if (!drawn(sx, sy) || drawn(sx - 1, sy))
                    continue;
                int run = 1;
                while (drawn(sx + run, sy))
                    ++run;
                if (run <= 2)
                    ++rows[sx];
            }
        }
        int longest = 0;
        for (const auto &[x, count] : rows)
            longest = std::max(longest, count);
        return longest;
    }
    bool operator==(const Frame &other) const { return m_drawn == other.m_drawn; }

private:
    QRect m_captured;
    int m_width;
    int m_height;
    std::vector<bool> m_drawn;
};

// What is wrong with a frame of an opening or closing rail.
enum class Fault { none, nothing, noRailNorHandle, awayFromEdge, strayLine, ghost };
constexpr std::array kFaultNames{"none",
                                 "nothing shows",
                                 "neither rail nor handle",
                                 "drawn away from the edge",
                                 "a stray line",
                                 "the collapsed rail's picture at the far side"};

// Whether all that is drawn left of the opened rail's side lies where the
// collapsed rail's picture would be kept at the opened window's far side.
inline bool onlyGhostAway(const Frame &frame, const Layout &layout)
{
    for (int y = layout.captured.top(); y <= layout.captured.bottom(); ++y)
        for (int x = layout.captured.left(); x < layout.openLeft; ++x)
            if (frame.drawn(x, y) && !layout.ghost.contains(x, y))
                return false;
    return true;
}

inline Fault faultOf(const Frame &frame, const Layout &layout)
{
    const QRect bounds = frame.drawnBounds();
    if (bounds.isEmpty())
        return Fault::nothing;
    // The old picture kept at the far side of a window that grew, or
    // anything else drawn beyond where the opened rail draws.
    if (bounds.left() < layout.openLeft)
        return onlyGhostAway(frame, layout) ? Fault::ghost : Fault::awayFromEdge;
    const bool handle = frame.coverage(layout.handle) >= 0.25;
    const bool strip = frame.coverage(layout.strip) >= 0.1;
    if (!handle && !strip)
        return bounds.right() < layout.strip.left() ? Fault::awayFromEdge : Fault::noRailNorHandle;
    if (frame.longestLoneLine() >= 40)
        return Fault::strayLine;
    return Fault::none;
}

class RailFramesTest : public ::testing::Test {
protected:
    explicit RailFramesTest(double scale = 1.0)
        : layout(scale)
    {
    }

    const Layout layout;
    test::TemporaryHome home;
    test::PrivateDisplay display{kScreen.width(), kScreen.height()};
    QProcess kolu;
    QProcess compositor;
    quint32 rail = 0;

    void SetUp() override
    {
        if (!display.isRunning() || !display.startWindowManager())
            KOLU_SKIP_OR_FAIL_UNDER_CI("no Xvfb with openbox here");
        // The desktop, one colour under the whole captured area. A window
        // manager that composites (KWin) draws windows it does not manage
        // above those it does: there the desktop is one it manages, as a
        // desktop's is.
        xcb_connection_t *c = display.connection();
        if (display.compositorRuns()) {
            const uint32_t values[] = {kDesktop};
            const xcb_window_t desktop = display.createWindow(layout.captured, XCB_CW_BACK_PIXEL, values);
            const xcb_atom_t type = display.atom("_NET_WM_WINDOW_TYPE_DESKTOP");
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, desktop, display.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM,
                                32, 1, &type);
            xcb_map_window(c, desktop);
            xcb_flush(c);
            ASSERT_TRUE(test::waitUntil([&] { return display.geometry(desktop) == layout.captured; }))
                << "the window manager did not keep the desktop in place";
            return;
        }
        const uint32_t values[] = {kDesktop, 1};
        const xcb_window_t desktop =
            display.createWindow(layout.captured, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        const uint32_t bottom[] = {XCB_STACK_MODE_BELOW};
        xcb_map_window(c, desktop);
        xcb_configure_window(c, desktop, XCB_CONFIG_WINDOW_STACK_MODE, bottom);
        xcb_flush(c);
    }

    void TearDown() override
    {
        test::endProcess(kolu);
        test::endProcess(compositor);
    }

    // Where a compositor is part of the setup (CI's), one that does not
    // start fails the test rather than leaving it unrun.
    void startCompositor()
    {
        if (!display.startCompositor(compositor))
            KOLU_SKIP_OR_FAIL_UNDER_CI("picom did not start");
    }

    Frame frameOf(const QByteArray &pixels) const
    {
        return Frame(reinterpret_cast<const std::uint8_t *>(pixels.constData()), layout.captured);
    }

    bool launchRail()
    {
        QJsonObject defaults{{u"hasCompletedOrlixOnboarding"_s, true}};
        EXPECT_TRUE(test::writeFile(home.configHome() + u"/Kolu/defaults.json"_s, QJsonDocument(defaults).toJson()));
        QProcessEnvironment environment = display.environment();
        if (layout.scale != 1.0)
            environment.insert(u"QT_SCALE_FACTOR"_s, QString::number(layout.scale));
        kolu.setProcessEnvironment(environment);
        kolu.setProcessChannelMode(QProcess::ForwardedChannels);
        kolu.start(QStringLiteral(KOLU_EXECUTABLE));
        if (!kolu.waitForStarted(10000))
            return false;
        const bool placed = test::waitUntil(
            [&] {
                rail = display.findWindow(u"^Kolu Rail$"_s);
                return rail && parked();
            },
            std::chrono::seconds(60));
        // Then shown: a compositor draws a window that has just appeared a
        // moment later, which is not part of an open.
        return placed && test::waitUntil([&] {
                   const QByteArray pixels = capture();
                   return !pixels.isEmpty() && faultOf(frameOf(pixels), layout) == Fault::none;
               });
    }

    // What of the rail takes the pointer: the handle alone while parked, and
    // more than the parked rail's width once opened.
    QRect takesPointer() const { return test::shapeOnScreen(display, rail, XCB_SHAPE_SK_INPUT); }
    bool parked() const
    {
        const QRect shape = takesPointer();
        return !shape.isEmpty() && layout.parked.contains(shape);
    }
    bool opened() const { return takesPointer().left() < layout.parked.left(); }

    // The rail window's place on the screen, over xcb: quick enough to ask
    // between two frames.
    QRect railFrame() const
    {
        xcb_connection_t *c = display.connection();
        auto *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, rail), nullptr);
        auto *origin =
            xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, rail, display.root(), 0, 0), nullptr);
        QRect frame;
        if (geometry && origin)
            frame = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
        std::free(geometry);
        std::free(origin);
        return frame;
    }

    // The rail window's size, the bounds of its shape, and the window
    // manager's frame around it, on the server.
    std::tuple<QSize, QRect, QRect> sizeAndShape() const
    {
        xcb_connection_t *c = display.connection();
        QRect around;
        if (auto *tree = xcb_query_tree_reply(c, xcb_query_tree(c, rail), nullptr)) {
            if (tree->parent != tree->root) {
                if (auto *g = xcb_get_geometry_reply(c, xcb_get_geometry(c, tree->parent), nullptr)) {
                    around = QRect(g->x, g->y, g->width, g->height);
                    std::free(g);
                }
            }
            std::free(tree);
        }
        auto *extents = xcb_shape_query_extents_reply(c, xcb_shape_query_extents(c, rail), nullptr);
        QRect shape;
        if (extents && extents->bounding_shaped)
            shape = QRect(extents->bounding_shape_extents_x, extents->bounding_shape_extents_y,
                          extents->bounding_shape_extents_width, extents->bounding_shape_extents_height);
        std::free(extents);
        return {railFrame().size(), shape, around};
    }

    // The captured area as the server shows it now, 32 bits a pixel.
    QByteArray capture() const
    {
        xcb_connection_t *c = display.connection();
        const QRect &area = layout.captured;
        auto *reply = xcb_get_image_reply(c,
                                          xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, display.root(), area.x(),
                                                        area.y(), area.width(), area.height(), ~0u),
                                          nullptr);
        QByteArray pixels;
        if (reply && xcb_get_image_data_length(reply) >= area.width() * area.height() * 4)
            pixels =
                QByteArray(reinterpret_cast<const char *>(xcb_get_image_data(reply)), area.width() * area.height() * 4);
        std::free(reply);
        return pixels;
    }
    int m_saved = 0;
    // Frames read while the window showed whole under a compositor.
    int m_shownWhole = 0;
    // Faulty frames forgiven: single captures inside a change of size.
    int m_forgiven = 0;
    // The longest an open took to show the tool strip.
    qint64 m_slowestOpenMs = 0;

    void warpPointer(QPoint to) const
    {
        xcb_warp_pointer(display.connection(), XCB_WINDOW_NONE, display.root(), 0, 0, 0, 0, int16_t(to.x()),
                         int16_t(to.y()));
        xcb_flush(display.connection());
    }

    // One capture, what it showed, and the window as read just after it.
    struct Read {
        Fault fault = Fault::none;
        std::tuple<QSize, QRect, QRect> look;
        qint64 atMs = 0;
        // Whether it differs from the capture before it.
        bool newPicture = true;
    };

    // Whether the window (without a compositor: its size or its frame's;
    // under one, its shape too) differs between two reads.
    bool differs(const Read &a, const Read &b, bool composited) const
    {
        if (composited)
            return a.look != b.look;
        return std::get<0>(a.look) != std::get<0>(b.look) || std::get<2>(a.look) != std::get<2>(b.look);
    }

    // The faults of a motion's captures, but for those forgiven: a single
    // capture that showed nothing, or neither rail nor handle, inside a
    // change of size (from the read that saw the window change to the next
    // sound frame; under a compositor, to the next sound frame it has drawn
    // since: until it draws, it shows the picture from before), unless it is part of a run of blanks that lasts
    // kSeenBlankMs.
    std::vector<Fault> judge(const std::vector<Read> &reads, bool composited)
    {
        const std::size_t n = reads.size();
        std::vector<Fault> faults(n);
        for (std::size_t i = 0; i < n; ++i)
            faults[i] = reads[i].fault;
        // From a change of the window to the next sound frame read after it.
        bool catchingUp = false;
        for (std::size_t i = 0; i < n; ++i) {
            const Fault fault = reads[i].fault;
            const bool changed = i > 0 && differs(reads[i - 1], reads[i], composited);
            const bool insideChange =
                catchingUp || changed || (i + 1 < n && differs(reads[i], reads[i + 1], composited));
            const bool drawnSince = !composited || reads[i].newPicture;
            catchingUp = (catchingUp || changed) && !(fault == Fault::none && !changed && drawnSince);
            if (fault != Fault::nothing && fault != Fault::noRailNorHandle)
                continue;
            const bool alone =
                (i == 0 || reads[i - 1].fault == Fault::none) && (i + 1 == n || reads[i + 1].fault == Fault::none);
            if (insideChange && alone) {
                faults[i] = Fault::none;
                ++m_forgiven;
            }
        }
        // Blanks that an eye sees fail however they came.
        for (std::size_t i = 0; i < n;) {
            std::size_t end = i;
            while (end < n && reads[end].fault == Fault::nothing)
                ++end;
            if (end > i && reads[end - 1].atMs - reads[i].atMs >= kSeenBlankMs)
                std::fill(faults.begin() + std::ptrdiff_t(i), faults.begin() + std::ptrdiff_t(end), Fault::nothing);
            i = std::max(end, i + 1);
        }
        return faults;
    }

    // Moves the pointer to `to` and reads every frame until the rail has
    // opened (or parked, when not `opening`) and nothing has changed on
    // screen for half a second. Answers the faults seen, by frame, but for
    // those forgiven.
    std::vector<Fault> watchMotion(QPoint to, bool opening)
    {
        const bool composited = display.compositorRuns();
        // Frames with a fault are kept there for a look, when asked for.
        const QString keep = qEnvironmentVariable("KOLU_TEST_FRAMES_DIR");
        warpPointer(to);
        std::vector<Read> reads;
        std::optional<Frame> last;
        QElapsedTimer total;
        total.start();
        QElapsedTimer still;
        still.start();
        bool stripShown = false;
        // A generous bound: a loaded machine draws slowly, and every frame
        // it draws is checked.
        while (total.elapsed() < 30000) {
            const qint64 at = total.elapsed();
            const QByteArray pixels = capture();
            if (pixels.isEmpty())
                break;
            std::optional<Frame> frame(std::in_place, frameOf(pixels));
            // Read after the frame: a change made before it is seen.
            const Fault fault = faultOf(*frame, layout);
            reads.push_back({fault, sizeAndShape(), at, !last || !(*last == *frame)});
            // A compositor blurs what lies behind a window's shape: the
            // window is never shown whole, clear where nothing is drawn.
            const QSize size = std::get<0>(reads.back().look);
            const QRect shape = std::get<1>(reads.back().look);
            if (composited && shape.width() >= size.width() && shape.height() >= size.height())
                ++m_shownWhole;
            if (opening && !stripShown && frame->coverage(layout.strip) >= 0.1) {
                stripShown = true;
                m_slowestOpenMs = std::max(m_slowestOpenMs, at);
            }
            if (!keep.isEmpty() && fault != Fault::none)
                QImage(reinterpret_cast<const uchar *>(pixels.constData()), layout.captured.width(),
                       layout.captured.height(), QImage::Format_RGB32)
                    .save(keep
                          + u"/%1%2-%3.png"_s.arg(composited ? u"composited-"_s : QString())
                                .arg(++m_saved, 4, 10, QChar(u'0'))
                                .arg(int(fault)));
            if (last && *last == *frame) {
                // Settled once the screen shows the motion's end, the
                // window's shapes agree, and half a second has passed since
                // the last change: longer than a slide.
                const bool shows = (frame->coverage(layout.strip) >= 0.1) == opening;
                const bool settled = shows && (opening ? opened() : parked());
                if (settled && still.elapsed() > 500)
                    break;
            } else {
                still.restart();
            }
            last = std::move(frame);
        }
        return judge(reads, composited);
    }

    // Eight opens and eight closes; every frame of them checked. The faults
    // are counted and printed; no frame may show one.
    void openAndCloseEightTimes()
    {
        const QPoint away(layout.captured.left() - 200, kScreen.height() / 2);
        const QPoint edge(kScreen.width() - 1, kScreen.height() / 2);
        // Rests away from the rail first.
        warpPointer(away);
        ASSERT_TRUE(test::waitUntil([&] { return parked(); }));
        // By fault: frames, opens or closes that showed it, and the most
        // frames in a row that showed it (printed).
        struct Seen {
            int frames = 0;
            int motions = 0;
            int inARow = 0;
        };
        std::map<std::pair<bool, Fault>, Seen> counts;
        std::array<int, 2> read{};
        const auto count = [&](bool opening, const std::vector<Fault> &faults) {
            std::map<Fault, int> seen;
            int row = 0;
            for (std::size_t i = 0; i < faults.size(); ++i) {
                Seen &total = counts[{opening, faults[i]}];
                ++total.frames;
                row = i > 0 && faults[i - 1] == faults[i] ? row + 1 : 1;
                total.inARow = std::max(total.inARow, row);
                if (seen[faults[i]]++ == 0)
                    ++total.motions;
            }
            read[opening] += int(faults.size());
        };
        for (int i = 0; i < 8; ++i) {
            count(true, watchMotion(edge, true));
            ASSERT_TRUE(opened()) << "the rail did not open";
            count(false, watchMotion(away, false));
            ASSERT_TRUE(parked()) << "the rail did not close";
        }
        std::cout << "frames read: " << read[1] << " opening, " << read[0] << " closing; " << m_forgiven
                  << " faulty frames forgiven, single captures inside a change of size; the slowest open showed "
                  << "its tool strip after " << m_slowestOpenMs << " ms\n";
        for (const auto &[key, seen] : counts) {
            if (key.second == Fault::none)
                continue;
            ADD_FAILURE() << (key.first ? "opening: " : "closing: ") << kFaultNames[std::size_t(key.second)] << " in "
                          << seen.frames << " frames of " << seen.motions << " of 8, at most " << seen.inARow
                          << " in a row";
        }
        const int clean = counts[{true, Fault::none}].frames + counts[{false, Fault::none}].frames;
        EXPECT_GT(clean, 16);
        EXPECT_EQ(m_shownWhole, 0) << "frames in which the whole window showed under a compositor";
    }
};

// At a scale that puts the rail's sides between device pixels.
class RailFramesAtAFractionalScaleTest : public RailFramesTest {
protected:
    RailFramesAtAFractionalScaleTest()
        : RailFramesTest(1.5)
    {
    }
};

} // namespace
