// clang-format off
// An include written with spaces around the hash counts all the same.
#include "settings/SettingsWindow.h"

#include "cards/module/Card.h"
#include "shell/rules/Geometry.h"
#include "state/State.h"
  #  include "shell/Panel.h"
