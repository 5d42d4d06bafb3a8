#include "cards/today/TodayCard.h"

#include "cards/FolderTexts.h"
#include "cards/StatusTintColor.h"
#include "cards/calendar/CalendarEventRules.h"
#include "cards/prayers/PrayerRules.h"
#include "cards/reminders/ReminderRules.h"
#include "cards/today/TodayRules.h"
#include "cards/today/TodaySummaryTile.h"
#include "platform/desktop/UrlOpener.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/GlassProfile.h"
#include "style/LiquidGlassSurface.h"
#include "style/MinuteTicker.h"
#include "style/OrlixStyle.h"
#include "style/TodayVisuals.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/ShrinkLabel.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QShowEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QColor moduleTint(RailModule module)
{
    return OrlixStyle::current().tint(module);
}

ElidedLabel *makeLabel(const QString &name, const QFont &font, QWidget *parent)
{
    auto *label = new ElidedLabel({}, parent);
    label->setObjectName(name);
    label->setFont(font);
    return label;
}

// The glass behind the three summary tiles.
class SummaryPanel : public QWidget {
public:
    explicit SummaryPanel(QWidget *parent)
        : QWidget(parent)
    {
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        LiquidGlassSurface::paint(painter, rect(), 16, OrlixGlassProfile::card());
    }
};

// The reminders tile: the same raised panel as the summary tiles.
class RemindersPanel : public QWidget {
public:
    explicit RemindersPanel(QWidget *parent)
        : QWidget(parent)
    {
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        TodaySummaryTile::paintPanel(painter, rect());
    }
};

} // namespace

TodayReminderLine::TodayReminderLine(QWidget *parent)
    : QWidget(parent)
    , m_mark(new SymbolView({}, 10, {16, 16}, this))
    , m_title(makeLabel(u"todayReminderTitle"_s, OrlixFonts::system(12, QFont::Bold), this))
{
    setObjectName(u"todayReminderRow"_s);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_mark, 0, Qt::AlignVCenter);
    row->addWidget(m_title, 1, Qt::AlignVCenter);
}

void TodayReminderLine::setReminder(const ReminderItem &reminder)
{
    const OrlixStyle &style = OrlixStyle::current();
    m_mark->setSymbol(reminder.isFlagged ? u"flag.fill"_s : u"circle"_s,
                      reminder.isFlagged ? style.tint(RailModule::reminders) : style.iconSecondary());
    m_title->setText(reminder.title);
    m_title->setColor(style.text());
}

QString TodayReminderLine::title() const
{
    return m_title->text();
}

bool TodayReminderLine::isFlagged() const
{
    return m_mark->symbol() == u"flag.fill"_s;
}

TodayCard::TodayCard(AppState &state, QWidget *parent)
    : ModuleCard(u"Today"_s, u"sun.max"_s, parent)
    , m_state(state)
{
    setObjectName(u"todayCard"_s);
    QVBoxLayout *stack = contentLayout();
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(18);
    buildGreetingSection(stack);
    buildWeatherSection(stack);
    buildSummarySection(stack);

    const auto applyColors = [this] {
        const OrlixStyle &style = OrlixStyle::current();
        m_greeting->setColor(style.text());
        m_date->setColor(style.secondaryText());
        m_temperature->setColor(style.text());
        m_remindersIcon->setSymbol(u"checklist"_s, style.text());
        m_remindersTitle->setColor(style.text());
        m_reminderCount->setColor(style.secondaryText());
        m_remindersEmpty->setColor(style.secondaryText());
        refresh();
    };
    onStyleChange(this, applyColors);
    connect(m_meetingButton, &QAbstractButton::clicked, this, &TodayCard::openMeetingLink);
    connect(m_calendarSettingsButton, &QAbstractButton::clicked, this, [this] { m_state.openDesktopAppsSettings(); });
    connect(&m_state, &AppState::changed, this, &TodayCard::onStateChanged);
    // The greeting, the date and every "in 45m" follow the clock while shown.
    connect(new MinuteTicker(m_state.clock(), this), &MinuteTicker::minutePassed, this, &TodayCard::refresh);
    applyColors();
}

