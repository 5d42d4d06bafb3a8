#pragma once

#include <memory>

namespace kolu {

class Network;

// What the network module hands the program: the network the services use.
// The module is built with the program and refused when its table is of
// another version.
struct NetBackend {
    static constexpr int kVersion = 1;

    int version;
    std::unique_ptr<Network> (*makeNetwork)();
};

// The one symbol the module exports: a function returning its table.
inline constexpr char kNetBackendEntry[] = "kolu_net_backend";

} // namespace kolu
