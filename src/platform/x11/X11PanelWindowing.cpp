#include "platform/windowing/PanelWindowing.h"

#include "platform/windowing/NullPanelWindowing.h"
#include "platform/x11/ShapeRectangles.h"
#include "platform/x11/SizeHints.h"
#include "platform/x11/WindowStandIn.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kolu {

PanelWindowing::~PanelWindowing() = default;

namespace {

// The panel asks to be a dock: window managers keep docks above ordinary
// windows, on every desktop and out of window cycling, and still give them
// the keyboard when they accept it (WM_HINTS input), which the expanded rail
// needs for its text fields.
constexpr const char *kWindowType = "_NET_WM_WINDOW_TYPE_DOCK";
constexpr std::array<const char *, 4> kStates{"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY",
                                              "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"};
constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr std::uint32_t kStateAdd = 1;
constexpr std::uint32_t kSourceApplication = 1;
constexpr std::uint32_t kSourcePager = 2;

class X11PanelWindowing final : public PanelWindowing, public QAbstractNativeEventFilter {
public:
    // With `watchEvents`, the connection is the application's and its
    // events pass through Qt: the input shape is then put again on the
    // window manager's frame whenever the window is reparented, mapped or
    // moved.
    X11PanelWindowing(xcb_connection_t *connection, int screenNumber, bool watchEvents)
        : m_connection(connection)
        , m_watchesEvents(watchEvents && QCoreApplication::instance())
    {
        if (m_watchesEvents)
            QCoreApplication::instance()->installNativeEventFilter(this);
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber && it.rem > 0; ++i)
            xcb_screen_next(&it);
        m_root = it.rem > 0 ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
        const xcb_query_extension_reply_t *shape = xcb_get_extension_data(connection, &xcb_shape_id);
        m_hasShape = shape && shape->present;
    }

