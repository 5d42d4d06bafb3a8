#include "platform/desktop/UrlOpener.h"

#include <QDesktopServices>

namespace kolu {

UrlOpener::~UrlOpener() = default;

bool DesktopUrlOpener::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace kolu
