#include "cards/reminders/ReminderComposer.h"

#include "cards/reminders/ReminderRow.h"
#include "model/Enums.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixCheckBox.h"
#include "style/widgets/OrlixDateField.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/SegmentedPicker.h"
#include "style/widgets/StyledWidget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace kolu {

ReminderComposer::ReminderComposer(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"reminderComposer"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(9);

    m_title = new OrlixTextField(this);
    m_title->setObjectName(u"reminderTitleField"_s);
    m_title->setPlaceholderText(tr("What needs to be done?"));
    layout->addWidget(m_title);
    connect(m_title, &QLineEdit::returnPressed, this, [this] {
        if (isReady())
            Q_EMIT submitted();
    });

    m_notes = new OrlixTextField(this);
    m_notes->setObjectName(u"reminderNotesField"_s);
    m_notes->setPlaceholderText(tr("Notes"));
    layout->addWidget(m_notes);

    // Date and time on two lines: side by side they would not fit the card
    // at the standard rail size without cutting the date.
    auto *dateRows = new QGridLayout;
    dateRows->setHorizontalSpacing(8);
    dateRows->setVerticalSpacing(7);
    m_date = new OrlixCheckBox(tr("Date"), this);
    m_date->setObjectName(u"reminderDateCheck"_s);
    m_datePicker = new OrlixDateField(OrlixDateField::Mode::date, this);
    m_datePicker->setObjectName(u"reminderDatePicker"_s);
    m_time = new OrlixCheckBox(tr("Time"), this);
    m_time->setObjectName(u"reminderTimeCheck"_s);
    m_timePicker = new OrlixDateField(OrlixDateField::Mode::time, this);
    m_timePicker->setObjectName(u"reminderTimePicker"_s);
    dateRows->addWidget(m_date, 0, 0);
    dateRows->addWidget(m_datePicker, 0, 1);
    dateRows->addWidget(m_time, 1, 0);
    dateRows->addWidget(m_timePicker, 1, 1);
    dateRows->setColumnStretch(1, 1);
    layout->addLayout(dateRows);
    // A time belongs to a date: ticking Time ticks Date, unticking Date unticks Time.
    connect(m_date, &QAbstractButton::toggled, this, &ReminderComposer::setDateChecked);
    connect(m_time, &QAbstractButton::toggled, this, &ReminderComposer::setTimeChecked);
    // Both pickers edit the one due moment: each keeps the other's part.
    connect(m_datePicker, &OrlixDateField::valueChanged, this, [this](const QDateTime &value) {
        m_timePicker->setValue(QDateTime(value.date(), m_timePicker->value().time()));
        Q_EMIT draftChanged();
    });
    connect(m_timePicker, &OrlixDateField::valueChanged, this, [this](const QDateTime &value) {
        m_datePicker->setValue(QDateTime(m_datePicker->value().date(), value.time()));
        Q_EMIT draftChanged();
    });

    auto *linkRow = new QHBoxLayout;
    linkRow->setSpacing(8);
    m_url = new OrlixTextField(this);
    m_url->setObjectName(u"reminderUrlField"_s);
    m_url->setPlaceholderText(tr("URL"));
    m_flag = new SymbolButton(u"flag"_s, 14, this);
    m_flag->setObjectName(u"reminderFlagButton"_s);
    m_flag->setToolTip(tr("Flag"));
    m_flag->setCheckable(true);
    linkRow->addWidget(m_url, 1);
    linkRow->addWidget(m_flag);
    layout->addLayout(linkRow);
    connect(m_flag, &QAbstractButton::toggled, this, [this] {
        updateFlag();
        Q_EMIT draftChanged();
    });

    m_priority = new SegmentedPicker({tr("None"), tr("Low"), tr("Med"), tr("High")}, this);
    m_priority->setObjectName(u"reminderPriorityPicker"_s);
    m_priority->setAccessibleName(tr("Priority"));
    m_priority->setCurrentIndex(0);
    layout->addWidget(m_priority);

    m_failure = new ElidedLabel(QString(), this);
    m_failure->setObjectName(u"reminderComposerFailure"_s);
    m_failure->setMaximumLines(2);
    m_failure->setFont(OrlixFonts::system(11, QFont::DemiBold));
    m_failure->setColor(QColor(255, 69, 58));
    m_failure->hide();
    layout->addWidget(m_failure);

    for (OrlixTextField *field : {m_title, m_notes, m_url})
        connect(field, &QLineEdit::textChanged, this, &ReminderComposer::draftChanged);
    connect(m_priority, &SegmentedPicker::currentIndexChanged, this, &ReminderComposer::draftChanged);
    onStyleChange(this, &ReminderComposer::updateFlag);
    repaintOnStyleChange(this);
    updatePickers();
    updateFlag();
}