void TodayCard::buildGreetingSection(QVBoxLayout *stack)
{
    auto *greetingBlock = new QVBoxLayout;
    greetingBlock->setSpacing(4);
    m_greeting = new ShrinkLabel({}, this);
    m_greeting->setObjectName(u"todayGreeting"_s);
    m_greeting->setFont(OrlixFonts::display(19.5));
    m_greeting->setMinimumScaleFactor(0.74);
    m_date = makeLabel(u"todayDate"_s, OrlixFonts::system(14, QFont::Bold), this);
    greetingBlock->addWidget(m_greeting);
    greetingBlock->addWidget(m_date);
    stack->addLayout(greetingBlock);
}

void TodayCard::buildWeatherSection(QVBoxLayout *stack)
{
    auto *weather = new QHBoxLayout;
    weather->setSpacing(10);
    m_weatherIcon = new SymbolView({}, 18, {34, 34}, this);
    m_weatherIcon->setObjectName(u"todayWeatherIcon"_s);
    auto *weatherTexts = new QVBoxLayout;
    weatherTexts->setSpacing(2);
    m_temperature = makeLabel(u"todayTemperature"_s, OrlixFonts::rounded(22, QFont::Black), this);
    m_weatherDetail = makeLabel(u"todayWeatherDetail"_s, OrlixFonts::system(12, QFont::Bold), this);
    m_weatherDetail->setMaximumLines(2); // a failure's sentence is read whole
    weatherTexts->addWidget(m_temperature);
    weatherTexts->addWidget(m_weatherDetail);
    weather->addWidget(m_weatherIcon, 0, Qt::AlignVCenter);
    weather->addLayout(weatherTexts, 1);
    stack->addLayout(weather);
}

// The glass panel: the next event, the next prayer and the reminders tile.
void TodayCard::buildSummarySection(QVBoxLayout *stack)
{
    auto *panel = new SummaryPanel(this);
    panel->setObjectName(u"todaySummary"_s);
    auto *tiles = new QVBoxLayout(panel);
    tiles->setContentsMargins(14, 14, 14, 14);
    tiles->setSpacing(12);
    m_nextEvent = new TodaySummaryTile(u"calendar"_s, moduleTint(RailModule::calendar), u"Next up"_s, panel);
    m_nextEvent->setObjectName(u"todayNextEventTile"_s);
    // The tile's one accessory: the event's link, or the way to the settings
    // page where a calendar folder is chosen.
    auto *accessory = new QWidget(this);
    auto *accessoryRow = new QHBoxLayout(accessory);
    accessoryRow->setContentsMargins(0, 0, 0, 0);
    m_meetingButton = new OrlixButton(OrlixButton::Kind::secondary, {}, accessory);
    m_meetingButton->setObjectName(u"todayMeetingButton"_s);
    m_meetingButton->setSymbol(u"arrow.up.right"_s);
    m_meetingButton->setFixedSize(32, 32);
    m_meetingButton->setToolTip(u"Open event link"_s);
    m_meetingButton->setAccessibleName(u"Open event link"_s);
    accessoryRow->addWidget(m_meetingButton);
    m_calendarSettingsButton = new OrlixButton(OrlixButton::Kind::secondary, {}, accessory);
    m_calendarSettingsButton->setObjectName(u"todayCalendarSettingsButton"_s);
    m_calendarSettingsButton->setSymbol(u"gearshape"_s);
    m_calendarSettingsButton->setFixedSize(32, 32);
    m_calendarSettingsButton->setToolTip(u"Open Settings › Desktop Apps"_s);
    m_calendarSettingsButton->setAccessibleName(u"Open Settings › Desktop Apps"_s);
    m_calendarSettingsButton->hide();
    accessoryRow->addWidget(m_calendarSettingsButton);
    m_nextEvent->setAccessory(accessory);
    m_nextPrayer = new TodaySummaryTile(u"seal"_s, moduleTint(RailModule::prayers), u"Next prayer"_s, panel);
    m_nextPrayer->setObjectName(u"todayNextPrayerTile"_s);
    tiles->addWidget(m_nextEvent);
    tiles->addWidget(m_nextPrayer);
    tiles->addWidget(buildRemindersTile(panel));
    stack->addWidget(panel);
}

