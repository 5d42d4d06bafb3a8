#pragma once

#include "style/Theme.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>

#include <optional>

namespace kolu {

// The desktop's light/dark preference: the XDG desktop portal's
// org.freedesktop.appearance color-scheme (read once, then followed through
// SettingChanged). While no portal has answered, or when it says "no
// preference", the application palette's window colour decides (dark when
// its lightness is below half).
class SystemColorScheme : public QObject {
    Q_OBJECT
public:
    explicit SystemColorScheme(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    ColorScheme scheme() const;
    // What the portal said: 1 dark, 2 light, 0 no preference; nothing until
    // (or unless) it answers.
    std::optional<uint> portalValue() const { return m_portalValue; }

Q_SIGNALS:
    // The scheme() may have changed.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    // SettingChanged(group, key, value), taken as the whole message.
    void onSettingChanged(const QDBusMessage &message);

private:
    void setPortalValue(std::optional<uint> value);

    QDBusConnection m_bus;
    std::optional<uint> m_portalValue;
};

} // namespace kolu
