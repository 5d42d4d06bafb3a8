#include "style/widgets/Button.h"

#include "model/Record.h"
#include "shell/Panel.h"
#include "state/State.h"
#include <QPushButton>
