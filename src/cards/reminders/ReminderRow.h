#pragma once

#include "model/Records.h"

#include <QAbstractButton>
#include <QWidget>

namespace kolu {

class AppState;
class ElidedLabel;

// A round button drawn as one symbol; the rows' completion button.
class SymbolButton : public QAbstractButton {
    Q_OBJECT
public:
    SymbolButton(const QString &symbol, qreal size, QWidget *parent = nullptr);
    void setSymbol(const QString &symbol, const QColor &color);
    const QString &symbol() const { return m_symbol; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    QColor m_color;
    qreal m_size;
};

// One open reminder: its icon, title with priority mark, the due line, the
// notes and the button that completes it. The row itself changes nothing:
// the new state shows when the state publishes the reminders again.
class ReminderRow : public QWidget {
    Q_OBJECT
public:
    ReminderRow(AppState &state, ReminderItem reminder, QWidget *parent = nullptr);
    const ReminderItem &reminder() const { return m_reminder; }
    // Flag and priority colour the icon.
    QColor iconTint() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyColors();

    AppState &m_state;
    ReminderItem m_reminder;
    ElidedLabel *m_title;
    QWidget *m_mark;
    QWidget *m_details;
    ElidedLabel *m_dueLabel;
    ElidedLabel *m_notes = nullptr;
    SymbolButton *m_complete;
};

} // namespace kolu
