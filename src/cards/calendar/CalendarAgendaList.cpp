#include "cards/calendar/CalendarAgendaList.h"

#include "cards/calendar/CalendarEventAgendaRow.h"
#include "style/ContinuousCorners.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Motion.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/ShrinkLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QGraphicsEffect>
#include <QHBoxLayout>
#include <QAbstractScrollArea>
#include <QPainter>
#include <QScrollBar>
#include <QShowEvent>
#include <QVariantAnimation>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kEmptyIcon = 18;
constexpr qreal kRise = 6;

// Replaces one day's list with the next: the old one, kept as a picture,
// fades out sinking 6 while the new one fades in rising 6 into place.
class DayTransition : public QGraphicsEffect {
public:
    // `outgoing` shows the old list's part at `at`, in the list.
    DayTransition(QPixmap outgoing, QPoint at, QObject *parent)
        : QGraphicsEffect(parent)
        , m_outgoing(std::move(outgoing))
        , m_at(at)
    {
    }

    void setProgress(qreal progress)
    {
        m_progress = std::clamp<qreal>(progress, 0, 1);
        update();
    }
    qreal progress() const { return m_progress; }
    bool hasOutgoing() const { return !m_outgoing.isNull(); }

protected:
    QRectF boundingRectFor(const QRectF &rect) const override
    {
        QRectF bounds = rect;
        if (!m_outgoing.isNull())
            bounds |= QRectF(QPointF(m_at), m_outgoing.deviceIndependentSize());
        return bounds.adjusted(0, 0, 0, kRise);
    }
    void draw(QPainter *painter) override
    {
        QPoint offset;
        const QPixmap incoming = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
        painter->save();
        const qreal opacity = painter->opacity();
        if (!m_outgoing.isNull() && m_progress < 1) {
            painter->setOpacity(opacity * (1 - m_progress));
            painter->drawPixmap(QPointF(m_at) + QPointF(0, kRise * m_progress), m_outgoing);
        }
        painter->setOpacity(opacity * m_progress);
        painter->drawPixmap(QPointF(offset) + QPointF(0, kRise * (1 - m_progress)), incoming);
        painter->restore();
    }

private:
    QPixmap m_outgoing;
    QPoint m_at;
    qreal m_progress = 0;
};

} // namespace

CalendarEmptyAgendaRow::CalendarEmptyAgendaRow(QWidget *parent)
    : QWidget(parent)
    , m_text(new ElidedLabel({}, this))
{
    setObjectName(u"calendarEmptyRow"_s);
    m_text->setObjectName(u"calendarEmptyText"_s);
    m_text->setFont(OrlixFonts::system(12, QFont::DemiBold));
    auto *row = new QHBoxLayout(this);
    // The symbol is painted in the leading margin.
    row->setContentsMargins(10 + kEmptyIcon + 9, 10, 10, 10);
    row->addWidget(m_text, 1);
    onStyleChange(this, [this] { m_text->setColor(OrlixStyle::current().secondaryText()); });
    m_text->setColor(OrlixStyle::current().secondaryText());
    repaintOnStyleChange(this);
}

void CalendarEmptyAgendaRow::setIsToday(bool isToday)
{
    m_text->setText(isToday ? u"No events today."_s : u"No events."_s);
}

QString CalendarEmptyAgendaRow::text() const
{
    return m_text->text();
}

void CalendarEmptyAgendaRow::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(continuousRoundedRect(rect(), 11), withAlpha(style.surfaceRaised(), 0.42));
    IconProvider::paint(painter, QRectF(10, (height() - kEmptyIcon) / 2.0, kEmptyIcon, kEmptyIcon),
                        u"checkmark.circle"_s, 15, style.symbolInk(style.tint(RailModule::calendar)), IconWeight::bold);
}

