#pragma once

#include "model/Record.h"
#include "services/area/Service.h"
#include <QtWidgets/QLabel>
#include <QImage>
