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

// Answers the request for the list of targets as asked, before Qt would.
struct TargetsAnswer final : QAbstractNativeEventFilter {
    xcb_connection_t *c = nullptr;
    xcb_atom_t targets = XCB_ATOM_NONE;
    QString how;

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *request = static_cast<const xcb_selection_request_event_t *>(message);
        if ((request->response_type & 0x7f) != XCB_SELECTION_REQUEST || request->target != targets)
            return false;
        if (how == u"!")
            return std::puts("withheld TARGETS") >= 0 && std::fflush(stdout) == 0;
        // "+<n>": one target over and over; only the length counts.
        const bool answered = how.startsWith(u'+');
        const std::vector<xcb_atom_t> list(how.mid(1).toUInt() + 1, XCB_ATOM_STRING);
        if (answered)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, request->property, XCB_ATOM_ATOM, 32,
                                std::uint32_t(list.size()), list.data());
        const xcb_selection_notify_event_t notify{XCB_SELECTION_NOTIFY,
                                                  0,
                                                  0,
                                                  request->time,
                                                  request->requestor,
                                                  request->selection,
                                                  request->target,
                                                  answered ? request->property : xcb_atom_t(XCB_ATOM_NONE)};
        xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&notify));
        xcb_flush(c);
        return true;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    auto *offered = new WithholdingMimeData;
    TargetsAnswer targetsAnswer;
    const QStringList arguments = app.arguments().mid(1);
    for (const QString &argument : arguments) {
        const qsizetype equals = argument.indexOf(u'=');
        if (equals <= 0)
            return 2;
        const QString value = argument.mid(equals + 1);
        if (argument.first(equals) == u"TARGETS") {
            auto *x11 = app.nativeInterface<QNativeInterface::QX11Application>();
            std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
                x11 ? xcb_intern_atom_reply(x11->connection(), xcb_intern_atom(x11->connection(), 0, 7, "TARGETS"),
                                            nullptr)
                    : nullptr,
                &std::free);
            if (!atom)
                return 2;
            targetsAnswer.c = x11->connection();
            targetsAnswer.targets = atom->atom;
            targetsAnswer.how = value;
            app.installNativeEventFilter(&targetsAnswer);
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
