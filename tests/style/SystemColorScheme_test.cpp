#include "style/SystemColorScheme.h"

#include "EventWait.h"
#include "PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// The desktop portal's settings interface, answering color-scheme only.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    uint value = 1;

public Q_SLOTS:
    QDBusVariant Read(const QString &group, const QString &key)
    {
        if (group != u"org.freedesktop.appearance"_s || key != u"color-scheme"_s)
            return {};
        // The portal wraps the value in one variant more than the signal does.
        return QDBusVariant(QVariant::fromValue(QDBusVariant(value)));
    }

Q_SIGNALS:
    void SettingChanged(const QString &group, const QString &key, const QDBusVariant &value);
};

} // namespace

TEST(SystemColorScheme, FollowsThePortalAndFallsBackToThePalette)
{
    test::PrivateBus bus;
    QDBusConnection portalSide = bus.connect(u"portal"_s);
    FakePortal portal;
    ASSERT_TRUE(portalSide.registerObject(u"/org/freedesktop/portal/desktop"_s, &portal,
                                          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(portalSide.registerService(u"org.freedesktop.portal.Desktop"_s));

    SystemColorScheme scheme(bus.connect(u"kolu"_s));
    QSignalSpy changed(&scheme, &SystemColorScheme::changed);
    ASSERT_TRUE(test::waitUntil([&] { return scheme.portalValue().has_value(); }));
    EXPECT_EQ(scheme.scheme(), ColorScheme::dark);

    Q_EMIT portal.SettingChanged(u"org.freedesktop.appearance"_s, u"color-scheme"_s, QDBusVariant(2u));
    ASSERT_TRUE(test::waitUntil([&] { return scheme.portalValue() == 2u; }));
    EXPECT_EQ(scheme.scheme(), ColorScheme::light);
    EXPECT_GE(changed.count(), 2);

    // Other settings and nonsense values change nothing.
    Q_EMIT portal.SettingChanged(u"org.freedesktop.appearance"_s, u"accent-color"_s, QDBusVariant(1u));
    Q_EMIT portal.SettingChanged(u"org.freedesktop.appearance"_s, u"color-scheme"_s, QDBusVariant(u"dark"_s));
    Q_EMIT portal.SettingChanged(u"org.freedesktop.appearance"_s, u"color-scheme"_s, QDBusVariant(2u));
    QCoreApplication::processEvents();
    EXPECT_EQ(scheme.portalValue(), 2u);
}

TEST(SystemColorScheme, WithoutAPortalThePaletteDecides)
{
    test::PrivateBus bus;
    SystemColorScheme scheme(bus.connect(u"kolu"_s));
    const QPalette original = QGuiApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    QSignalSpy changed(&scheme, &SystemColorScheme::changed);
    QGuiApplication::setPalette(dark);
    EXPECT_EQ(scheme.scheme(), ColorScheme::dark);
    EXPECT_GE(changed.count(), 1);
    QPalette light = original;
    light.setColor(QPalette::Window, QColor(240, 240, 240));
    QGuiApplication::setPalette(light);
    EXPECT_EQ(scheme.scheme(), ColorScheme::light);
    QGuiApplication::setPalette(original);
    EXPECT_FALSE(scheme.portalValue().has_value());
}

#include "SystemColorScheme_test.moc"
