#include "cards/module/Card.h"

#include "platform/area/Store.h"
#include "settings/SettingsWindow.h"
#include "shell/Panel.h"
#include "state/State.h"
#include "style/widgets/Button.h"
