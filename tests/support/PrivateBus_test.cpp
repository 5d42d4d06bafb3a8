#include "PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>

using namespace Qt::StringLiterals;

TEST(PrivateBus, NamesStayOnTheirOwnBus)
{
    kolu::test::PrivateBus first;
    kolu::test::PrivateBus second;
    QDBusConnection service = first.connect(u"service"_s);
    ASSERT_TRUE(service.registerService(u"org.kolu.Test"_s));
    QDBusConnection client = first.connect(u"client"_s);
    EXPECT_TRUE(client.interface()->isServiceRegistered(u"org.kolu.Test"_s).value());
    QDBusConnection other = second.connect(u"client"_s);
    EXPECT_FALSE(other.interface()->isServiceRegistered(u"org.kolu.Test"_s).value());
}
