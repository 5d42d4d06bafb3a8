#include "platform/net/NetworkReachability.h"

#include <QNetworkInterface>

namespace kolu {

bool hasNetworkConnection()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> entries = interface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            const QHostAddress address = entry.ip();
            if (!address.isNull() && !address.isLoopback() && !address.isLinkLocal())
                return true;
        }
    }
    return false;
}

} // namespace kolu