QWidget *TodayCard::buildRemindersTile(QWidget *panel)
{
    auto *reminders = new RemindersPanel(panel);
    reminders->setObjectName(u"todayRemindersTile"_s);
    auto *remindersStack = new QVBoxLayout(reminders);
    remindersStack->setContentsMargins(12, 12, 12, 12);
    remindersStack->setSpacing(8);
    auto *header = new QHBoxLayout;
    m_remindersIcon = new SymbolView({}, 13, {18, 18}, reminders);
    m_remindersTitle = makeLabel({}, OrlixFonts::system(13, QFont::Bold), reminders);
    m_remindersTitle->setText(u"Today reminders"_s);
    m_reminderCount = makeLabel(u"todayRemindersCount"_s, OrlixFonts::system(11, QFont::Bold), reminders);
    m_reminderCount->setAlignment(Qt::AlignRight);
    m_reminderCount->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    header->addWidget(m_remindersIcon, 0, Qt::AlignVCenter);
    header->addWidget(m_remindersTitle, 1, Qt::AlignVCenter);
    header->addWidget(m_reminderCount, 0, Qt::AlignVCenter);
    remindersStack->addLayout(header);
    m_remindersEmpty = makeLabel(u"todayRemindersEmpty"_s, OrlixFonts::system(12, QFont::DemiBold), reminders);
    m_remindersEmpty->setText(u"No reminders due today."_s);
    remindersStack->addWidget(m_remindersEmpty);
    auto *lines = new QVBoxLayout;
    lines->setSpacing(7);
    for (auto &line : m_reminderLines) {
        line = new TodayReminderLine(reminders);
        line->hide();
        lines->addWidget(line);
    }
    remindersStack->addLayout(lines);
    return reminders;
}

void TodayCard::paintEvent(QPaintEvent *)
{
    // No card glass: the summary panel carries the card's only glass.
}

void TodayCard::showEvent(QShowEvent *event)
{
    ModuleCard::showEvent(event);
    if (event->spontaneous())
        return;
    refresh();
    m_state.refreshTodayWeather(false);
}

void TodayCard::onStateChanged(AppState::Field field)
{
    switch (field) {
    case AppState::Field::calendarEvents:
    case AppState::Field::calendarFolderMissing: refreshNextEvent(); break;
    case AppState::Field::todayWeather:
    case AppState::Field::isLoadingTodayWeather:
    case AppState::Field::todayWeatherStatus: refreshWeather(); break;
    case AppState::Field::prayerDay:
    case AppState::Field::prayerStatus:
    case AppState::Field::isLoadingPrayers: refreshNextPrayer(); break;
    case AppState::Field::reminderList: refreshReminders(); break;
    default: break;
    }
}

void TodayCard::refresh()
{
    const QDateTime now = m_state.clock().now();
    m_greeting->setText(TodayVisuals::current(m_state.clock()).greeting);
    m_date->setText(today::gregorianDateText(now, DateText::user()));
    refreshWeather();
    refreshNextEvent();
    refreshNextPrayer();
    refreshReminders();
}

void TodayCard::refreshWeather()
{
    const std::optional<TodayWeather> &weather = m_state.todayWeather();
    const today::WeatherLook look = today::weatherLook(weather);
    const QColor todayTint = moduleTint(RailModule::today);
    m_weatherIcon->setSymbol(look.symbol, look.tint.isValid() ? look.tint : todayTint);
    m_temperature->setText(today::temperatureText(weather));
    m_weatherDetail->setText(
        today::weatherDetail(weather, m_state.isLoadingTodayWeather(), m_state.todayWeatherStatus().message));
    m_weatherDetail->setColor(weather ? OrlixStyle::current().secondaryText()
                                      : statusTintColor(m_state.todayWeatherStatus().tint, todayTint));
}

