#include "services/area/Service.h"

#include "../../shell/Panel.h"
#include "Local.h"
#include "platform/area/Store.h"
#include "state/State.h"
