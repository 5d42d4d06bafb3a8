#pragma once

namespace kolu {

// The colour of a status line: neutral while work is in flight or for a
// neutral result, green on success, orange on failure, or the module's own
// accent. The style layer turns it into a colour.
enum class StatusTint { secondary, green, orange, accent };

} // namespace kolu
