#pragma once

#include "platform/net/NetBackend.h"

#include <QString>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>

namespace kolu {

class Clock;
class Network;

// Qt Network, with the TLS, proxy and Kerberos libraries it brings, lives in
// a shared library of its own, libkolu-net.so, found where the media module
// is. The first request loads it, on a worker thread so that the main thread
// never waits on the loader; a launch that asks the network nothing never
// maps any of it.
namespace NetModule {

// Starts loading the module on the first call and completes once it is
// loaded: null when it cannot be (said once on the error output).
QCoro::Task<const NetBackend *> backend();
bool isLoaded();
QString fileName();

// A network that loads the module at its first request and passes every
// request on. Without the module each request fails with TransportError.
// Once no request has been under way for kIdleRelease on `clock`, the
// module's network goes with its connections and its thread; the next
// request makes another.
inline constexpr std::chrono::seconds kIdleRelease{30};
std::unique_ptr<Network> makeNetwork(Clock &clock);

} // namespace NetModule

} // namespace kolu
