#pragma once

#include "model/Error.h"

namespace kolu {

// Why a user's station could not be saved; the sentence is what the settings
// page shows.
enum class QuranCustomStationErrorCase { MissingName, InvalidStreamURL };
QString errorSentence(QuranCustomStationErrorCase which);
using QuranCustomStationError = ServiceError<QuranCustomStationErrorCase>;

} // namespace kolu
