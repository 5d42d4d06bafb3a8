// Another program owning the X clipboard, as a password manager does: given
// "<target>=<value>" arguments, it offers each target with its value (the
// content of a file for "<target>=@<path>"), says
// "ready" on standard output once it owns the clipboard, and serves it until
// killed or until its standard input closes. A target given as "<target>=!"
// is offered but never answered: asked for it, the owner says
// "withheld <target>" and goes on serving the other targets. "TARGETS=!"
// withholds the list of targets itself, "TARGETS=-" refuses it, and
// "TARGETS=+<n>" answers it with <n> more entries than there are targets.
#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

class WithholdingMimeData final : public QMimeData {
protected:
    QVariant retrieveData(const QString &format, QMetaType type) const override
    {
        if (QMimeData::retrieveData(format, QMetaType(QMetaType::QByteArray)).toByteArray() == "!") {
            std::printf("withheld %s\n", qPrintable(format));
            std::fflush(stdout);
            // The request stays unanswered while later ones are served.
            QEventLoop().exec();
            return {};
        }
        return QMimeData::retrieveData(format, type);
    }
};

// Answers the request for the list of targets in the way asked, before Qt
// would answer it.
class TargetsAnswer final : public QAbstractNativeEventFilter {
public:
    TargetsAnswer(xcb_connection_t *connection, QString how)
        : m_connection(connection)
        , m_how(std::move(how))
    {
        const auto cookie = xcb_intern_atom(connection, 0, 7, "TARGETS");
        if (auto *reply = xcb_intern_atom_reply(connection, cookie, nullptr)) {
            m_targets = reply->atom;
            std::free(reply);
        }
    }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_SELECTION_REQUEST)
            return false;
        const auto *request = static_cast<const xcb_selection_request_event_t *>(message);
        if (request->target != m_targets)
            return false;
        if (m_how == u"!") {
            std::puts("withheld TARGETS");
            std::fflush(stdout);
            return true;
        }
        xcb_atom_t property = XCB_ATOM_NONE;
        if (m_how.startsWith(u'+')) {
            // Ever the same target, as often as asked: only the length counts.
            const std::vector<xcb_atom_t> list(std::size_t(m_how.mid(1).toUInt()) + 1, XCB_ATOM_STRING);
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property,
                                XCB_ATOM_ATOM, 32, std::uint32_t(list.size()), list.data());
            property = request->property;
        }
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request->time;
        notify.requestor = request->requestor;
        notify.selection = request->selection;
        notify.target = request->target;
        notify.property = property;
        xcb_send_event(m_connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&notify));
        xcb_flush(m_connection);
        return true;
    }

private:
    xcb_connection_t *m_connection;
    QString m_how;
    xcb_atom_t m_targets = XCB_ATOM_NONE;
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    auto *offered = new WithholdingMimeData;
    std::unique_ptr<TargetsAnswer> targetsAnswer;
    const QStringList arguments = app.arguments().mid(1);
    for (const QString &argument : arguments) {
        const qsizetype equals = argument.indexOf(u'=');
        if (equals <= 0)
            return 2;
        const QString value = argument.mid(equals + 1);
        if (argument.first(equals) == u"TARGETS") {
            auto *x11 = app.nativeInterface<QNativeInterface::QX11Application>();
            if (!x11)
                return 2;
            targetsAnswer = std::make_unique<TargetsAnswer>(x11->connection(), value);
            app.installNativeEventFilter(targetsAnswer.get());
            continue;
        }
        QByteArray bytes = value.toUtf8();
        if (value.startsWith(u'@')) {
            QFile file(value.mid(1));
            if (!file.open(QIODevice::ReadOnly))
                return 2;
            bytes = file.readAll();
        }
        offered->setData(argument.left(equals), bytes);
    }
    QGuiApplication::clipboard()->setMimeData(offered, QClipboard::Clipboard);
    if (!QGuiApplication::clipboard()->ownsClipboard())
        return 1;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        if (::read(STDIN_FILENO, &byte, 1) <= 0)
            app.quit();
    });
    return app.exec();
}
