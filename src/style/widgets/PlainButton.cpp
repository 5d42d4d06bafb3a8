#include "style/widgets/PlainButton.h"

namespace kolu {

void PlainButton::paintEvent(QPaintEvent *) { }

} // namespace kolu
