#pragma once

#include "model/Records.h"

#include <QWidget>

class QLabel;
class QToolButton;

namespace kolu {

class ElidedLabel;
class OrlixSwitch;
class OrlixTextField;

// A one-line text field with a menu of choices on its trailing side. A
// choice is announced first, then written into the field.
class PrayerLocationField : public QWidget {
    Q_OBJECT
public:
    PrayerLocationField(const QString &title, QWidget *parent = nullptr);

    OrlixTextField *lineEdit() const { return m_edit; }
    QToolButton *menuButton() const { return m_menuButton; }
    QString text() const;
    void setText(const QString &text);
    void setOptions(const QStringList &options);
    const QStringList &options() const { return m_options; }
    // Opens the menu of choices under the field, at least as wide as it.
    void openMenu();
    // Picks `option` as the menu would.
    void choose(const QString &option);

Q_SIGNALS:
    void optionChosen(const QString &option);
    void textEdited(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    OrlixTextField *m_edit;
    QToolButton *m_menuButton;
    QStringList m_options;
};

// One of the day's times: icon, name, time and its notification switch.
class PrayerTimeRow : public QWidget {
    Q_OBJECT
public:
    explicit PrayerTimeRow(QWidget *parent = nullptr);

    void setPrayer(const PrayerTime &prayer, bool isNext, bool notificationEnabled);
    const PrayerTime &prayer() const { return m_prayer; }
    bool isNext() const { return m_isNext; }
    OrlixSwitch *notificationSwitch() const { return m_switch; }
    QSize sizeHint() const override;

Q_SIGNALS:
    void notificationToggled(bool enabled, const kolu::PrayerTime &prayer);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyColors();

    PrayerTime m_prayer;
    bool m_isNext = false;
    ElidedLabel *m_name;
    ElidedLabel *m_time;
    OrlixSwitch *m_switch;
};

} // namespace kolu
