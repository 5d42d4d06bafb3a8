#pragma once

#include <QWidget>

namespace kolu::gallery {

// The style kit's own pictures.
QWidget *glassPresets();
QWidget *cardKit();
QWidget *controls();
QWidget *symbols();
QWidget *typography();

// A detail-panel-like glass backdrop holding `content` with `margin` around.
QWidget *onPanel(QWidget *content, int margin = 18);

} // namespace kolu::gallery
