#include "platform/x11/X11SelectionReader.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using Clock = std::chrono::steady_clock;

namespace kolu {

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template<typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;
using XcbEvent = XcbReply<xcb_generic_event_t>;

// Properties are read in slices of this many 32-bit units (1 MiB), so that a
// reader that has enough stops without fetching the rest.
constexpr std::uint32_t kSliceUnits = 256 * 1024;

// The targets that hold a text, best first, and how each is encoded.
struct TextTarget {
    QByteArray name;
    QStringConverter::Encoding encoding;
};
const TextTarget kTextTargets[] = {
    {"UTF8_STRING", QStringConverter::Utf8},
    {"text/plain;charset=utf-8", QStringConverter::Utf8},
    {"STRING", QStringConverter::Latin1},
    {"text/plain", QStringConverter::Utf8},
};

// Names that stand for "a text is offered" beside the MIME types.
bool isTextTargetName(const QString &name)
{
    return name == u"UTF8_STRING"_s || name == u"STRING"_s || name == u"TEXT"_s || name == u"COMPOUND_TEXT"_s;
}

} // namespace

BoundedTextCollector::BoundedTextCollector(QStringConverter::Encoding encoding, qsizetype visibleLimit)
    : m_decoder(encoding)
    , m_limit(visibleLimit)
{
}

bool BoundedTextCollector::add(QByteArrayView bytes)
{
    const qsizetype kept = m_limit + kUnitsPastLimit;
    if (m_limit >= 0 && m_text.size() >= kept)
        return false;
    QString piece = m_decoder.decode(bytes);
    if (m_text.isEmpty()) {
        qsizetype visible = 0;
        while (visible < piece.size() && piece.at(visible).isSpace())
            ++visible;
        piece.remove(0, visible);
    }
    m_text += piece;
    if (m_limit < 0 || m_text.size() < kept)
        return true;
    m_text.truncate(kept);
    return false;
}

X11SelectionReader::X11SelectionReader(QByteArray displayName, QByteArray selection)
    : X11SelectionReader(std::move(displayName), std::move(selection), Limits{})
{
}

X11SelectionReader::X11SelectionReader(QByteArray displayName, QByteArray selection, Limits limits)
    : m_displayName(std::move(displayName))
    , m_selection(std::move(selection))
    , m_limits(limits)
    , m_wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

void X11SelectionReader::close()
{
    m_closing = true;
    if (m_wake >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wake, &one, sizeof one);
    }
}

X11SelectionReader::~X11SelectionReader()
{
    close();
    const std::lock_guard lock(m_mutex);
    if (m_connection)
        xcb_disconnect(m_connection);
    if (m_wake >= 0)
        ::close(m_wake);
}

bool X11SelectionReader::connectIfNeeded() const
{
    if (m_closing)
        return false;
    if (m_connection && !xcb_connection_has_error(m_connection))
        return true;
    if (m_connection) {
        xcb_disconnect(m_connection);
        m_atoms.clear();
        m_atomNames.clear();
    }
    int screenNumber = 0;
    m_connection = xcb_connect(m_displayName.isEmpty() ? nullptr : m_displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return false;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; it.rem > 1 && i < screenNumber; ++i)
        xcb_screen_next(&it);
    m_root = it.data->root;
    return true;
}

std::uint32_t X11SelectionReader::atom(const QByteArray &name) const
{
    if (const auto known = m_atoms.constFind(name); known != m_atoms.cend())
        return *known;
    const auto cookie = xcb_intern_atom(m_connection, 0, quint16(name.size()), name.constData());
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
    if (!reply)
        return XCB_ATOM_NONE;
    m_atoms.insert(name, reply->atom);
    return reply->atom;
}

