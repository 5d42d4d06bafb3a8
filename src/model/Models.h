#pragma once

// The shared value records and enumerations, in one include.
#include "model/Enums.h"
#include "model/PomodoroState.h"
#include "model/Records.h"
