// The network module's entry: the table the program asks for at its first
// request.
#include "platform/net/NetBackend.h"

#include "platform/net/backend/QtNetwork.h"

#include <QtNetwork/qtnetworkglobal.h>
#if QT_CONFIG(ssl)
#include <QSslConfiguration>
#endif

namespace {

const kolu::NetBackend backend{
    kolu::NetBackend::kVersion,
    []() -> std::unique_ptr<kolu::Network> { return std::make_unique<kolu::QtNetwork>(); },
};

} // namespace

// Called on the worker that opens the module. The first request would
// otherwise set TLS up on the main thread (open its plugins and the TLS
// library, read its configuration): done here, it is ready by then.
extern "C" __attribute__((visibility("default"))) const kolu::NetBackend *kolu_net_backend()
{
#if QT_CONFIG(ssl)
    (void)QSslConfiguration::defaultConfiguration();
#endif
    return &backend;
}
