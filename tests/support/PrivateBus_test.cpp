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

TEST(PrivateBus, NoInstalledServiceIsStartedForAnUnownedName)
{
    kolu::test::PrivateBus bus;
    QDBusConnection client = bus.connect(u"client"_s);
    const QDBusReply<void> started = client.interface()->startService(u"org.freedesktop.Notifications"_s);
    EXPECT_FALSE(started.isValid());
    EXPECT_FALSE(client.interface()->isServiceRegistered(u"org.freedesktop.Notifications"_s).value());
}
