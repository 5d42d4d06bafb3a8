#include "shell/Panel.h"

#include "cards/CardFactory.h"
#include "settings/SettingsWindow.h"
#include "shell/rules/Geometry.h"
#include "style/widgets/Button.h"
#include <QWidget>
