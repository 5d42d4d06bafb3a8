#include "settings/SettingsViewSettings.h"

#include "model/UserDefaults.h"
#include "style/HeroColor.h"

namespace kolu {

namespace {

constexpr const char *kLookKeys[] = {defaults_keys::orlixAppearanceMode, defaults_keys::orlixTheme,
                                     defaults_keys::orlixHeroColorHex};
constexpr const char *kOwnKeys[] = {defaults_keys::orlixAppearanceMode, defaults_keys::orlixTheme,
                                    defaults_keys::orlixHeroColorHex,   defaults_keys::focusAlertSound,
                                    defaults_keys::calendarAlertSound,  defaults_keys::reminderAlertsEnabled};

} // namespace

SettingsViewSettings::SettingsViewSettings(UserDefaults &defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_lastCalendarAlertSound(calendarAlertSound())
{
    connect(&m_defaults, &UserDefaults::changed, this, &SettingsViewSettings::onDefaultsChanged);
}

QString SettingsViewSettings::stringOr(const char *key, const char *fallback) const
{
    return m_defaults.string(QString::fromLatin1(key)).value_or(QString::fromLatin1(fallback));
}

QString SettingsViewSettings::appearanceModeRaw() const
{
    return stringOr(defaults_keys::orlixAppearanceMode, "system");
}

QString SettingsViewSettings::themeRaw() const
{
    return stringOr(defaults_keys::orlixTheme, "default");
}

QString SettingsViewSettings::heroColorHex() const
{
    return stringOr(defaults_keys::orlixHeroColorHex, kDefaultHeroColorHex);
}

QString SettingsViewSettings::focusAlertSound() const
{
    return stringOr(defaults_keys::focusAlertSound, "calendar");
}

QString SettingsViewSettings::calendarAlertSound() const
{
    return stringOr(defaults_keys::calendarAlertSound, "calendar");
}

bool SettingsViewSettings::reminderAlertsEnabled() const
{
    return m_defaults.boolean(QString::fromLatin1(defaults_keys::reminderAlertsEnabled)).value_or(true);
}

void SettingsViewSettings::setAppearanceModeRaw(const QString &value)
{
    m_defaults.set(QString::fromLatin1(defaults_keys::orlixAppearanceMode), value);
}

void SettingsViewSettings::setThemeRaw(const QString &value)
{
    m_defaults.set(QString::fromLatin1(defaults_keys::orlixTheme), value);
}

void SettingsViewSettings::setHeroColorHex(const QString &value)
{
    m_defaults.set(QString::fromLatin1(defaults_keys::orlixHeroColorHex), value);
}

void SettingsViewSettings::setFocusAlertSound(const QString &value)
{
    m_defaults.set(QString::fromLatin1(defaults_keys::focusAlertSound), value);
}

void SettingsViewSettings::setCalendarAlertSound(const QString &value)
{
    m_defaults.set(QString::fromLatin1(defaults_keys::calendarAlertSound), value);
}

void SettingsViewSettings::setReminderAlertsEnabled(bool value)
{
    m_defaults.set(QString::fromLatin1(defaults_keys::reminderAlertsEnabled), value);
}

std::optional<ColorScheme> SettingsViewSettings::preferredColorScheme() const
{
    return kolu::preferredColorScheme(themeFromStored(m_defaults.string(QString::fromLatin1(defaults_keys::orlixTheme))),
                                      m_defaults.string(QString::fromLatin1(defaults_keys::orlixAppearanceMode)));
}

void SettingsViewSettings::onDefaultsChanged(const QString &key)
{
    bool own = false;
    for (const char *ownKey : kOwnKeys)
        own = own || key == QLatin1StringView(ownKey);
    if (!own)
        return;
    Q_EMIT changed(key);
    for (const char *lookKey : kLookKeys) {
        if (key == QLatin1StringView(lookKey)) {
            Q_EMIT lookChanged();
            return;
        }
    }
    if (key == QLatin1StringView(defaults_keys::calendarAlertSound)) {
        const QString now = calendarAlertSound();
        if (now == m_lastCalendarAlertSound)
            return;
        m_lastCalendarAlertSound = now;
        Q_EMIT calendarAlertSoundChanged();
    }
}

} // namespace kolu
