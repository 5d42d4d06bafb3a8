#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>
#include <QWidget>

namespace kolu {

// The minus or plus glyph of the duration stepper: 18 pt bold in a 34 x 34
// square, no background.
class FocusMinuteButton : public QAbstractButton {
    Q_OBJECT
public:
    FocusMinuteButton(const QString &symbol, QWidget *parent = nullptr);
    const QString &symbol() const { return m_symbol; }
    QSize sizeHint() const override { return {34, 34}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
};

// The "N min" capsule between the steps; a click opens the duration field.
class FocusMinutesButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit FocusMinutesButton(QWidget *parent = nullptr);
    void setMinutes(int minutes);
    void setTint(const QColor &tint);
    QSize sizeHint() const override { return {76, 30}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_tint;
};

// Minus, minutes and plus in a row. The steps stay enabled at the ends of
// the range; the card clamps.
class FocusDurationControl : public QWidget {
    Q_OBJECT
public:
    explicit FocusDurationControl(QWidget *parent = nullptr);
    void setMinutes(int minutes);
    void setTint(const QColor &tint);
    void setLocked(bool locked);

    FocusMinuteButton *minusButton() const { return m_minus; }
    FocusMinuteButton *plusButton() const { return m_plus; }
    FocusMinutesButton *minutesButton() const { return m_minutes; }

Q_SIGNALS:
    void decrement();
    void increment();
    void beginEditing();

private:
    FocusMinuteButton *m_minus;
    FocusMinutesButton *m_minutes;
    FocusMinuteButton *m_plus;
};

// A captioned row: the caption in an 86-point column, the control at the end.
class FocusSettingsRow : public QWidget {
    Q_OBJECT
public:
    FocusSettingsRow(const QString &title, QWidget *content, QWidget *parent = nullptr);
    const QString &title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
};

} // namespace kolu
