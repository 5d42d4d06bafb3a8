#pragma once

#include <QDateTime>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace kolu {

// A date or a time of day in the kit's field look, written as the user's
// locale writes it (through the ICU date helper). The value changes with the
// arrow keys or the wheel (a day or five minutes; Page Up and Page Down: a
// month or an hour) and from a pop-up that a click or Space opens: a month
// for a date, a list of the half hours for a time, scrolled to the value.
// The pop-up opens under the field, or above it where the screen ends, and
// stays clear of what lies beside the module card. Never narrower than its
// widest text, so a date is never cut. Dimmed while disabled.
class OrlixDateField : public QWidget {
    Q_OBJECT
public:
    enum class Mode { date, time };

    explicit OrlixDateField(Mode mode, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    // The day (date mode) or the hour and minute (time mode) that matter;
    // the other part is kept as given.
    const QDateTime &value() const { return m_value; }
    void setValue(const QDateTime &value);
    // What the field shows.
    QString text() const;

    // Opens the popup; the popup's choice sets the value.
    void openPopup();
    QWidget *popup() const { return m_popup; }
    // Where the month's "today" comes from (the system date by default).
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    void valueChanged(const QDateTime &value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString format(const QDateTime &value) const;
    void step(int steps, bool large);
    void setValueFromUser(const QDateTime &value);

    Mode m_mode;
    QDateTime m_value;
    QPointer<QWidget> m_popup;
    std::function<QDate()> m_today;
    mutable int m_widestText = -1;
};

} // namespace kolu
