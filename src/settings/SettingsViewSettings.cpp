#include "settings/SettingsViewSettings.h"

#include "model/UserDefaults.h"

#include <algorithm>
#include <array>

namespace kolu {

namespace {

using K = SettingsKey;
constexpr std::array kLookKeys{K::orlixAppearanceMode, K::orlixTheme, K::orlixHeroColorHex};
constexpr std::array kOwnKeys{K::orlixAppearanceMode, K::orlixTheme,         K::orlixHeroColorHex,
                              K::focusAlertSound,     K::calendarAlertSound, K::reminderAlertsEnabled};

bool oneOf(SettingsKey key, const auto &keys)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

} // namespace

SettingsViewSettings::SettingsViewSettings(UserDefaults &defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_lastCalendarAlertSound(calendarAlertSound())
{
    connect(&m_defaults, &UserDefaults::changed, this, &SettingsViewSettings::onDefaultsChanged);
}

QString SettingsViewSettings::appearanceModeRaw() const
{
    return m_defaults.stringValue(K::orlixAppearanceMode);
}

QString SettingsViewSettings::themeRaw() const
{
    return m_defaults.stringValue(K::orlixTheme);
}

QString SettingsViewSettings::heroColorHex() const
{
    return m_defaults.stringValue(K::orlixHeroColorHex);
}

QString SettingsViewSettings::focusAlertSound() const
{
    return m_defaults.stringValue(K::focusAlertSound);
}

QString SettingsViewSettings::calendarAlertSound() const
{
    return m_defaults.stringValue(K::calendarAlertSound);
}

bool SettingsViewSettings::reminderAlertsEnabled() const
{
    return m_defaults.boolValue(K::reminderAlertsEnabled);
}

void SettingsViewSettings::setAppearanceModeRaw(const QString &value)
{
    m_defaults.set(K::orlixAppearanceMode, value);
}

void SettingsViewSettings::setThemeRaw(const QString &value)
{
    m_defaults.set(K::orlixTheme, value);
}

void SettingsViewSettings::setHeroColorHex(const QString &value)
{
    m_defaults.set(K::orlixHeroColorHex, value);
}

void SettingsViewSettings::setFocusAlertSound(const QString &value)
{
    m_defaults.set(K::focusAlertSound, value);
}

void SettingsViewSettings::setCalendarAlertSound(const QString &value)
{
    m_defaults.set(K::calendarAlertSound, value);
}

std::optional<ColorScheme> SettingsViewSettings::preferredColorScheme() const
{
    return kolu::preferredColorScheme(themeFromStored(m_defaults.string(K::orlixTheme)),
                                      m_defaults.string(K::orlixAppearanceMode));
}

void SettingsViewSettings::onDefaultsChanged(SettingsKey key)
{
    if (!oneOf(key, kOwnKeys))
        return;
    Q_EMIT changed(key);
    if (oneOf(key, kLookKeys)) {
        Q_EMIT lookChanged();
        return;
    }
    if (key == K::calendarAlertSound) {
        const QString now = calendarAlertSound();
        if (now == m_lastCalendarAlertSound)
            return;
        m_lastCalendarAlertSound = now;
        Q_EMIT calendarAlertSoundChanged();
    }
}

} // namespace kolu
