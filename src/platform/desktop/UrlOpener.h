#pragma once

#include <QUrl>

namespace kolu {

// Opens a web address in the default browser, or a file with the default
// application for its type.
class UrlOpener {
public:
    virtual ~UrlOpener();

    // Whether the desktop took the request.
    virtual bool openUrl(const QUrl &url) = 0;
};

// Hands the address to the desktop (xdg-open on Linux).
class DesktopUrlOpener final : public UrlOpener {
public:
    bool openUrl(const QUrl &url) override;
};

} // namespace kolu
