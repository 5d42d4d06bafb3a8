#include "platform/x11/WindowStandIn.h"

#include "platform/x11/ShapeRectangles.h"

#include <QSysInfo>

#include <xcb/shape.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace kolu {

namespace {

// Whether Qt's 32-bit pixels go to a window of the root's depth as they
// are: the server keeps that depth at 32 bits a pixel, in this machine's
// byte order.
bool storesPixelsAsQtDoes(const xcb_setup_t *setup, std::uint8_t depth)
{
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    if (depth != 24 || (setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian)
        return false;
    for (xcb_format_iterator_t formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel == 32;
    }
    return false;
}

} // namespace

xcb_window_t createStandIn(xcb_connection_t *connection, xcb_window_t window, const QImage &picture,
                           const QRegion &shape, xcb_atom_t noShadow)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(setup).data;
    if (!screen || picture.isNull() || !storesPixelsAsQtDoes(setup, screen->root_depth))
        return XCB_WINDOW_NONE;
    auto *origin = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, screen->root, 0, 0), nullptr);
    if (!origin)
        return XCB_WINDOW_NONE;
    const auto x = origin->dst_x;
    const auto y = origin->dst_y;
    std::free(origin);

    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<std::uint16_t>(image.width());
    const auto height = static_cast<std::uint16_t>(image.height());
    const std::uint8_t depth = screen->root_depth;
    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, depth, pixmap, screen->root, width, height);
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, pixmap, 0, nullptr);
    // In bands of rows that each fit in one request.
    const auto line = std::size_t(image.bytesPerLine());
    const std::size_t most = std::size_t(xcb_get_maximum_request_length(connection)) * 4 - 64;
    const int rows = std::max(1, int(most / line));
    for (int top = 0; top < image.height(); top += rows) {
        const int count = std::min(rows, image.height() - top);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, width, static_cast<std::uint16_t>(count), 0,
                      static_cast<std::int16_t>(top), 0, depth, static_cast<std::uint32_t>(line * std::size_t(count)),
                      image.constScanLine(top));
    }
    xcb_free_gc(connection, gc);

    const xcb_window_t standIn = xcb_generate_id(connection);
    const std::uint32_t values[] = {pixmap, 1};
    xcb_create_window(connection, depth, standIn, screen->root, x, y, width, height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT, values);
    // The window holds on to its background.
    xcb_free_pixmap(connection, pixmap);
    const std::uint32_t none = 0;
    if (noShadow != XCB_ATOM_NONE)
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, standIn, noShadow, XCB_ATOM_CARDINAL, 32, 1, &none);
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, &xcb_shape_id);
    if (extension && extension->present) {
        const std::vector<xcb_rectangle_t> shown = shapeRectangles(shape);
        xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, standIn,
                             0, 0, static_cast<std::uint32_t>(shown.size()), shown.data());
        xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, standIn, 0,
                             0, 0, nullptr);
    }
    // Mapped last, an unmanaged window is above every other.
    xcb_map_window(connection, standIn);
    xcb_flush(connection);
    return standIn;
}

} // namespace kolu
