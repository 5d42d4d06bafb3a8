#pragma once

#include "model/Other.h"
#include "platform/area/Store.h"
#include <QString>
#include <QWidget>