CalendarAgendaList::CalendarAgendaList(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
{
    setObjectName(u"calendarAgenda"_s);
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(10, 10, 10, 10);
    stack->setSpacing(9);

    auto *heading = new QHBoxLayout;
    auto *title = new ShrinkLabel(u"Events"_s, this);
    title->setFont(OrlixFonts::system(12, QFont::Bold));
    m_date = new ShrinkLabel({}, this);
    m_date->setObjectName(u"calendarAgendaDate"_s);
    m_date->setFont(OrlixFonts::system(11, QFont::Bold));
    m_date->setAlignment(Qt::AlignRight);
    heading->addWidget(title, 1);
    heading->addWidget(m_date, 1);
    stack->addLayout(heading);

    m_empty = new CalendarEmptyAgendaRow(this);
    stack->addWidget(m_empty);
    m_rowsBox = new QWidget(this);
    m_rowsLayout = new QVBoxLayout(m_rowsBox);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setSpacing(0);
    stack->addWidget(m_rowsBox);

    const auto applyColors = [this, title] {
        title->setColor(OrlixStyle::current().text());
        m_date->setColor(OrlixStyle::current().secondaryText());
    };
    applyColors();
    onStyleChange(this, applyColors);
    repaintOnStyleChange(this);
}

void CalendarAgendaList::setDay(const calendar::CalendarDayGroup &day, const QDateTime &now)
{
    const bool newDay = !m_dayID.isEmpty() && day.id() != m_dayID;
    // The list as it looks now leaves while the new day comes in; a change
    // still running lands first.
    // Only the part on screen is kept: a crowded day's list runs far below.
    QPixmap outgoing;
    QPoint outgoingAt;
    if (newDay && isVisible() && OrlixMotion::enabled()) {
        if (m_fade)
            m_fade->stop();
        setGraphicsEffect(nullptr);
        const QRect shown = visibleRegion().boundingRect();
        if (!shown.isEmpty()) {
            outgoing = grab(shown);
            outgoingAt = shown.topLeft();
        }
    }
    if (day.id() != m_dayID)
        m_limit = kRowPage;
    m_dayID = day.id();
    m_day = day;
    m_now = now;
    m_date->setText(DateText::user().format(day.date, u"MMMd"_s));
    m_empty->setIsToday(day.day == now.toLocalTime().date());
    m_empty->setVisible(day.events.empty());

    // Each row shown or hidden on screen would lay the list out again, so
    // the rows change out of sight and the list is laid out once when they
    // return. Off screen, and when the same rows stay, nothing is hidden.
    const std::size_t count = std::min(day.events.size(), m_limit);
    if (isVisible() && count != m_used)
        m_rowsBox->hide();
    while (m_rows.size() < count) {
        auto *row = new CalendarEventAgendaRow(m_state, m_rowsBox);
        m_rowsLayout->addWidget(row);
        m_rows.push_back(row);
    }
    for (std::size_t i = 0; i < count; ++i) {
        m_rows[i]->setEvent(day.events[i], i == 0, i + 1 == day.events.size(), now);
        // A new row shows with the list; showing it now would lay it out at
        // a size it never has.
        if (!m_rows[i]->isVisibleTo(m_rowsBox))
            m_rows[i]->show();
    }
    // Rows beyond this day's events wait hidden for a busier day.
    for (std::size_t i = count; i < m_used; ++i)
        m_rows[i]->hide();
    m_used = count;
    if (m_rowsBox->isVisibleTo(this) != (count > 0))
        m_rowsBox->setVisible(count > 0);
    if (newDay)
        changeDay(std::move(outgoing), outgoingAt);
}

void CalendarAgendaList::showMore()
{
    if (m_used >= m_day.events.size())
        return;
    m_limit = m_used + kRowPage;
    setDay(m_day, m_now);
}

void CalendarAgendaList::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The scroll area the card sits in (the detail panel's), if any.
    if (m_watchedScroll)
        return;
    for (QWidget *above = parentWidget(); above; above = above->parentWidget()) {
        if (auto *area = qobject_cast<QAbstractScrollArea *>(above)) {
            m_watchedScroll = area->verticalScrollBar();
            connect(m_watchedScroll, &QScrollBar::valueChanged, this, &CalendarAgendaList::showMoreIfNearTheEnd);
            break;
        }
    }
}

void CalendarAgendaList::showMoreIfNearTheEnd()
{
    if (!m_watchedScroll || m_used >= m_day.events.size())
        return;
    // Within a screenful of the last row made: make the next page.
    const QScrollBar *bar = m_watchedScroll;
    if (bar->maximum() - bar->value() <= std::max(bar->pageStep(), 1))
        showMore();
}

void CalendarAgendaList::refreshLeads()
{
    for (std::size_t i = 0; i < m_used; ++i)
        m_rows[i]->refreshLead();
}

std::vector<CalendarEventAgendaRow *> CalendarAgendaList::rows() const
{
    return {m_rows.begin(), m_rows.begin() + std::ptrdiff_t(m_used)};
}

QString CalendarAgendaList::dateText() const
{
    return m_date->text();
}

void CalendarAgendaList::changeDay(QPixmap outgoing, QPoint outgoingAt)
{
    if (!isVisible() || !OrlixMotion::enabled())
        return;
    if (!m_fade) {
        m_fade = new QVariantAnimation(this);
        applyMotion(m_fade, OrlixMotion::smooth());
        m_fade->setStartValue(0.0);
        m_fade->setEndValue(1.0);
        connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
            if (auto *effect = dynamic_cast<DayTransition *>(graphicsEffect()))
                effect->setProgress(value.toDouble());
        });
        // A settled list paints without an offscreen pass.
        connect(m_fade, &QVariantAnimation::finished, this, [this] { setGraphicsEffect(nullptr); });
    }
    m_fade->stop();
    auto *effect = new DayTransition(std::move(outgoing), outgoingAt, this);
    effect->setProgress(0);
    setGraphicsEffect(effect);
    runMotion(m_fade);
}

qreal CalendarAgendaList::dayChangeProgress() const
{
    const auto *effect = dynamic_cast<const DayTransition *>(graphicsEffect());
    return effect ? effect->progress() : 1.0;
}

bool CalendarAgendaList::isChangingDay() const
{
    return dynamic_cast<const DayTransition *>(graphicsEffect()) != nullptr;
}

void CalendarAgendaList::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), 14);
    painter.fillPath(path, withAlpha(style.surface(), 0.36));
    painter.setPen(QPen(withAlpha(style.hairline(), 0.26), 0.8));
    painter.drawPath(path);
}

} // namespace kolu
