#include "cards/calendar/CalendarEventAgendaRow.h"

#include "cards/calendar/AttendeeInitialsStack.h"
#include "cards/calendar/CalendarEventRules.h"
#include "cards/calendar/CalendarRowColors.h"
#include "cards/calendar/TimelineMarker.h"
#include "platform/desktop/UrlOpener.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/SegmentedPicker.h"
#include "style/widgets/ShrinkLabel.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolView.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QColor calendarTint()
{
    return OrlixStyle::current().tint(RailModule::calendar);
}

// Shows or hides a part of the card only when that changes: showing a part
// again lays it out at once, even while the row is off screen.
void setShown(QWidget *part, bool shown)
{
    if (part->isVisibleTo(part->parentWidget()) != shown)
        part->setVisible(shown);
}

void paintShape(QPainter &painter, const QRectF &rect, qreal radius, const QColor &fill, const QColor &stroke,
                qreal strokeWidth)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = continuousRoundedRect(rect.adjusted(0.4, 0.4, -0.4, -0.4), radius);
    painter.fillPath(path, fill);
    painter.setPen(QPen(stroke, strokeWidth));
    painter.drawPath(path);
}

// The rounded card behind the event's contents; its colours follow whether
// the event is running.
class EventCardPanel : public QWidget {
public:
    EventCardPanel(std::function<bool()> isNow, QWidget *parent)
        : QWidget(parent)
        , m_isNow(std::move(isNow))
    {
        setObjectName(u"calendarEventCard"_s);
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const calendar::AgendaRowColors colors = calendar::agendaRowColors(OrlixStyle::current(), m_isNow());
        QPainter painter(this);
        paintShape(painter, rect(), 13, colors.cardFill, colors.cardStroke, 0.8);
    }

private:
    std::function<bool()> m_isNow;
};

// A detail's symbol in a fixed frame, in a colour set by the row.
SymbolView *detailIcon(const QString &symbol, qreal size, QWidget *parent)
{
    return new SymbolView(symbol, size, {15, int(std::ceil(size + 4))}, parent);
}

} // namespace

// The start time on a capsule at the top right of the event card.
class CalendarStartPill : public QWidget {
public:
    explicit CalendarStartPill(QWidget *parent)
        : QWidget(parent)
    {
        setObjectName(u"calendarStartPill"_s);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        repaintOnStyleChange(this);
    }
    void setContent(const QString &text, bool now)
    {
        if (text == m_text && now == m_now)
            return;
        m_text = text;
        m_now = now;
        updateGeometry();
        update();
    }
    const QString &text() const { return m_text; }
    QSize sizeHint() const override
    {
        const QFontMetricsF metrics(font());
        return {int(std::ceil(9 + kIcon + 5 + metrics.horizontalAdvance(m_text) + 9)),
                int(std::ceil(6 + std::max<qreal>(metrics.height(), kIcon) + 6))};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const calendar::AgendaRowColors colors = calendar::agendaRowColors(OrlixStyle::current(), m_now);
        QPainter painter(this);
        const QRectF r(rect());
        paintShape(painter, r, r.height() / 2, colors.pillFill, colors.pillStroke, 0.7);
        const QColor &content = colors.pillContent;
        IconProvider::paint(painter, QRectF(9, 0, kIcon, height()), u"clock"_s, 10, content, IconWeight::bold);
        painter.setPen(content);
        painter.setFont(font());
        painter.drawText(QRectF(9 + kIcon + 5, 0, width() - 9 - kIcon - 5, height()), Qt::AlignVCenter | Qt::AlignLeft,
                         m_text);
    }

private:
    static constexpr qreal kIcon = 12;
    QString m_text;
    bool m_now = false;
};

CalendarMeetingButton::CalendarMeetingButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setObjectName(u"calendarMeetingButton"_s);
    setText(u"Open meeting link"_s);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFont(OrlixFonts::system(12, QFont::Bold));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

QSize CalendarMeetingButton::sizeHint() const
{
    return {int(std::ceil(12 + 16 + 8 + QFontMetricsF(font()).horizontalAdvance(text()) + 12)), 36};
}

void CalendarMeetingButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(isDown() ? 0.8 : 1.0);
    const OrlixStyle &style = OrlixStyle::current();
    // Under heroLight a primary button, as Pause, Set and New note are.
    const bool primary = style.theme() == OrlixTheme::heroLight;
    const QColor fill = primary ? style.primaryButtonFill() : withAlpha(calendarTint(), 0.95);
    paintShape(painter, rect(), 11, fill, withAlpha(Qt::white, 0.16), 0.8);
    // White on the tint in dark appearance, unless the tint is too light for
    // it; in light appearance a deep shade of the tint, which white on a
    // light tint is not readable against.
    const QColor onLightCard = composited(fill, OrlixStyle::lightReferenceSurface());
    QColor ink;
    if (primary)
        ink = readableOn(style.primaryButtonLabel(), fill);
    else if (style.colorScheme() == ColorScheme::light)
        // Checked over the darkest and the lightest card the fill may sit on.
        ink = readableOn(readableOn(calendarTint(), onLightCard), composited(fill, Qt::white));
    else
        ink = readableOn(Qt::white, composited(fill, Qt::black));
    IconProvider::paint(painter, QRectF(12, 0, 16, height()), u"arrow.up.right"_s, 13, ink, IconWeight::bold);
    painter.setPen(ink);
    painter.setFont(font());
    const QRectF label(12 + 16 + 8, 0, width() - 12 - 16 - 8 - 12, height());
    painter.drawText(label, Qt::AlignVCenter | Qt::AlignLeft,
                     QFontMetricsF(font()).elidedText(text(), Qt::ElideRight, label.width()));
    if (hasFocus())
        paintShape(painter, rect(), 11, Qt::transparent, withAlpha(Qt::white, 0.7), 1.5);
}

CalendarEventAgendaRow::CalendarEventAgendaRow(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
{
    setObjectName(u"calendarEventRow"_s);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 4, 0, 4);
    row->setSpacing(12);
    m_marker = new TimelineMarker(this);
    row->addWidget(m_marker);
    m_card = new EventCardPanel([this] { return m_now; }, this);
    row->addWidget(m_card, 1, Qt::AlignTop);

    auto *stack = new QVBoxLayout(m_card);
    stack->setContentsMargins(12, 12, 12, 12);
    stack->setSpacing(11);

    auto *top = new QHBoxLayout;
    top->setSpacing(8);
    m_initials = new AttendeeInitialsStack(m_card);
    m_pill = new CalendarStartPill(m_card);
    m_pill->setFont(OrlixFonts::monospacedDigits(11, QFont::Bold));
    top->addWidget(m_initials);
    top->addStretch(1);
    top->addSpacing(8);
    top->addWidget(m_pill);
    stack->addLayout(top);

    m_title = new ElidedLabel({}, m_card);
    m_title->setObjectName(u"calendarEventTitle"_s);
    m_title->setFont(OrlixFonts::system(18, QFont::Black));
    m_title->setMaximumLines(3);
    stack->addWidget(m_title);

    auto *details = new QVBoxLayout;
    details->setSpacing(6);
    auto *timeLine = new QHBoxLayout;
    timeLine->setSpacing(7);
    m_clockIcon = detailIcon(u"clock"_s, 11, m_card);
    m_timeRange = new ShrinkLabel({}, m_card);
    m_timeRange->setObjectName(u"calendarEventTime"_s);
    m_timeRange->setFont(OrlixFonts::monospacedDigits(12, QFont::Bold));
    m_timeRange->setMinimumScaleFactor(0.78);
    timeLine->addWidget(m_clockIcon, 0, Qt::AlignVCenter);
    timeLine->addWidget(m_timeRange, 1, Qt::AlignVCenter);
    details->addLayout(timeLine);
    m_locationLine = new QWidget(m_card);
    auto *locationLine = new QHBoxLayout(m_locationLine);
    locationLine->setContentsMargins(0, 0, 0, 0);
    locationLine->setSpacing(7);
    m_locationIcon = detailIcon(u"mappin.and.ellipse"_s, 11, m_locationLine);
    m_location = new ElidedLabel({}, m_locationLine);
    m_location->setObjectName(u"calendarEventLocation"_s);
    m_location->setFont(OrlixFonts::system(12, QFont::DemiBold));
    m_location->setMaximumLines(2);
    locationLine->addWidget(m_locationIcon, 0, Qt::AlignTop);
    locationLine->addWidget(m_location, 1);
    details->addWidget(m_locationLine);
    stack->addLayout(details);

    auto *alert = new QHBoxLayout;
    alert->setSpacing(8);
    m_notify = new ShrinkLabel(u"Notify"_s, m_card);
    m_notify->setFont(OrlixFonts::system(11, QFont::Bold));
    QStringList labels;
    for (const calendar::LeadOption &option : calendar::leadOptions)
        labels << QString::fromLatin1(option.label);
    m_lead = new SegmentedPicker(labels, m_card);
    m_lead->setObjectName(u"calendarLeadPicker"_s);
    m_lead->setAccessibleName(u"Notify before"_s);
    // 112 wide, or wider where a label would not fit its segment (the
    // picker keeps 4 on either side of a label and 2 around its track).
    const QFontMetricsF segmentMetrics(OrlixFonts::system(12, QFont::Bold));
    qreal widest = 0;
    for (const QString &label : labels)
        widest = std::max(widest, segmentMetrics.horizontalAdvance(label));
    m_lead->setFixedWidth(std::max(112, int(std::ceil((widest + 10) * labels.size() + 4))));
    alert->addWidget(m_notify, 0, Qt::AlignVCenter);
    alert->addStretch(1);
    alert->addWidget(m_lead, 0, Qt::AlignVCenter);
    stack->addLayout(alert);

    m_meeting = new CalendarMeetingButton(m_card);
    stack->addWidget(m_meeting);

    connect(m_lead, &SegmentedPicker::activated, this, &CalendarEventAgendaRow::chooseLead);
    connect(m_meeting, &QAbstractButton::clicked, this, &CalendarEventAgendaRow::openMeetingLink);
    onStyleChange(this, &CalendarEventAgendaRow::applyColors);
    applyColors();
}

