#include "platform/x11/X11Pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace kolu {

X11Pasteboard::X11Pasteboard(QByteArray displayName, X11SelectionReader::Limits limits)
    : m_remote(std::make_shared<X11SelectionReader>(std::move(displayName), "CLIPBOARD", limits))
{
}

X11Pasteboard::~X11Pasteboard()
{
    m_remote->close();
}

std::shared_ptr<const PasteboardContent> X11Pasteboard::workerReader() const
{
    if (QGuiApplication::clipboard()->ownsClipboard())
        return nullptr;
    return m_remote;
}

std::unique_ptr<Pasteboard> createSystemPasteboard()
{
    if (QGuiApplication::platformName() == u"xcb"_s)
        return std::make_unique<X11Pasteboard>();
    return std::make_unique<SystemPasteboard>();
}

} // namespace kolu
