#pragma once

#include "shell/rules/RailFrame.h"

namespace kolu {

class AppState;

// The frame rules' inputs as the application state has them now.
RailFrameInput railFrameInput(const AppState &state);

} // namespace kolu