void TodayCard::refreshNextEvent()
{
    m_nextEvent->setTint(moduleTint(RailModule::calendar));
    // Without a calendar folder the tile says what is missing, not that the
    // calendar is empty.
    const bool folderMissing = m_state.calendarFolderMissing() && m_state.calendarEvents().empty();
    m_calendarSettingsButton->setVisible(folderMissing);
    if (folderMissing) {
        // A folder chosen once and gone since is named, not taken for none.
        // Its title may take two lines, and its path is cut in the middle,
        // keeping the folder's own name.
        if (const std::optional<QString> chosen = m_state.chosenCalendarFolder()) {
            const GoneFolderText text = goneFolderText(CardFolder::calendar, *chosen);
            m_nextEvent->setValue(text.title, 2);
            m_nextEvent->setDetailPath(text.path);
        } else {
            m_nextEvent->setValue(u"No calendar folder"_s);
            m_nextEvent->setDetail(u"Choose one in Settings"_s);
        }
        m_meetingURL = QUrl();
        m_meetingButton->setVisible(false);
        return;
    }
    const QDateTime now = m_state.clock().now();
    const std::optional<CalendarEvent> event = today::upcomingEvent(m_state.calendarEvents(), now);
    m_nextEvent->setValue(event ? event->title : u"No upcoming events"_s);
    m_nextEvent->setDetail(event ? today::upcomingEventDetail(*event, now, DateText::user()) : u"Calendar is quiet"_s);
    // Only a web address gets the button: nothing else is handed to the desktop.
    const std::optional<QUrl> link = event ? calendar::openableMeetingURL(event->meetingURL) : std::nullopt;
    m_meetingURL = link.value_or(QUrl());
    m_meetingButton->setVisible(link.has_value());
}

void TodayCard::refreshNextPrayer()
{
    const std::optional<PrayerTime> upcoming = m_state.upcomingPrayer();
    m_nextPrayer->setTint(moduleTint(RailModule::prayers));
    const bool failed = m_state.prayerStatus().tint == StatusTint::orange && !m_state.isLoadingPrayers();
    m_nextPrayer->setValue(
        today::nextPrayerValue(upcoming, prayers::timesMissing(m_state.prayerDay(), m_state.clock().now(), failed)));
    m_nextPrayer->setDetail(today::nextPrayerDetail(upcoming, m_state.clock().now()));
}

void TodayCard::refreshReminders()
{
    const std::vector<ReminderItem> due = today::allTodayReminders(m_state.reminders(), m_state.clock().now());
    m_reminderCount->setText(today::reminderCountText(due.size()));
    // Without a readable to-do folder nothing is due because nothing is
    // read: the tile says what the Reminders card says.
    const RemindersConnectionState &connection = m_state.remindersConnection();
    const bool noFolder = connection.kind == RemindersConnectionState::Kind::denied;
    m_remindersEmpty->setText(noFolder ? reminderrules::connectionLine(connection, m_state.chosenRemindersFolder())
                                       : u"No reminders due today."_s);
    // "Clear" would claim that nothing is due.
    m_reminderCount->setHidden(noFolder);
    m_remindersEmpty->setVisible(due.empty());
    for (std::size_t i = 0; i < m_reminderLines.size(); ++i) {
        TodayReminderLine *line = m_reminderLines[i];
        if (i < due.size())
            line->setReminder(due[i]);
        line->setVisible(i < due.size());
    }
}

void TodayCard::openMeetingLink()
{
    if (const std::optional<QUrl> link = calendar::openableMeetingURL(m_meetingURL))
        m_state.urlOpener().openUrl(*link);
}

} // namespace kolu