X11SelectionReader::Outcome X11SelectionReader::transfer(std::uint32_t target,
                                                         const std::function<bool(QByteArrayView)> &sink) const
{
    xcb_connection_t *c = m_connection;
    const xcb_atom_t selection = atom(m_selection);
    const xcb_atom_t property = atom("KOLU_SELECTION");
    const xcb_atom_t incremental = atom("INCR");
    if (selection == XCB_ATOM_NONE || property == XCB_ATOM_NONE || target == XCB_ATOM_NONE)
        return Outcome::failed;

    const Clock::time_point transferEnd = Clock::now() + m_limits.transfer;
    // The next event that `accept` takes; none when the owner stayed silent,
    // the transfer ran out of time, the connection broke or the reader closes.
    const auto waitFor = [&](const std::function<bool(const xcb_generic_event_t *)> &accept) -> XcbEvent {
        const Clock::time_point end = std::min(Clock::now() + m_limits.silence, transferEnd);
        for (;;) {
            while (XcbEvent event{xcb_poll_for_event(c)}) {
                if (accept(event.get()))
                    return event;
            }
            if (xcb_connection_has_error(c) || m_closing)
                return {};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0)
                return {};
            pollfd watched[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {m_wake, POLLIN, 0}};
            ::poll(watched, m_wake >= 0 ? 2 : 1, int(std::min<long long>(left, INT_MAX)));
        }
    };

    // A window of its own for each transfer: an owner still sending the
    // pieces of an abandoned transfer meets a window that is gone.
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, m_root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    struct WindowGuard {
        xcb_connection_t *connection;
        xcb_window_t window;
        ~WindowGuard()
        {
            xcb_destroy_window(connection, window);
            xcb_flush(connection);
        }
    } const guard{c, window};
    xcb_convert_selection(c, window, selection, target, property, XCB_CURRENT_TIME);
    xcb_flush(c);

    const XcbEvent notified = waitFor([window](const xcb_generic_event_t *event) {
        return (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY
               && reinterpret_cast<const xcb_selection_notify_event_t *>(event)->requestor == window;
    });
    if (!notified)
        return Outcome::failed;
    if (reinterpret_cast<const xcb_selection_notify_event_t *>(notified.get())->property == XCB_ATOM_NONE)
        return Outcome::refused;

    // Reads the property in slices into `sink`; `type` and `size` tell what
    // was there.
    xcb_atom_t type = XCB_ATOM_NONE;
    qint64 size = 0;
    const auto readProperty = [&](bool detectIncremental) {
        type = XCB_ATOM_NONE;
        size = 0;
        for (std::uint32_t offset = 0;;) {
            const auto cookie =
                xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, offset, kSliceUnits);
            XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
            if (!reply)
                return Outcome::failed;
            type = reply->type;
            if (detectIncremental && type == incremental)
                return Outcome::complete;
            const int length = xcb_get_property_value_length(reply.get());
            size += length;
            if (length > 0
                && !sink(QByteArrayView(static_cast<const char *>(xcb_get_property_value(reply.get())), length)))
                return Outcome::stopped;
            if (reply->bytes_after == 0 || length == 0)
                return Outcome::complete;
            offset += std::uint32_t(length) / 4;
        }
    };

    const Outcome first = readProperty(true);
    if (first != Outcome::complete || type != incremental)
        return first;

    // Incremental: deleting the property asks for each next piece; an empty
    // piece ends the content. Once the sink has enough, the owner is still
    // led to the end (owners serve nobody else meanwhile), but the pieces
    // are only measured, never fetched.
    bool draining = false;
    for (;;) {
        xcb_delete_property(c, window, property);
        xcb_flush(c);
        const XcbEvent piece = waitFor([window, property](const xcb_generic_event_t *event) {
            if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                return false;
            const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            return notify->window == window && notify->atom == property && notify->state == XCB_PROPERTY_NEW_VALUE;
        });
        if (!piece)
            return draining ? Outcome::stopped : Outcome::failed;
        if (draining) {
            const auto cookie = xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0);
            XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
            if (!reply || reply->bytes_after == 0)
                return Outcome::stopped;
            continue;
        }
        const Outcome read = readProperty(false);
        if (read == Outcome::stopped)
            draining = true;
        else if (read != Outcome::complete || size == 0)
            return read;
    }
}

X11SelectionReader::Outcome X11SelectionReader::read(const QByteArray &target,
                                                     const std::function<bool(QByteArrayView)> &sink) const
{
    const std::lock_guard lock(m_mutex);
    if (!connectIfNeeded())
        return Outcome::failed;
    return transfer(atom(target), sink);
}

QStringList X11SelectionReader::targets() const
{
    const std::lock_guard lock(m_mutex);
    if (!connectIfNeeded())
        return {};
    QByteArray bytes;
    const Outcome outcome = transfer(atom("TARGETS"), [&bytes](QByteArrayView piece) {
        bytes.append(piece);
        return bytes.size() <= 64 * 1024; // a few hundred targets at the very most
    });
    if (outcome != Outcome::complete)
        return {};
    std::vector<xcb_atom_t> atoms(std::size_t(bytes.size()) / sizeof(xcb_atom_t));
    std::memcpy(atoms.data(), bytes.constData(), atoms.size() * sizeof(xcb_atom_t));

    // Names not known yet, asked for all at once.
    std::vector<std::pair<xcb_atom_t, xcb_get_atom_name_cookie_t>> asked;
    for (const xcb_atom_t a : atoms) {
        if (a != XCB_ATOM_NONE && !m_atomNames.contains(a))
            asked.emplace_back(a, xcb_get_atom_name(m_connection, a));
    }
    for (const auto &[a, cookie] : asked) {
        XcbReply<xcb_get_atom_name_reply_t> reply(xcb_get_atom_name_reply(m_connection, cookie, nullptr));
        if (reply)
            m_atomNames.insert(
                a, QString::fromUtf8(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get())));
    }
    QStringList names;
    for (const xcb_atom_t a : atoms) {
        const QString name = m_atomNames.value(a);
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

QStringList X11SelectionReader::formats() const
{
    QStringList formats;
    bool hasText = false;
    for (const QString &name : targets()) {
        if (name.contains(u'/') || name.compare(kPasswordManagerHint, Qt::CaseInsensitive) == 0)
            formats.append(name);
        hasText = hasText || isTextTargetName(name);
    }
    if (hasText && !formats.contains(u"text/plain"_s))
        formats.append(u"text/plain"_s);
    return formats;
}

QByteArray X11SelectionReader::data(const QString &target, qsizetype byteLimit) const
{
    QByteArray bytes;
    const Outcome outcome = read(target.toUtf8(), [&bytes, byteLimit](QByteArrayView piece) {
        bytes.append(piece);
        if (byteLimit < 0 || bytes.size() <= byteLimit)
            return true;
        bytes.truncate(byteLimit + 1);
        return false;
    });
    return outcome == Outcome::complete || outcome == Outcome::stopped ? bytes : QByteArray();
}

QString X11SelectionReader::text(qsizetype visibleLimit) const
{
    for (const TextTarget &target : kTextTargets) {
        BoundedTextCollector collector(target.encoding, visibleLimit);
        const Outcome outcome = read(target.name, [&collector](QByteArrayView piece) { return collector.add(piece); });
        if (outcome == Outcome::complete || outcome == Outcome::stopped)
            return collector.take();
        if (outcome == Outcome::failed)
            break;
    }
    return {};
}

} // namespace kolu
