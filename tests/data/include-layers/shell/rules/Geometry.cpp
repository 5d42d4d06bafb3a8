#include "shell/rules/Geometry.h"

#include "model/Record.h"
#include "shell/Panel.h"
#include "style/DateText.h"
#include "style/widgets/Button.h"
#include <QLabel>
#include <QRect>