    ~X11PanelWindowing() override
    {
        removeStandIn();
        if (m_watchesEvents && QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool isAvailable() const override { return m_root != XCB_WINDOW_NONE; }

    void prepare(quint32 window) override
    {
        if (!isAvailable())
            return;
        // At launch, before the first frame: every name in one exchange with
        // the server, then both properties read in another.
        internAtoms({kWindowType, "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", kStates[0], kStates[1], kStates[2],
                     kStates[3], "_NET_WM_DESKTOP", "_GTK_FRAME_EXTENTS", "_COMPTON_SHADOW"});
        const auto typesCookie = requestAtomList(window, atom("_NET_WM_WINDOW_TYPE"));
        const auto statesCookie = requestAtomList(window, atom("_NET_WM_STATE"));
        const std::vector<xcb_atom_t> existingTypes = readAtomList(typesCookie);
        std::vector<xcb_atom_t> states = readAtomList(statesCookie);

        // Keep whatever types are already there (a toolkit's own fallback)
        // behind ours, so the first one the manager knows is ours.
        std::vector<xcb_atom_t> types{atom(kWindowType)};
        for (xcb_atom_t existing : existingTypes)
            if (existing != types.front())
                types.push_back(existing);
        changeAtoms(window, atom("_NET_WM_WINDOW_TYPE"), types);

        for (const char *name : kStates) {
            const xcb_atom_t state = atom(name);
            if (std::find(states.begin(), states.end(), state) == states.end())
                states.push_back(state);
        }
        changeAtoms(window, atom("_NET_WM_STATE"), states);

        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, 32,
                            1, &kAllDesktops);

        // The panel draws its own shadow inside its transparent window. A
        // compositor would add a square one around the whole window; these
        // say the client draws its own (client-side frame extents, which
        // xfwm4, KWin and picom's usual configuration read) and ask for no
        // shadow outright where that is understood.
        const std::uint32_t noFrameExtents[4] = {0, 0, 0, 0};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_GTK_FRAME_EXTENTS"), XCB_ATOM_CARDINAL,
                            32, 4, noFrameExtents);
        const std::uint32_t noShadow = 0;
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_COMPTON_SHADOW"), XCB_ATOM_CARDINAL, 32,
                            1, &noShadow);
        xcb_flush(m_connection);
    }

    void requestStates(quint32 window) override
    {
        if (!isAvailable())
            return;
        const xcb_atom_t wmState = atom("_NET_WM_STATE");
        // Two states fit in one request.
        for (std::size_t i = 0; i < kStates.size(); i += 2)
            sendToRoot(window, wmState, {kStateAdd, atom(kStates[i]), atom(kStates[i + 1]), kSourceApplication, 0});
        sendToRoot(window, atom("_NET_WM_DESKTOP"), {kAllDesktops, kSourceApplication, 0, 0, 0});
        xcb_flush(m_connection);
    }

    void raise(quint32 window) override
    {
        if (!isAvailable())
            return;
        const xcb_atom_t restack = atom("_NET_RESTACK_WINDOW");
        const std::vector<xcb_atom_t> supported = atomList(m_root, atom("_NET_SUPPORTED"), 1024);
        if (std::find(supported.begin(), supported.end(), restack) != supported.end()) {
            sendToRoot(window, restack, {kSourcePager, XCB_WINDOW_NONE, XCB_STACK_MODE_ABOVE, 0, 0});
        } else {
            const std::uint32_t above = XCB_STACK_MODE_ABOVE;
            xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        }
        xcb_flush(m_connection);
    }

    void setAcceptsFocus(quint32 window, bool accepts) override
    {
        if (!isAvailable())
            return;
        // WM_HINTS: flags, input, initial state, icon pixmap, icon window,
        // icon x, icon y, icon mask, window group. Only the input hint
        // changes; the rest stays as the toolkit wrote it.
        std::array<std::uint32_t, 9> hints{};
        const auto cookie = xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, 9);
        if (xcb_get_property_reply_t *reply = xcb_get_property_reply(m_connection, cookie, nullptr)) {
            if (reply->format == 32) {
                const auto count = std::min<std::size_t>(hints.size(), xcb_get_property_value_length(reply) / 4);
                std::memcpy(hints.data(), xcb_get_property_value(reply), count * 4);
            }
            std::free(reply);
        }
        constexpr std::uint32_t kInputHint = 1;
        hints[0] |= kInputHint;
        hints[1] = accepts ? 1 : 0;
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                            static_cast<uint32_t>(hints.size()), hints.data());
        xcb_flush(m_connection);
    }

    void setInputRegion(quint32 window, const QRegion &region) override
    {
        if (!isAvailable() || !m_hasShape)
            return;
        // The shapes stay put on the window and its frame; reparenting and
        // moves are followed through the window's events.
        if (m_shapes[window].input == region)
            return;
        m_shapes[window].input = region;
        applyShapes(window, false, ShapeKind::input);
    }

    void keepContentAt(quint32 window, Qt::Edge edge) override
    {
        if (!isAvailable())
            return;
        std::uint32_t gravity = XCB_GRAVITY_NORTH;
        switch (edge) {
        case Qt::LeftEdge: gravity = XCB_GRAVITY_WEST; break;
        case Qt::RightEdge: gravity = XCB_GRAVITY_EAST; break;
        case Qt::TopEdge: gravity = XCB_GRAVITY_NORTH; break;
        case Qt::BottomEdge: gravity = XCB_GRAVITY_SOUTH; break;
        }
        // The window's own gravity in its frame stays the window manager's
        // (xfwm4 leaves a window that gravity moved where it went).
        xcb_change_window_attributes(m_connection, window, XCB_CW_BIT_GRAVITY, &gravity);
        xcb_flush(m_connection);
    }

    void placeWindow(quint32 window, const QRect &frame) override
    {
        if (!isAvailable() || frame.isEmpty())
            return;
        takeAnySize(m_connection, window);
        const std::uint32_t values[] = {std::uint32_t(frame.x()), std::uint32_t(frame.y()),
                                        std::uint32_t(frame.width()), std::uint32_t(frame.height())};
        xcb_configure_window(
            m_connection, window,
            XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
        xcb_flush(m_connection);
    }

    void expectFrame(quint32 window, const QRect &from, const QRect &to, std::function<void()> landed) override
    {
        // Only a change of size moves the shapes' origin against the screen,
        // and only the window's events can say when it is on the server.
        if (!isAvailable() || !m_hasShape || !m_watchesEvents || from.size() == to.size()) {
            if (landed)
                landed();
            return;
        }
        Shapes &shapes = m_shapes[window];
        // A change asked for before the last one landed: that one is taken
        // as landed, and the new one waits from there.
        if (shapes.pending)
            settle(window);
        shapes.lingering = QRegion();
        shapes.pending = Pending{from.size(), std::move(landed)};
        if (!shapes.sentVisible)
            return;
        // What shows now keeps its place on the screen in either size: in
        // the new coordinates it is where the window's pixels are kept (at
        // the screen edge) when the size lands. Where that part falls inside
        // the old window it would show there, away from the edge, so only
        // the part outside it is added.
        const QRegion kept = *shapes.sentVisible;
        // A shape that shows the whole window in both sizes shows the same
        // whichever has landed: it stays as it is.
        if ((QRegion(QRect(QPoint(), from.size())) + QRect(QPoint(), to.size()) - kept).isEmpty()) {
            shapes.holding = kept;
            shapes.keptAtEdge = kept;
            return;
        }
        const QRegion moved = kept.translated(from.topLeft() - to.topLeft());
        // A window that grows away from the edge is moved there with what it
        // shows: the old picture in the old coordinates would go with it.
        const bool growsAway = to.width() > from.width() || to.height() > from.height();
        shapes.holding = growsAway && from.topLeft() != to.topLeft() ? moved : kept | moved;
        shapes.keptAtEdge = moved;
        applyShapes(window, false, ShapeKind::visible);
    }

    void stopExpectingFrame(quint32 window) override
    {
        const auto shapes = m_shapes.find(window);
        if (shapes == m_shapes.end())
            return;
        if (shapes->second.pending)
            settle(window);
        if (!shapes->second.lingering.isEmpty()) {
            shapes->second.lingering = QRegion();
            applyShapes(window, false, ShapeKind::visible);
        }
    }

    void setVisibleRegion(quint32 window, const std::optional<QRegion> &region) override
    {
        if (!isAvailable() || !m_hasShape)
            return;
        Shapes &shapes = m_shapes[window];
        if (shapes.visible == region)
            return;
        if (!region) {
            // Back to the whole rectangle, on the window and on its frame.
            forEachShapedWindow(window, [this](xcb_window_t target, int16_t, int16_t) {
                xcb_shape_mask(m_connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, target, 0, 0, XCB_NONE);
            });
            shapes.sentVisible.reset();
        }
        shapes.visible = region;
        // What shows while a new size is on its way stays until it lands.
        if (shapes.pending)
            return;
        applyShapes(window, false, ShapeKind::visible);
    }

    void showStandIn(quint32 window, const QImage &picture, const QRegion &shape) override
    {
        removeStandIn();
        if (isAvailable())
            m_standIn = createStandIn(m_connection, window, picture, shape, atom("_COMPTON_SHADOW"));
    }

    void removeStandIn() override
    {
        if (m_standIn == XCB_WINDOW_NONE)
            return;
        xcb_destroy_window(m_connection, m_standIn);
        xcb_flush(m_connection);
        m_standIn = XCB_WINDOW_NONE;
    }

    void forget(quint32 window) override
    {
        m_shapes.erase(window);
        m_frames.erase(window);
    }

    void holdRequests() override { ++m_held; }

    void sendHeld() override
    {
        if (m_held > 0 && --m_held == 0 && isAvailable())
            xcb_flush(m_connection);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t" || m_shapes.empty())
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        xcb_window_t window = XCB_WINDOW_NONE;
        switch (event->response_type & ~0x80) {
        case XCB_REPARENT_NOTIFY: window = reinterpret_cast<const xcb_reparent_notify_event_t *>(event)->window; break;
        case XCB_CONFIGURE_NOTIFY: {
            const auto *configure = reinterpret_cast<const xcb_configure_notify_event_t *>(event);
            window = configure->window;
            // The window manager has answered: with a new size, or (sent by
            // the manager itself) with the one it keeps. Whatever size it
            // gave is the one the window has, and the shapes go for it before
            // the toolkit sees the change and paints what it uncovered.
            const auto shapes = m_shapes.find(window);
            const QSize size(configure->width, configure->height);
            const bool fromManager = (event->response_type & 0x80) != 0;
            if (shapes != m_shapes.end() && shapes->second.pending
                && (fromManager || size != shapes->second.pending->from)) {
                settle(window, true, size);
                return false;
            }
            break;
        }
        case XCB_MAP_NOTIFY: window = reinterpret_cast<const xcb_map_notify_event_t *>(event)->window; break;
        default: return false;
        }
        if (m_shapes.count(window))
            applyShapes(window, true);
        return false;
    }

private:
    struct Pending {
        // The size the window had when the new one was asked for.
        QSize from;
        std::function<void()> landed;
    };

    struct Shapes {
        std::optional<QRegion> input;
        std::optional<QRegion> visible;
        // The visible shape last sent, in the coordinates the server had.
        std::optional<QRegion> sentVisible;
        // While a new size is on its way: what shows meanwhile.
        std::optional<Pending> pending;
        QRegion holding;
        // Of that, the part that stays at the screen edge once the new size
        // has landed. The rest, in the new coordinates, is the far side of
        // the window, where the toolkit's picture for the old size is still
        // held at its corner until it paints the new one.
        QRegion keptAtEdge;
        // Once it has landed, what showed keeps showing beside the shape
        // asked for, until the window is painted for its new size.
        QRegion lingering;
    };

    // The size waited for is taken as landed, at `size` where the server
    // says so: the shapes asked for go, then whoever waited is told.
    void settle(xcb_window_t window, bool refreshFrame = false, std::optional<QSize> size = std::nullopt)
    {
        Shapes &shapes = m_shapes[window];
        std::function<void()> landed = std::move(shapes.pending->landed);
        shapes.lingering = size ? shapes.keptAtEdge & QRect(QPoint(0, 0), *size) : shapes.keptAtEdge;
        shapes.pending.reset();
        applyShapes(window, refreshFrame);
        if (landed)
            landed();
    }

    // Calls `apply` for the window, then for the frame a reparenting window
    // manager put around it, with the window's offset inside that frame.
    // The frame is asked for again only with `refresh` (the window was
    // reparented, mapped or moved), so a shape that follows each frame of
    // a slide costs no round trip.
    template<typename Apply>
    void forEachShapedWindow(xcb_window_t window, Apply apply, bool refresh = false)
    {
        apply(window, 0, 0);
        Frame &frame = m_frames[window];
        // Without the window's events nothing says when the frame changes.
        if (refresh || !frame.known || !m_watchesEvents) {
            const xcb_window_t before = frame.window;
            frame = frameOf(window);
            // Compositors that honour the no-shadow hint read it from the
            // frame a reparenting manager puts around the window (picom).
            if (frame.window != XCB_WINDOW_NONE && frame.window != before) {
                const std::uint32_t noShadow = 0;
                xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, frame.window, atom("_COMPTON_SHADOW"),
                                    XCB_ATOM_CARDINAL, 32, 1, &noShadow);
            }
        }
        if (frame.window != XCB_WINDOW_NONE)
            apply(frame.window, frame.dx, frame.dy);
        if (m_held == 0)
            xcb_flush(m_connection);
    }

    struct Frame {
        bool known = false;
        xcb_window_t window = XCB_WINDOW_NONE;
        int16_t dx = 0;
        int16_t dy = 0;
    };

    Frame frameOf(xcb_window_t window)
    {
        Frame frame;
        frame.known = true;
        const auto treeCookie = xcb_query_tree(m_connection, window);
        const auto geometryCookie = xcb_get_geometry(m_connection, window);
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(m_connection, treeCookie, nullptr);
        xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(m_connection, geometryCookie, nullptr);
        if (tree && geometry && tree->parent != XCB_WINDOW_NONE && tree->parent != tree->root) {
            frame.window = tree->parent;
            frame.dx = static_cast<int16_t>(geometry->x + geometry->border_width);
            frame.dy = static_cast<int16_t>(geometry->y + geometry->border_width);
        }
        std::free(tree);
        std::free(geometry);
        return frame;
    }

    enum class ShapeKind { input = 1, visible = 2, both = 3 };

    // On the window and on its frame: clicks that the window lets through
    // would otherwise land on the frame rather than on the windows below,
    // and the frame would still cover what the window no longer shows.
    // Only the shape of `kind` is sent: a slide changes what shows on every
    // frame, and each shape sent makes the server work out again what every
    // window below shows.
    void applyShapes(xcb_window_t window, bool refreshFrame = false, ShapeKind kind = ShapeKind::both)
    {
        Shapes &shapes = m_shapes[window];
        const bool sendsInput = shapes.input && (int(kind) & int(ShapeKind::input));
        const bool sendsVisible = shapes.visible && (int(kind) & int(ShapeKind::visible));
        std::vector<xcb_rectangle_t> input, visible;
        if (sendsInput)
            input = shapeRectangles(*shapes.input);
        // A shape that holds the window whole at any size, once on the
        // window and on its frame, stays there through every change of
        // size: it goes again only to a new frame, or one that moved the
        // window inside it.
        bool keepsVisible = false;
        if (sendsVisible) {
            const QRegion shown = shapes.pending ? shapes.holding : *shapes.visible | shapes.lingering;
            keepsVisible = shapes.sentVisible == shown && (QRegion(wholeAtAnySize()) - shown).isEmpty();
            visible = shapeRectangles(shown);
            shapes.sentVisible = shown;
        }
        const Frame before = m_frames[window];
        forEachShapedWindow(
            window,
            [&](xcb_window_t target, int16_t dx, int16_t dy) {
                const bool sameFrame =
                    target == window || (target == before.window && dx == before.dx && dy == before.dy);
                if (sendsVisible && !(keepsVisible && sameFrame))
                    xcb_shape_rectangles(m_connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                                         XCB_CLIP_ORDERING_UNSORTED, target, dx, dy,
                                         static_cast<uint32_t>(visible.size()), visible.data());
                if (sendsInput)
                    xcb_shape_rectangles(m_connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED,
                                         target, dx, dy, static_cast<uint32_t>(input.size()), input.data());
            },
            refreshFrame);
    }

    // An atom stays the same for as long as the connection lives, so each
    // name is asked for once; a name the server could not answer for is
    // asked again next time.
    xcb_atom_t atom(const char *name)
    {
        if (const auto known = m_atoms.find(name); known != m_atoms.end())
            return known->second;
        internAtoms({name});
        const auto known = m_atoms.find(name);
        return known == m_atoms.end() ? xcb_atom_t(XCB_ATOM_NONE) : known->second;
    }

    // Every name not yet known, asked for together: one wait for all the
    // replies instead of one for each.
    void internAtoms(std::initializer_list<const char *> names)
    {
        std::vector<std::pair<const char *, xcb_intern_atom_cookie_t>> asked;
        for (const char *name : names) {
            if (m_atoms.count(name) == 0)
                asked.emplace_back(name,
                                   xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name));
        }
        for (const auto &[name, cookie] : asked) {
            xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
            if (reply && reply->atom != XCB_ATOM_NONE)
                m_atoms.emplace(name, reply->atom);
            std::free(reply);
        }
    }

    xcb_get_property_cookie_t requestAtomList(xcb_window_t window, xcb_atom_t property, std::uint32_t most = 64)
    {
        return xcb_get_property(m_connection, 0, window, property, XCB_ATOM_ATOM, 0, most);
    }

    std::vector<xcb_atom_t> atomList(xcb_window_t window, xcb_atom_t property, std::uint32_t most = 64)
    {
        return readAtomList(requestAtomList(window, property, most));
    }

    std::vector<xcb_atom_t> readAtomList(xcb_get_property_cookie_t cookie)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(m_connection, cookie, nullptr);
        std::vector<xcb_atom_t> atoms;
        if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
            atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return atoms;
    }

    void changeAtoms(xcb_window_t window, xcb_atom_t property, const std::vector<xcb_atom_t> &atoms)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(atoms.size()), atoms.data());
    }

    void sendToRoot(xcb_window_t window, xcb_atom_t type, std::array<std::uint32_t, 5> data)
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = type;
        std::memcpy(event.data.data32, data.data(), sizeof event.data.data32);
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&event));
    }

    xcb_connection_t *m_connection;
    bool m_watchesEvents = false;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    // The picture standing in for a window made anew (showStandIn).
    xcb_window_t m_standIn = XCB_WINDOW_NONE;
    bool m_hasShape = false;
    std::map<xcb_window_t, Shapes> m_shapes;
    std::map<xcb_window_t, Frame> m_frames;
    std::map<std::string, xcb_atom_t, std::less<>> m_atoms;
    // Nested holds of what is sent (holdRequests).
    int m_held = 0;
};

} // namespace

std::unique_ptr<PanelWindowing> createX11PanelWindowing(xcb_connection_t *connection, int screenNumber,
                                                        bool followsEvents)
{
    if (!connection || xcb_connection_has_error(connection))
        return std::make_unique<NullPanelWindowing>();
    return std::make_unique<X11PanelWindowing>(connection, screenNumber, followsEvents);
}

std::unique_ptr<PanelWindowing> createSystemPanelWindowing()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->connection() && !xcb_connection_has_error(x11->connection()))
        return std::make_unique<X11PanelWindowing>(x11->connection(), 0, true);
    return std::make_unique<NullPanelWindowing>();
}

} // namespace kolu