void CalendarEventAgendaRow::setEvent(const CalendarEvent &event, bool isFirst, bool isLast, const QDateTime &now)
{
    const bool happening = calendar::isHappeningNow(event, now);
    m_marker->setEnds(isFirst, isLast);
    if (event != m_event || happening != m_now || m_title->text().isEmpty()) {
        m_event = event;
        m_now = happening;
        const DateText &dates = DateText::user();
        m_initials->setInitials(event.attendeeInitials);
        m_pill->setContent(dates.format(event.startDate, u"jmm"_s), happening);
        m_title->setText(event.title);
        m_timeRange->setText(calendar::timeRange(event, dates));
        const std::optional<QString> location = calendar::cleanedLocation(event);
        m_location->setText(location.value_or(QString()));
        setShown(m_locationLine, location.has_value());
        const std::optional<QUrl> link = calendar::openableMeetingURL(event.meetingURL);
        m_meetingURL = link.value_or(QUrl());
        setShown(m_meeting, link.has_value());
        m_meeting->setToolTip(link ? link->toString() : QString());
        applyColors();
    }
    refreshLead();
}

void CalendarEventAgendaRow::refreshLead()
{
    m_lead->setCurrentIndex(calendar::leadIndex(m_state.calendarAlertLeadMinutes(m_event)));
}

QString CalendarEventAgendaRow::timeRangeText() const
{
    return m_timeRange->text();
}

QString CalendarEventAgendaRow::locationText() const
{
    return m_locationLine->isVisibleTo(this) ? m_location->text() : QString();
}

void CalendarEventAgendaRow::applyColors()
{
    const OrlixStyle &style = OrlixStyle::current();
    const calendar::AgendaRowColors colors = calendar::agendaRowColors(style, m_now);
    const QColor details = colors.details;
    m_title->setColor(style.text());
    m_clockIcon->setColor(details);
    m_locationIcon->setColor(details);
    m_timeRange->setColor(details);
    m_location->setColor(details);
    m_notify->setColor(style.readableOnFill(style.secondaryText(), colors.cardFill));
    m_card->update();
}

void CalendarEventAgendaRow::chooseLead(int index)
{
    if (index < 0 || index >= int(calendar::leadOptions.size()))
        return;
    m_state.setCalendarAlertLeadMinutes(calendar::leadOptions[std::size_t(index)].minutes, m_event);
}

void CalendarEventAgendaRow::openMeetingLink()
{
    if (const std::optional<QUrl> link = calendar::openableMeetingURL(m_meetingURL))
        m_state.urlOpener().openUrl(*link);
}

} // namespace kolu