ReminderDraft ReminderComposer::freshDraft(const QDateTime &now)
{
    ReminderDraft draft;
    draft.dueDate = now;
    return draft;
}

ReminderDraft ReminderComposer::draft() const
{
    ReminderDraft draft;
    draft.title = m_title->text();
    draft.notes = m_notes->text();
    draft.url = m_url->text();
    draft.dueDate = QDateTime(m_datePicker->value().date(), m_timePicker->value().time());
    draft.hasDate = m_date->isChecked();
    draft.hasTime = m_time->isChecked();
    draft.priority = priorities[std::clamp(m_priority->currentIndex(), 0, 3)];
    draft.isFlagged = m_flag->isChecked();
    return draft;
}

void ReminderComposer::setDraft(const ReminderDraft &draft)
{
    m_title->setText(draft.title);
    m_notes->setText(draft.notes);
    m_url->setText(draft.url);
    const QDateTime local = draft.dueDate.toLocalTime();
    const QDateTime shown(local.date(), QTime(local.time().hour(), local.time().minute()));
    m_datePicker->setValue(shown);
    m_timePicker->setValue(shown);
    m_date->setChecked(draft.hasDate || draft.hasTime);
    m_time->setChecked(draft.hasTime);
    const auto found = std::find(std::begin(priorities), std::end(priorities), draft.priority);
    m_priority->setCurrentIndex(found == std::end(priorities) ? 0 : int(found - std::begin(priorities)));
    m_flag->setChecked(draft.isFlagged);
    updatePickers();
    updateFlag();
    Q_EMIT draftChanged();
}

bool ReminderComposer::isReady() const
{
    return !m_title->text().trimmed().isEmpty();
}

void ReminderComposer::setFailure(const QString &message)
{
    m_failure->setText(message);
    m_failure->setVisible(!message.isEmpty());
}

QString ReminderComposer::failure() const
{
    return m_failure->isVisible() ? m_failure->text() : QString();
}

void ReminderComposer::setDateChecked(bool checked)
{
    if (!checked && m_time->isChecked())
        m_time->setChecked(false);
    updatePickers();
    Q_EMIT draftChanged();
}

void ReminderComposer::setTimeChecked(bool checked)
{
    if (checked && !m_date->isChecked())
        m_date->setChecked(true);
    updatePickers();
    Q_EMIT draftChanged();
}

void ReminderComposer::updatePickers()
{
    m_datePicker->setEnabled(m_date->isChecked());
    m_timePicker->setEnabled(m_time->isChecked());
}

void ReminderComposer::updateFlag()
{
    const OrlixStyle &style = OrlixStyle::current();
    if (m_flag->isChecked())
        m_flag->setSymbol(u"flag.fill"_s, style.tint(RailModule::reminders));
    else
        m_flag->setSymbol(u"flag"_s, style.secondaryText());
}

void ReminderComposer::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), 14);
    QColor fill = style.surface();
    fill.setAlphaF(fill.alphaF() * 0.46f);
    painter.fillPath(shape, fill);
    QColor hairline = style.hairline();
    hairline.setAlphaF(hairline.alphaF() * 0.28f);
    painter.strokePath(shape, QPen(hairline, 0.8));
}

} // namespace kolu
