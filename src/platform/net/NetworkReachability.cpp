#include "platform/net/NetworkReachability.h"

#include <QUrl>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <net/if.h>
#include <netinet/in.h>

namespace kolu {

namespace {

// An address beyond this computer and its own link: not loopback, not
// 169.254/16 or fe80::/10.
bool reachesBeyondLink(const sockaddr *address)
{
    if (address == nullptr)
        return false;
    if (address->sa_family == AF_INET) {
        const uint32_t ip = ntohl(reinterpret_cast<const sockaddr_in *>(address)->sin_addr.s_addr);
        return ip != 0 && (ip >> 24) != 127 && (ip >> 16) != 0xA9FE;
    }
    if (address->sa_family == AF_INET6) {
        const in6_addr &ip = reinterpret_cast<const sockaddr_in6 *>(address)->sin6_addr;
        return !IN6_IS_ADDR_UNSPECIFIED(&ip) && !IN6_IS_ADDR_LOOPBACK(&ip) && !IN6_IS_ADDR_LINKLOCAL(&ip)
               && !(IN6_IS_ADDR_V4MAPPED(&ip) && ip.s6_addr[12] == 127);
    }
    return false;
}

} // namespace

bool hasNetworkConnection()
{
    ifaddrs *interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return false;
    bool found = false;
    for (const ifaddrs *entry = interfaces; entry != nullptr && !found; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        if ((flags & IFF_UP) == 0 || (flags & IFF_RUNNING) == 0 || (flags & IFF_LOOPBACK) != 0)
            continue;
        found = reachesBeyondLink(entry->ifa_addr);
    }
    freeifaddrs(interfaces);
    return found;
}

bool resolvesHostName(const QString &host)
{
    if (host.isEmpty())
        return false;
    const QByteArray latin = host.toLatin1();
    in6_addr numeric{};
    if (inet_pton(AF_INET, latin.constData(), &numeric) == 1 || inet_pton(AF_INET6, latin.constData(), &numeric) == 1)
        return true;
    // The form the resolver takes: labels of letters, digits, '-' and '_'.
    const QByteArray ace = QUrl::toAce(host);
    if (ace.isEmpty() || ace.size() > 253 || ace.startsWith('.') || ace.contains(".."))
        return false;
    for (const char c : ace) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
                             || c == '_' || c == '.';
        if (!allowed)
            return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const int result = getaddrinfo(ace.constData(), nullptr, &hints, &found);
    if (found != nullptr)
        freeaddrinfo(found);
    return result == 0;
}

} // namespace kolu
