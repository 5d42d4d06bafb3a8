#include "platform/FolderPicker.h"

namespace kolu {

FolderPicker::~FolderPicker() = default;

} // namespace kolu
