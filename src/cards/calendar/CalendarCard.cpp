#include "cards/calendar/CalendarCard.h"

#include "cards/FolderTexts.h"
#include "cards/calendar/CalendarAgendaList.h"
#include "cards/calendar/CalendarDays.h"
#include "cards/calendar/CalendarWeekStrip.h"
#include "style/ContinuousCorners.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/MinuteTicker.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QShowEvent>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

// The event count of the selected day on a tinted capsule.
class CalendarSummaryPill : public QWidget {
public:
    explicit CalendarSummaryPill(QWidget *parent)
        : QWidget(parent)
    {
        setObjectName(u"calendarSummary"_s);
        setFont(OrlixFonts::system(11, QFont::Bold));
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        repaintOnStyleChange(this);
    }
    void setText(const QString &text)
    {
        if (text == m_text)
            return;
        m_text = text;
        updateGeometry();
        update();
    }
    const QString &text() const { return m_text; }
    QSize sizeHint() const override
    {
        const QFontMetricsF metrics(font());
        return {int(std::ceil(metrics.horizontalAdvance(m_text) + 18)), int(std::ceil(metrics.height() + 10))};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QColor tint = OrlixStyle::current().tint(RailModule::calendar);
        QColor fill = tint, stroke = tint;
        fill.setAlphaF(0.12f);
        stroke.setAlphaF(0.24f);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
        const QPainterPath path = continuousRoundedRect(r, r.height() / 2);
        painter.fillPath(path, fill);
        painter.setPen(QPen(stroke, 0.8));
        painter.drawPath(path);
        painter.setPen(OrlixStyle::current().readable(tint));
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, m_text);
    }

private:
    QString m_text;
};

CalendarCard::CalendarCard(AppState &state, QWidget *parent)
    : ModuleCard(u"Calendar"_s, u"calendar"_s, parent)
    , m_state(state)
    , m_selectedDayID(calendar::CalendarDayGroup::dayId(state.clock().now().toLocalTime().date()))
{
    setObjectName(u"calendarCard"_s);
    QVBoxLayout *stack = contentLayout();
    stack->setSpacing(12);

    auto *header = new QHBoxLayout;
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto *caption = new ElidedLabel(u"This week"_s, this);
    caption->setFont(OrlixFonts::system(11, QFont::Bold));
    m_headerDate = new ElidedLabel({}, this);
    m_headerDate->setObjectName(u"calendarHeaderDate"_s);
    m_headerDate->setFont(OrlixFonts::system(15, QFont::Bold));
    texts->addWidget(caption);
    texts->addWidget(m_headerDate);
    m_summary = new CalendarSummaryPill(this);
    // The pill's text stands on the caption's baseline: both 11 pt, the
    // caption lowered by the pill's own top padding.
    texts->setContentsMargins(0, 5, 0, 0);
    header->addLayout(texts, 1);
    header->addWidget(m_summary, 0, Qt::AlignTop);
    stack->addLayout(header);

    m_strip = new CalendarWeekStrip(this);
    stack->addWidget(m_strip);
    m_agenda = new CalendarAgendaList(state, this);
    stack->addWidget(m_agenda);

    m_noFolder = new QWidget(this);
    m_noFolder->setObjectName(u"calendarNoFolder"_s);
    auto *noFolderStack = new QVBoxLayout(m_noFolder);
    noFolderStack->setContentsMargins(0, 0, 0, 0);
    noFolderStack->setSpacing(10);
    m_noFolderText = new EmptyState(u"calendar"_s, u"No calendar folder"_s,
                                    u"Choose the folder your calendars are kept in."_s, m_noFolder);
    m_noFolderText->setObjectName(u"calendarNoFolderState"_s);
    noFolderStack->addWidget(m_noFolderText);
    auto *openSettings = new OrlixButton(OrlixButton::Kind::secondary, u"Open Settings"_s, m_noFolder);
    openSettings->setObjectName(u"calendarOpenSettingsButton"_s);
    openSettings->setSymbol(u"gearshape"_s);
    openSettings->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    noFolderStack->addWidget(openSettings);
    stack->addWidget(m_noFolder);
    connect(openSettings, &QAbstractButton::clicked, this, [this] { m_state.openDesktopAppsSettings(); });

    const auto applyColors = [this, caption] {
        caption->setColor(OrlixStyle::current().secondaryText());
        m_headerDate->setColor(OrlixStyle::current().text());
    };
    applyColors();
    onStyleChange(this, applyColors);
    connect(m_strip, &CalendarWeekStrip::daySelected, this, &CalendarCard::selectDay);
    connect(&m_state, &AppState::changed, this, &CalendarCard::onStateChanged);
    // "Starts in", "happening now" and the timeline follow the clock while shown.
    connect(new MinuteTicker(m_state.clock(), this), &MinuteTicker::minutePassed, this, &CalendarCard::refresh);
    refresh();
}

void CalendarCard::selectDay(const QString &id)
{
    if (id == m_selectedDayID)
        return;
    m_selectedDayID = id;
    refresh();
}

void CalendarCard::refresh()
{
    const bool folderMissing = m_state.calendarFolderMissing() && m_state.calendarEvents().empty();
    m_noFolder->setVisible(folderMissing);
    if (folderMissing) {
        // A folder chosen once and gone since is named, not taken for none.
        if (const std::optional<QString> chosen = m_state.chosenCalendarFolder()) {
            const GoneFolderText text = goneFolderText(CardFolder::calendar, *chosen);
            m_noFolderText->setPathContent(u"calendar"_s, text.title, text.beforePath, text.path, text.afterPath);
        } else
            m_noFolderText->setContent(u"calendar"_s, u"No calendar folder"_s,
                                       u"Choose the folder your calendars are kept in."_s);
    }
    m_summary->setVisible(!folderMissing);
    m_strip->setVisible(!folderMissing);
    m_agenda->setVisible(!folderMissing);
    const QDateTime now = m_state.clock().now();
    const QDate today = now.toLocalTime().date();
    if (m_daysStale || today != m_daysFrom) {
        m_days = calendar::upcomingDays(m_state.calendarEvents(), now);
        m_daysFrom = today;
        m_daysStale = false;
    }
    const std::vector<calendar::CalendarDayGroup> &days = m_days;
    const calendar::CalendarDayGroup selected = calendar::selectedDay(days, m_selectedDayID, now);
    m_headerDate->setText(DateText::user().format(selected.date, u"EEEEMMMd"_s));
    m_summary->setText(calendar::daySummary(selected.events.size()));
    m_strip->setDays(days, m_selectedDayID, now);
    m_agenda->setDay(selected, now);
}

QString CalendarCard::summaryText() const
{
    return m_summary->text();
}

QString CalendarCard::headerDateText() const
{
    return m_headerDate->text();
}

void CalendarCard::showEvent(QShowEvent *event)
{
    ModuleCard::showEvent(event);
    if (!event->spontaneous())
        refresh();
}

void CalendarCard::onStateChanged(AppState::Field field)
{
    if (field == AppState::Field::calendarEvents || field == AppState::Field::calendarFolderMissing) {
        m_daysStale = true;
        refresh();
    } else if (field == AppState::Field::calendarAlertLeadMinutesByEventID)
        m_agenda->refreshLeads();
}

} // namespace kolu
