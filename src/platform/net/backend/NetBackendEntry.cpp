// The network module's entry: the table the program asks for at its first
// request.
#include "platform/net/NetBackend.h"

#include "platform/net/backend/QtNetwork.h"

namespace {

const kolu::NetBackend backend{
    kolu::NetBackend::kVersion,
    []() -> std::unique_ptr<kolu::Network> { return std::make_unique<kolu::QtNetwork>(); },
};

} // namespace

extern "C" __attribute__((visibility("default"))) const kolu::NetBackend *kolu_net_backend()
{
    return &backend;
}
