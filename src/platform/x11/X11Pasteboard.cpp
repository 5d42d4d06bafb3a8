#include "platform/x11/X11Pasteboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

bool onMainThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

X11Pasteboard::X11Pasteboard(QByteArray displayName)
    : m_reader(std::move(displayName))
{
}

X11Pasteboard::~X11Pasteboard() = default;

bool X11Pasteboard::readsOffMainThread() const
{
    return !QGuiApplication::clipboard()->ownsClipboard();
}

QStringList X11Pasteboard::formats() const
{
    return onMainThread() ? m_local.formats() : m_reader.formats();
}

QByteArray X11Pasteboard::data(const QString &format, qsizetype byteLimit) const
{
    return onMainThread() ? m_local.data(format, byteLimit) : m_reader.data(format, byteLimit);
}

QString X11Pasteboard::text(qsizetype visibleLimit) const
{
    return onMainThread() ? m_local.text(visibleLimit) : m_reader.text(visibleLimit);
}

QImage X11Pasteboard::localImage() const
{
    // Another program's images come encoded, through data().
    return onMainThread() ? m_local.localImage() : QImage();
}

std::unique_ptr<Pasteboard> createSystemPasteboard()
{
    if (QGuiApplication::platformName() == u"xcb"_s)
        return std::make_unique<X11Pasteboard>();
    return std::make_unique<SystemPasteboard>();
}

} // namespace kolu
