#include "cards/reminders/ReminderRow.h"

#include "cards/reminders/ReminderRules.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QtMath>

#include <functional>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QColor kRed(255, 59, 48);
const QColor kOrange(255, 149, 0);
const QColor kYellow(255, 204, 0);
const QColor kGreen(52, 199, 89);

QColor priorityColor(int priority)
{
    switch (priority) {
    case 1: return kRed;
    case 5: return kOrange;
    case 9: return kYellow;
    default: return {};
    }
}

// A fixed square a little larger than its symbol, in a colour asked for on
// every paint.
SymbolView *symbolMark(const QString &symbol, qreal size, SymbolView::ColorSource color, QWidget *parent)
{
    const int side = qCeil(size + 2);
    auto *mark = new SymbolView(symbol, size, {side, side}, parent);
    mark->setColorSource(std::move(color));
    return mark;
}

} // namespace

SymbolButton::SymbolButton(const QString &symbol, qreal size, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_size(size)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    repaintOnStyleChange(this);
}

void SymbolButton::setSymbol(const QString &symbol, const QColor &color)
{
    if (symbol == m_symbol && color == m_color)
        return;
    m_symbol = symbol;
    m_color = color;
    update();
}

QSize SymbolButton::sizeHint() const
{
    const int side = qCeil(m_size + 6);
    return {side, side};
}

void SymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(isDown() ? 0.6 : 1.0);
    const QColor color = m_color.isValid() ? m_color : OrlixStyle::current().secondaryText();
    IconProvider::paint(painter, rect(), m_symbol, m_size, OrlixStyle::current().symbolInk(color), IconWeight::bold);
}

ReminderRow::ReminderRow(AppState &state, ReminderItem reminder, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_reminder(std::move(reminder))
{
    setObjectName(u"reminderRow"_s);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10 + 34 + 10, 10, 10, 10); // the icon is painted in the left margin
    row->setSpacing(10);

    auto *column = new QVBoxLayout;
    column->setSpacing(5);
    auto *titleLine = new QHBoxLayout;
    titleLine->setSpacing(6);
    m_title = new ElidedLabel(m_reminder.title, this);
    m_title->setObjectName(u"reminderTitle"_s);
    m_title->setMaximumLines(2);
    QFont titleFont = OrlixFonts::system(13, QFont::Bold);
    titleFont.setStrikeOut(m_reminder.isCompleted);
    m_title->setFont(titleFont);
    // The marks follow the texts they belong to; the room left stays at the end.
    titleLine->addWidget(m_title, 0, Qt::AlignTop);
    const QString mark = reminderrules::priorityMark(m_reminder.priority);
    m_mark = nullptr;
    if (!mark.isEmpty()) {
        const int priority = m_reminder.priority;
        m_mark = symbolMark(
            mark, 10, [priority] { return priorityColor(priority); }, this);
        m_mark->setObjectName(u"reminderPriorityMark"_s);
        titleLine->addWidget(m_mark, 0, Qt::AlignTop);
    }
    titleLine->addStretch(1);
    column->addLayout(titleLine);

    m_details = new QWidget(this);
    m_details->setObjectName(u"reminderDetails"_s);
    auto *details = new QHBoxLayout(m_details);
    details->setContentsMargins(0, 0, 0, 0);
    details->setSpacing(6);
    const auto secondary = [] { return OrlixStyle::current().secondaryText(); };
    details->addWidget(symbolMark(m_reminder.includesTime ? u"clock"_s : u"calendar"_s, 11, secondary, this));
    m_dueLabel = new ElidedLabel(reminderrules::dueText(m_reminder, DateText::user()), m_details);
    m_dueLabel->setObjectName(u"reminderDue"_s);
    m_dueLabel->setMaximumLines(2); // the time under the date where both do not fit
    m_dueLabel->setFont(OrlixFonts::system(11, QFont::DemiBold));
    details->addWidget(m_dueLabel);
    if (m_reminder.url) {
        auto *link = symbolMark(u"link"_s, 11, secondary, this);
        link->setObjectName(u"reminderLinkMark"_s);
        details->addWidget(link);
    }
    if (m_reminder.notes && !m_reminder.notes->isEmpty()) {
        auto *note = symbolMark(u"note.text"_s, 11, secondary, this);
        note->setObjectName(u"reminderNoteMark"_s);
        details->addWidget(note);
    }
    details->addStretch(1);
    column->addWidget(m_details);

    const QString notes = m_reminder.notes.value_or(QString()).trimmed();
    if (!notes.isEmpty()) {
        m_notes = new ElidedLabel(notes, this);
        m_notes->setObjectName(u"reminderNotes"_s);
        m_notes->setMaximumLines(2);
        m_notes->setFont(OrlixFonts::system(11, QFont::Medium));
        column->addWidget(m_notes);
    }
    row->addLayout(column, 1);

    m_complete = new SymbolButton(u"circle"_s, 18, this);
    m_complete->setObjectName(u"reminderCompleteButton"_s);
    m_complete->setToolTip(m_reminder.isCompleted ? tr("Mark as open") : tr("Complete"));
    row->addWidget(m_complete, 0, Qt::AlignTop);
    connect(m_complete, &QAbstractButton::clicked, this, [this] { m_state.toggleReminder(m_reminder); });

    applyColors();
    repaintOnStyleChange(this);
    onStyleChange(this, &ReminderRow::applyColors);
}

QColor ReminderRow::iconTint() const
{
    const QColor tint = OrlixStyle::current().tint(RailModule::reminders);
    if (m_reminder.isFlagged)
        return tint;
    const QColor byPriority = priorityColor(m_reminder.priority);
    return byPriority.isValid() ? byPriority : tint;
}

void ReminderRow::applyColors()
{
    const OrlixStyle &style = OrlixStyle::current();
    m_title->setColor(m_reminder.isCompleted ? style.secondaryText() : style.text());
    m_dueLabel->setColor(style.secondaryText());
    if (m_notes) {
        QColor notes = style.secondaryText();
        notes.setAlphaF(notes.alphaF() * 0.9f);
        m_notes->setColor(style.readable(notes));
    }
    m_complete->setSymbol(m_reminder.isCompleted ? u"checkmark.circle.fill"_s : u"circle"_s,
                          m_reminder.isCompleted ? kGreen : style.secondaryText());
}

void ReminderRow::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    const QPainterPath shape = continuousRoundedRect(frame, 13);
    QColor fill = style.surfaceRaised();
    fill.setAlphaF(fill.alphaF() * 0.42f);
    painter.fillPath(shape, fill);
    QColor hairline = style.hairline();
    hairline.setAlphaF(hairline.alphaF() * 0.22f);
    painter.strokePath(shape, QPen(hairline, 0.8));

    const QRectF icon(10, 10, 34, 34);
    QColor circle = iconTint();
    circle.setAlphaF(0.16f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(circle);
    painter.drawEllipse(icon);
    IconProvider::paint(painter, icon, m_reminder.isFlagged ? u"flag.fill"_s : u"checklist"_s, 13,
                        style.symbolInk(iconTint(), circle), IconWeight::bold);
}

} // namespace kolu
