// Another program owning the X clipboard, as a password manager does: given
// "<target>=<value>" arguments, it offers each target with its value (the
// content of a file for "<target>=@<path>"), says
// "ready" on standard output once it owns the clipboard, and serves it until
// killed or until its standard input closes. A target given as "<target>=!"
// is offered but never answered: asked for it, the owner says
// "withheld <target>" and goes on serving the other targets.
#include <QClipboard>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QSocketNotifier>

#include <unistd.h>

#include <cstdio>

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

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    auto *offered = new WithholdingMimeData;
    const QStringList arguments = app.arguments().mid(1);
    for (const QString &argument : arguments) {
        const qsizetype equals = argument.indexOf(u'=');
        if (equals <= 0)
            return 2;
        const QString value = argument.mid(equals + 1);
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
