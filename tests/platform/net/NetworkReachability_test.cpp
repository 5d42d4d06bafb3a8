// The name lookup behind "is there a network": only names this computer
// answers for itself are looked up here, so no query leaves it.
#include "platform/net/NetworkReachability.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

TEST(NetworkReachabilityTest, LocalNamesAndNumericAddressesResolveAndNamesNoHostCanHaveNeverDo)
{
    EXPECT_TRUE(resolvesHostName(u"localhost"_s)) << "from the hosts file";
    EXPECT_TRUE(resolvesHostName(u"127.0.0.1"_s));
    EXPECT_TRUE(resolvesHostName(u"::1"_s));
    // Refused before any lookup: nothing to wait for without a name server.
    for (const QString &name : {u""_s, u"two words"_s, u"bad\u0000name"_s, u"a..b"_s, u"-"_s.repeated(300)})
        EXPECT_FALSE(resolvesHostName(name)) << name.toStdString();
}
