#pragma once

#include "PlatformFakes.h"
