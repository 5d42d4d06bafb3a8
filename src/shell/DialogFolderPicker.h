#pragma once

#include "platform/desktop/FolderPicker.h"

namespace kolu {

// Asks for a folder with the toolkit's folder dialog (the desktop's own when
// it offers one). The wait runs on the event loop.
class DialogFolderPicker final : public FolderPicker {
public:
    QCoro::Task<std::optional<QString>> chooseFolder(FolderPickerOptions options) override;
};

} // namespace kolu
