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

TEST(PrivateBus, StartsNoInstalledServiceOnDemand)
{
    // A notification daemon or player installed on the machine must not
    // answer in place of a test's fake.
    kolu::test::PrivateBus bus;
    QDBusConnection client = bus.connect(u"client"_s);
    const QStringList activatable = client.interface()->activatableServiceNames().value();
    EXPECT_EQ(activatable, QStringList{u"org.freedesktop.DBus"_s});
    const QDBusMessage reply = client.call(QDBusMessage::createMethodCall(
        u"org.freedesktop.Notifications"_s, u"/org/freedesktop/Notifications"_s, u"org.freedesktop.Notifications"_s,
        u"GetServerInformation"_s));
    EXPECT_EQ(reply.errorName(), u"org.freedesktop.DBus.Error.ServiceUnknown"_s);
}
