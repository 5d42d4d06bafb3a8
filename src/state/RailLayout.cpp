#include "state/RailLayout.h"

namespace kolu {

double RailLayout::scaleFactor = 1.0;

} // namespace kolu
