#include "state/State.h"

#include "services/area/Service.h"
#include "style/Palette.h"
#include "style/widgets/Button.h"
