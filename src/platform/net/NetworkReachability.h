#pragma once

#include <QString>

namespace kolu {

// Whether this computer has a network connection at all: an interface other
// than loopback that is up, running and holds an address beyond its own link.
// Cheap enough to ask on the main thread when a request has failed.
bool hasNetworkConnection();

// Whether `host` resolves to an address, looked up as a connection to it
// would look it up; an address written as numbers always does, and a name
// that is no valid host name never does (without a lookup). An interface with
// an address is not yet a network: without a name server that answers, every
// name fails here. Blocks for as long as the resolver takes: ask on a worker.
bool resolvesHostName(const QString &host);

} // namespace kolu
