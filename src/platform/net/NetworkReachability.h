#pragma once

namespace kolu {

// Whether this computer has a network connection at all: an interface other
// than loopback that is up, running and holds an address beyond its own link.
// Cheap enough to ask on the main thread when a request has failed.
bool hasNetworkConnection();

} // namespace kolu
