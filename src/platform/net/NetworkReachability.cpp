#include "platform/net/NetworkReachability.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
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

} // namespace kolu
