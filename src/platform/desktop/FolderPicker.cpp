#include "platform/desktop/FolderPicker.h"

namespace kolu {

FolderPicker::~FolderPicker() = default;

} // namespace kolu
