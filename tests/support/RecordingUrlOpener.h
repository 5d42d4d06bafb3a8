#pragma once

#include "platform/desktop/UrlOpener.h"

#include <QList>

namespace kolu::test {

// Records every address it is asked to open and opens nothing.
class RecordingUrlOpener final : public UrlOpener {
public:
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }

    QList<QUrl> opened;
};

} // namespace kolu::test
