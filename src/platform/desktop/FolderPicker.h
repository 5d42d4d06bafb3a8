#pragma once

#include <QString>

#include <qcoro/qcorotask.h>

#include <optional>

namespace kolu {

struct FolderPickerOptions {
    QString title;  // the window title
    QString prompt; // the confirming button's text
    bool canCreateFolders = false;
};

// Asks the user for one existing folder. The window is modal to the
// application, but the wait does not block the event loop.
class FolderPicker {
public:
    virtual ~FolderPicker();

    // The chosen folder's path, or nothing when the user cancelled.
    virtual QCoro::Task<std::optional<QString>> chooseFolder(FolderPickerOptions options) = 0;
};

} // namespace kolu
