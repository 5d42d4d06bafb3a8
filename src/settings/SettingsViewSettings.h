#pragma once

#include "model/SettingsKeys.h"
#include "style/Theme.h"

#include <QObject>
#include <QString>

#include <optional>

namespace kolu {

class UserDefaults;

// The six settings the settings window's pages show, read live from the
// defaults store: a default applies while a key is absent, and a write
// through any view bound to the same key (the rail's appearance controls) is
// seen here at once. The pages store five of them here; the reminder alerts
// flag is the application state's, which writes it.
class SettingsViewSettings : public QObject {
    Q_OBJECT
public:
    explicit SettingsViewSettings(UserDefaults &defaults, QObject *parent = nullptr);

    QString appearanceModeRaw() const;
    QString themeRaw() const;
    QString heroColorHex() const;
    QString focusAlertSound() const;
    QString calendarAlertSound() const;
    bool reminderAlertsEnabled() const;

    void setAppearanceModeRaw(const QString &value);
    void setThemeRaw(const QString &value);
    void setHeroColorHex(const QString &value);
    void setFocusAlertSound(const QString &value);
    void setCalendarAlertSound(const QString &value);

    // The window's colour scheme: the theme's own first (activeDark dark,
    // heroLight light), else the appearance mode's exact "dark" or "light";
    // nothing means "follow the system".
    std::optional<ColorScheme> preferredColorScheme() const;

    UserDefaults &defaults() const { return m_defaults; }

Q_SIGNALS:
    // One of the six keys was written (even with the value it had).
    void changed(kolu::SettingsKey key);
    // Theme, appearance mode or hero colour: the window redraws in them.
    void lookChanged();
    // The calendar alert sound now differs from what it was; writing the
    // value it already had says nothing.
    void calendarAlertSoundChanged();

private:
    void onDefaultsChanged(SettingsKey key);

    UserDefaults &m_defaults;
    QString m_lastCalendarAlertSound;
};

} // namespace kolu
