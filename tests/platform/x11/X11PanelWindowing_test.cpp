#include "platform/windowing/PanelWindowing.h"

#include "PrivateDisplay.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

using namespace Qt::StringLiterals;

using namespace kolu;

namespace {

class X11PanelWindowingTest : public ::testing::Test {
protected:
    test::PrivateDisplay display;
    xcb_connection_t *connection = nullptr;
    xcb_window_t window = XCB_WINDOW_NONE;

    void SetUp() override
    {
        if (!display.isRunning())
            KOLU_SKIP_OR_FAIL_UNDER_CI("no Xvfb here");
        connection = display.connection();
        window = display.createWindow({10, 10, 100, 50});
        // As a toolkit leaves them: input hint set, a window group.
        const uint32_t hints[9] = {1 | 64, 1, 0, 0, 0, 0, 0, 0, 4242};
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9,
                            hints);
        xcb_flush(connection);
    }

    QString names(const QString &property) const { return display.property(window, property); }

    std::vector<uint32_t> hints() const { return display.property(window, "WM_HINTS", XCB_ATOM_WM_HINTS); }

    QList<QRect> shape(xcb_shape_kind_t kind) const
    {
        auto *reply =
            xcb_shape_get_rectangles_reply(connection, xcb_shape_get_rectangles(connection, window, kind), nullptr);
        QList<QRect> rects;
        if (reply) {
            const xcb_rectangle_t *r = xcb_shape_get_rectangles_rectangles(reply);
            for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(reply); ++i)
                rects.append(QRect(r[i].x, r[i].y, r[i].width, r[i].height));
        }
        std::free(reply);
        return rects;
    }
};

} // namespace

TEST_F(X11PanelWindowingTest, PreparesTheWindowAsAnEdgePanelOnEveryDesktop)
{
    auto windowing = createX11PanelWindowing(connection, 0);
    ASSERT_TRUE(windowing->isAvailable());
    windowing->prepare(window);
    windowing->prepare(window); // again: nothing doubles
    EXPECT_EQ(names(u"_NET_WM_WINDOW_TYPE"_s), u"_NET_WM_WINDOW_TYPE_DOCK"_s);
    EXPECT_EQ(names(u"_NET_WM_STATE"_s), u"_NET_WM_STATE_ABOVE, _NET_WM_STATE_STICKY, _NET_WM_STATE_SKIP_TASKBAR, "
                                         "_NET_WM_STATE_SKIP_PAGER"_s);
    EXPECT_EQ(names(u"_NET_WM_DESKTOP"_s), u"4294967295"_s);
    // The panel draws its own shadow: compositors add no square one.
    EXPECT_EQ(names(u"_GTK_FRAME_EXTENTS"_s), u"0, 0, 0, 0"_s);
    EXPECT_EQ(names(u"_COMPTON_SHADOW"_s), u"0"_s);

    // Focus changes only the input hint; the rest stays.
    windowing->setAcceptsFocus(window, false);
    EXPECT_EQ(hints(), (std::vector<uint32_t>{1 | 64, 0, 0, 0, 0, 0, 0, 0, 4242}));
    windowing->setAcceptsFocus(window, true);
    EXPECT_EQ(hints()[1], 1u);
}

TEST_F(X11PanelWindowingTest, ShapesStayVisibleToReparentingManagers)
{
    auto windowing = createX11PanelWindowing(connection, 0);
    const auto setInput = [&](const QRegion &r) { windowing->setInputRegion(window, r); };
    const auto setVisible = [&](const QRegion &r) { windowing->setVisibleRegion(window, r); };
    const std::pair<xcb_shape_kind_t, std::function<void(const QRegion &)>> kinds[] = {
        {XCB_SHAPE_SK_INPUT, setInput}, {XCB_SHAPE_SK_BOUNDING, setVisible}};
    for (const auto &[kind, set] : kinds) {
        // Several rectangles pass as they are.
        const QRegion handle = QRegion(0, 0, 18, 20) + QRegion(40, 30, 10, 10);
        set(handle);
        EXPECT_EQ(QRegion(shape(kind).front()) + QRegion(shape(kind).back()), handle);
        // Nothing: two points outside the window, so nothing of it is left.
        set(QRegion());
        const QList<QRect> nothing = shape(kind);
        ASSERT_EQ(nothing.size(), 2);
        for (const QRect &r : nothing)
            EXPECT_FALSE(r.intersects(QRect(0, 0, 100, 50)));
        // One rectangle: all of it but one corner pixel, in more than one piece.
        set(QRegion(0, 0, 100, 50));
        QRegion shaped;
        for (const QRect &r : shape(kind))
            shaped += r;
        EXPECT_GT(shape(kind).size(), 1);
        EXPECT_EQ(shaped, QRegion(0, 0, 100, 50) - QRegion(99, 49, 1, 1));
    }
    // Without a visible region the whole window shows again.
    windowing->setVisibleRegion(window, std::nullopt);
    EXPECT_EQ(shape(XCB_SHAPE_SK_BOUNDING), QList<QRect>{QRect(0, 0, 100, 50)});
}

