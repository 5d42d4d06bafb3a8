#include "shell/Panel.h"
