#pragma once

#include "model/Records.h"

#include <QWidget>

namespace kolu {

class ElidedLabel;
class OrlixCheckBox;
class OrlixDateField;
class OrlixTextField;
class SegmentedPicker;
class SymbolButton;

// The inline form in which a new reminder is written. It only holds the
// draft; the card decides when to add it and when to clear it.
class ReminderComposer : public QWidget {
    Q_OBJECT
public:
    explicit ReminderComposer(QWidget *parent = nullptr);

    ReminderDraft draft() const;
    void setDraft(const ReminderDraft &draft);
    // A fresh draft due at `now`.
    static ReminderDraft freshDraft(const QDateTime &now);
    // Whether the title has something besides white space.
    bool isReady() const;

    // The store's priorities behind None, Low, Med, High.
    static constexpr int priorities[] = {0, 9, 5, 1};

    // Why the last add failed; empty hides the line.
    void setFailure(const QString &message);
    QString failure() const;

Q_SIGNALS:
    // Return in the title field with a title that is not blank.
    void submitted();
    void draftChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setDateChecked(bool checked);
    void setTimeChecked(bool checked);
    void updatePickers();
    void updateFlag();

    OrlixTextField *m_title;
    OrlixTextField *m_notes;
    OrlixCheckBox *m_date;
    OrlixDateField *m_datePicker;
    OrlixCheckBox *m_time;
    OrlixDateField *m_timePicker;
    OrlixTextField *m_url;
    SymbolButton *m_flag;
    SegmentedPicker *m_priority;
    ElidedLabel *m_failure;
    bool m_flagged = false;
};

} // namespace kolu