TEST_F(X11PanelWindowingTest, ANewShapeOfOneKindLeavesTheOtherUnsent)
{
    // Each shape set makes the server work out again what every window
    // below shows, and a slide sets the visible one on every frame.
    auto windowing = createX11PanelWindowing(connection, 0);
    windowing->setInputRegion(window, QRegion(0, 0, 50, 50));
    windowing->setVisibleRegion(window, QRegion(0, 0, 50, 50));
    xcb_shape_select_input(connection, window, 1);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    const uint8_t shapeNotify = xcb_get_extension_data(connection, &xcb_shape_id)->first_event + XCB_SHAPE_NOTIFY;
    const auto sent = [&] {
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        std::map<int, int> kinds;
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & ~0x80) == shapeNotify)
                ++kinds[reinterpret_cast<xcb_shape_notify_event_t *>(event)->shape_kind];
            std::free(event);
        }
        return kinds;
    };
    sent();
    for (int frame = 1; frame <= 5; ++frame)
        windowing->setVisibleRegion(window, QRegion(0, 0, 50 + frame, 50));
    std::map<int, int> kinds = sent();
    EXPECT_EQ(kinds[XCB_SHAPE_SK_BOUNDING], 5);
    EXPECT_EQ(kinds[XCB_SHAPE_SK_INPUT], 0);
    windowing->setInputRegion(window, QRegion(0, 0, 20, 20));
    kinds = sent();
    EXPECT_EQ(kinds[XCB_SHAPE_SK_INPUT], 1);
    EXPECT_EQ(kinds[XCB_SHAPE_SK_BOUNDING], 0);
}

TEST_F(X11PanelWindowingTest, WhatShowsStaysUntilANewSizeReachesTheServer)
{
    // A window manager applies a new size some time after it is asked for.
    // The window shrinks from the left, as a rail at the right edge does
    // when it closes: its handle keeps its place on the screen.
    ASSERT_TRUE(QAbstractEventDispatcher::instance());
    auto windowing = createX11PanelWindowing(connection, 0, true);
    const uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &structure);
    windowing->keepContentAt(window, Qt::RightEdge);
    const auto bounding = [&] {
        QRegion region;
        for (const QRect &r : shape(XCB_SHAPE_SK_BOUNDING))
            region += r;
        return region;
    };
    // The window's events, as the application's event loop passes them on.
    const auto deliverEvents = [&] {
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", event, nullptr);
            std::free(event);
        }
    };
    const QRegion handle = QRegion(82, 10, 18, 20) + QRegion(82, 35, 18, 5);
    windowing->setVisibleRegion(window, handle);
    deliverEvents();
    int landed = 0;
    windowing->expectFrame(window, {10, 10, 100, 50}, {92, 10, 18, 50}, [&] { ++landed; });
    // Until then the handle shows where it is, and where it will be.
    EXPECT_EQ(bounding(), handle + handle.translated(-82, 0));
    // What is asked for meanwhile (the handle in the new size) waits, and
    // so does whoever waits for the size.
    const QRegion parked = QRegion(0, 12, 18, 20) + QRegion(0, 35, 18, 5);
    windowing->setVisibleRegion(window, parked);
    deliverEvents();
    EXPECT_EQ(bounding(), handle + handle.translated(-82, 0));
    EXPECT_EQ(landed, 0);

    const uint32_t frame[] = {92, 10, 18, 50};
    xcb_configure_window(connection, window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         frame);
    deliverEvents();
    EXPECT_EQ(landed, 1);
    // Landed, the handle still shows where it was kept, beside the shape
    // asked for, until the window is painted for its new size.
    EXPECT_EQ(bounding(), parked + handle.translated(-82, 0));
    windowing->stopExpectingFrame(window);
    EXPECT_EQ(bounding(), parked);

    // Growing away from the edge, the window moves there with what it
    // shows: only the handle's place in the new size shows meanwhile. A
    // window manager that keeps the old size says nothing: stopping the
    // wait sends what was asked for, and whoever waits is told.
    windowing->expectFrame(window, {92, 10, 18, 50}, {10, 10, 100, 50}, [&] { ++landed; });
    windowing->setVisibleRegion(window, handle);
    EXPECT_EQ(bounding(), parked.translated(82, 0));
    windowing->stopExpectingFrame(window);
    EXPECT_EQ(bounding(), handle);
    EXPECT_EQ(landed, 2);
}

TEST_F(X11PanelWindowingTest, AShapeThatHoldsTheWindowAtAnySizeIsSentOnceThroughEveryNewSize)
{
    // A composited panel shows its whole window. Each shape sent makes the
    // compositor take the window in anew, and an open or a close changes
    // its size twice: a shape that holds the window at any size goes once.
    ASSERT_TRUE(QAbstractEventDispatcher::instance());
    auto windowing = createX11PanelWindowing(connection, 0, true);
    const uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &structure);
    xcb_shape_select_input(connection, window, 1);
    const uint8_t shapeNotify = xcb_get_extension_data(connection, &xcb_shape_id)->first_event + XCB_SHAPE_NOTIFY;
    int boundingSent = 0;
    // The window's events, as the application's event loop passes them on.
    const auto deliverEvents = [&] {
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & ~0x80) == shapeNotify
                && reinterpret_cast<xcb_shape_notify_event_t *>(event)->shape_kind == XCB_SHAPE_SK_BOUNDING)
                ++boundingSent;
            QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", event, nullptr);
            std::free(event);
        }
    };
    const QRegion whole(PanelWindowing::wholeAtAnySize());
    windowing->setVisibleRegion(window, whole);
    deliverEvents();
    EXPECT_EQ(boundingSent, 1);

    int landed = 0;
    const QRect sizes[] = {{10, 10, 100, 50}, {92, 10, 18, 50}, {10, 10, 100, 50}};
    for (int i = 1; i < 3; ++i) {
        windowing->expectFrame(window, sizes[i - 1], sizes[i], [&] { ++landed; });
        windowing->setInputRegion(window, QRegion(0, 0, sizes[i].width(), sizes[i].height()));
        const uint32_t frame[] = {uint32_t(sizes[i].x()), uint32_t(sizes[i].y()), uint32_t(sizes[i].width()),
                                  uint32_t(sizes[i].height())};
        xcb_configure_window(
            connection, window,
            XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, frame);
        deliverEvents();
        windowing->setVisibleRegion(window, whole);
        windowing->stopExpectingFrame(window);
        deliverEvents();
        EXPECT_EQ(landed, i);
        // The whole window shows, as it did.
        QRegion shown;
        for (const QRect &r : shape(XCB_SHAPE_SK_BOUNDING))
            shown += r;
        EXPECT_TRUE((QRegion(QRect(QPoint(), sizes[i].size())) - shown).isEmpty());
    }
    EXPECT_EQ(boundingSent, 1);

    // Any other shape goes as it always did.
    windowing->setVisibleRegion(window, QRegion(0, 0, 18, 20));
    deliverEvents();
    EXPECT_EQ(boundingSent, 2);
}

TEST_F(X11PanelWindowingTest, AStandInShowsThePictureWhereTheWindowIsCutToItsShapeAndTakesNoInput)
{
    auto windowing = createX11PanelWindowing(connection, 0);
    // Left half orange, right half blue; the top-left corner cut away.
    QImage picture(100, 50, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(0xFF, 0x40, 0x00));
    for (int y = 0; y < 50; ++y)
        for (int x = 50; x < 100; ++x)
            picture.setPixel(x, y, qRgb(0x00, 0x40, 0xFF));
    windowing->showStandIn(window, picture, QRegion(0, 0, 100, 50) - QRegion(0, 0, 10, 10));
    const auto pixel = [this](int x, int y) {
        auto *reply = xcb_get_image_reply(
            connection, xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, display.root(), x, y, 1, 1, ~0u), nullptr);
        quint32 value = 0;
        if (reply && xcb_get_image_data_length(reply) >= 4)
            std::memcpy(&value, xcb_get_image_data(reply), 4);
        std::free(reply);
        return value & 0xFFFFFF;
    };
    const auto topmost = [this] {
        auto *tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, display.root()), nullptr);
        const int count = tree ? xcb_query_tree_children_length(tree) : 0;
        const xcb_window_t top = count ? xcb_query_tree_children(tree)[count - 1] : xcb_window_t(XCB_WINDOW_NONE);
        std::free(tree);
        return top;
    };
    // Where the window stands, from its first frame on.
    EXPECT_EQ(pixel(30, 30), 0xFF4000u);
    EXPECT_EQ(pixel(80, 30), 0x0040FFu);
    EXPECT_NE(pixel(14, 14), 0xFF4000u) << "the corner cut away shows what is below";
    const xcb_window_t standIn = topmost();
    ASSERT_NE(standIn, window);
    auto *attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, standIn), nullptr);
    ASSERT_NE(attributes, nullptr);
    EXPECT_TRUE(attributes->override_redirect) << "no window manager holds it back";
    std::free(attributes);
    auto *input = xcb_shape_get_rectangles_reply(
        connection, xcb_shape_get_rectangles(connection, standIn, XCB_SHAPE_SK_INPUT), nullptr);
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(xcb_shape_get_rectangles_rectangles_length(input), 0) << "clicks go through";
    std::free(input);

    windowing->removeStandIn();
    EXPECT_NE(topmost(), standIn);
    EXPECT_NE(pixel(30, 30), 0xFF4000u);
}
