#include "cards/prayers/PrayersCard.h"

#include "cards/StatusTintColor.h"
#include "cards/prayers/PrayerRules.h"
#include "cards/prayers/PrayerWidgets.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/MinuteTicker.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/SmallSpinner.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QShowEvent>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QColor prayersTint()
{
    return OrlixStyle::current().tint(RailModule::prayers);
}

// The tinted panel behind the next prayer.
class PrayerHeaderPanel : public QWidget {
public:
    explicit PrayerHeaderPanel(QWidget *parent)
        : QWidget(parent)
    {
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPainterPath path = continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), 18);
        painter.fillPath(path, withAlpha(prayersTint(), 0.12));
        painter.setPen(QPen(withAlpha(prayersTint(), 0.26), 0.8));
        painter.drawPath(path);
    }
};

ElidedLabel *makeLabel(const QString &text, qreal size, QFont::Weight weight, QWidget *parent)
{
    auto *label = new ElidedLabel(text, parent);
    label->setFont(OrlixFonts::system(size, weight));
    return label;
}

} // namespace

PrayersCard::PrayersCard(AppState &state, QWidget *parent)
    : ModuleCard(u"Prayers"_s, u"seal"_s, parent)
    , m_state(state)
{
    setObjectName(u"prayersCard"_s);
    QVBoxLayout *stack = contentLayout();
    stack->setSpacing(10);
    buildHeaderSection(stack);
    buildLocationSection(stack);
    buildTimesSection(stack);

    const auto applyColors = [this] {
        const OrlixStyle &style = OrlixStyle::current();
        m_nextCaption->setColor(style.secondaryText());
        m_nextName->setColor(style.text());
        m_nextSubtitle->setColor(style.readable(prayersTint()));
        m_todayTitle->setColor(style.text());
        m_listCity->setColor(style.secondaryText());
        m_spinner->setColor(style.secondaryText());
        updateLocationStatus();
    };
    applyColors();
    onStyleChange(this, applyColors);
    connectControls();

    m_city->setOptions(prayers::cityOptions({}));
    updateHeader();
    updateRefreshButton();
    updateSetButton();
    updateList();
}

// The next prayer and the refresh button.
void PrayersCard::buildHeaderSection(QVBoxLayout *stack)
{
    auto *header = new PrayerHeaderPanel(this);
    header->setObjectName(u"prayerHeader"_s);
    auto *headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(13, 13, 13, 13);
    headerRow->setSpacing(12);
    auto *headerTexts = new QVBoxLayout;
    headerTexts->setSpacing(3);
    m_nextCaption = makeLabel(u"Next prayer"_s, 11, QFont::Bold, header);
    m_nextName = makeLabel({}, 25, QFont::Black, header);
    m_nextName->setObjectName(u"prayerNextName"_s);
    m_nextSubtitle = makeLabel({}, 12, QFont::Bold, header);
    m_nextSubtitle->setObjectName(u"prayerNextSubtitle"_s);
    headerTexts->addWidget(m_nextCaption);
    headerTexts->addWidget(m_nextName);
    headerTexts->addWidget(m_nextSubtitle);
    headerRow->addLayout(headerTexts, 1);
    m_refresh = new OrlixButton(OrlixButton::Kind::secondary, {}, header);
    m_refresh->setObjectName(u"prayerRefreshButton"_s);
    m_refresh->setToolTip(u"Refresh prayer times"_s);
    m_refresh->setAccessibleName(u"Refresh prayer times"_s);
    // The spinner takes the symbol's place in a button of the same size.
    m_refresh->setSymbol(u"arrow.clockwise"_s);
    m_refresh->setFixedSize(m_refresh->sizeHint());
    m_spinner = new SmallSpinner(m_refresh, 16);
    m_spinner->setObjectName(u"prayerRefreshSpinner"_s);
    m_spinner->setAttribute(Qt::WA_TransparentForMouseEvents);
    headerRow->addWidget(m_refresh, 0, Qt::AlignVCenter);
    stack->addWidget(header);
}

// The city and country fields, the location's status line and "Set".
void PrayersCard::buildLocationSection(QVBoxLayout *stack)
{
    m_city = new PrayerLocationField(u"City"_s, this);
    m_city->setObjectName(u"prayerCityField"_s);
    m_city->lineEdit()->setObjectName(u"prayerCityEdit"_s);
    m_city->menuButton()->setObjectName(u"prayerCityMenu"_s);
    m_country = new PrayerLocationField(u"Country"_s, this);
    m_country->setObjectName(u"prayerCountryField"_s);
    m_country->lineEdit()->setObjectName(u"prayerCountryEdit"_s);
    m_country->menuButton()->setObjectName(u"prayerCountryMenu"_s);
    m_country->setOptions(prayers::countryPresets());
    auto *fields = new QHBoxLayout;
    fields->setSpacing(7);
    fields->addWidget(m_city, 1);
    fields->addWidget(m_country, 1);
    stack->addLayout(fields);

    m_status = makeLabel({}, 11, QFont::DemiBold, this);
    m_status->setObjectName(u"prayerLocationStatus"_s);
    m_status->setMaximumLines(2); // an offline sentence is read whole
    m_set = new OrlixButton(OrlixButton::Kind::primary, u"Set"_s, this);
    m_set->setObjectName(u"prayerSetButton"_s);
    auto *statusRow = new QHBoxLayout;
    statusRow->setSpacing(7);
    statusRow->addWidget(m_status, 1, Qt::AlignVCenter);
    statusRow->addWidget(m_set, 0, Qt::AlignVCenter);
    stack->addLayout(statusRow);
}

// Today's times, or the empty state while there are none.
void PrayersCard::buildTimesSection(QVBoxLayout *stack)
{
    m_todayTitle = makeLabel(u"Today"_s, 13, QFont::Bold, this);
    m_listCity = makeLabel({}, 11, QFont::Bold, this);
    m_listCity->setObjectName(u"prayerListCity"_s);
    m_listCity->setAlignment(Qt::AlignRight);
    auto *todayRow = new QHBoxLayout;
    todayRow->addWidget(m_todayTitle);
    todayRow->addWidget(m_listCity, 1);
    stack->addLayout(todayRow);

    m_rows = new QWidget(this);
    m_rows->setObjectName(u"prayerRows"_s);
    m_rowsLayout = new QVBoxLayout(m_rows);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setSpacing(7);
    stack->addWidget(m_rows);
    m_empty = new EmptyState(u"seal"_s, {}, u"Set a city and refresh today's times."_s, this);
    m_empty->setObjectName(u"prayerEmptyState"_s);
    stack->addWidget(m_empty);
}

void PrayersCard::connectControls()
{
    connect(m_refresh, &QAbstractButton::clicked, this, [this] { m_state.refreshPrayerTimes(true); });
    connect(m_set, &QAbstractButton::clicked, this, &PrayersCard::setLocation);
    connect(m_country, &PrayerLocationField::optionChosen, this, &PrayersCard::chooseCountry);
    connect(m_country->lineEdit(), &QLineEdit::textChanged, this, [this] {
        m_city->setOptions(prayers::cityOptions(m_country->text()));
        updateSetButton();
    });
    connect(m_city->lineEdit(), &QLineEdit::textChanged, this, &PrayersCard::updateSetButton);
    connect(&m_state, &AppState::changed, this, &PrayersCard::onStateChanged);
    // The countdown and the highlighted next prayer follow the clock while shown.
    connect(new MinuteTicker(m_state.clock(), this), &MinuteTicker::minutePassed, this, [this] {
        updateHeader();
        updateList();
    });
}

void PrayersCard::showEvent(QShowEvent *event)
{
    ModuleCard::showEvent(event);
    if (event->spontaneous())
        return;
    // Each appearance starts from the stored place; unconfirmed edits go.
    m_city->setText(m_state.prayerSettings().city);
    m_country->setText(m_state.prayerSettings().country);
    updateHeader();
    m_state.refreshPrayerTimesIfNeeded();
}

void PrayersCard::onStateChanged(AppState::Field field)
{
    switch (field) {
    case AppState::Field::prayerSettings:
        updateLocationStatus();
        updateList();
        break;
    case AppState::Field::prayerDay:
    case AppState::Field::prayerNotificationStates:
        updateHeader();
        updateList();
        break;
    case AppState::Field::isLoadingPrayers:
        updateRefreshButton();
        updateHeader();
        updateList();
        break;
    case AppState::Field::prayerStatus:
        updateLocationStatus();
        updateHeader();
        updateList();
        break;
    default: break;
    }
}

void PrayersCard::updateHeader()
{
    const std::optional<PrayerTime> upcoming = m_state.upcomingPrayer();
    const bool failed = m_state.prayerStatus().tint == StatusTint::orange && !m_state.isLoadingPrayers();
    m_nextName->setText(
        prayers::nextPrayerName(upcoming, prayers::timesMissing(m_state.prayerDay(), m_state.clock().now(), failed)));
    m_nextSubtitle->setText(prayers::nextPrayerSubtitle(upcoming, m_state.clock().now()));
}

void PrayersCard::updateLocationStatus()
{
    m_status->setText(prayers::locationStatus(m_state.prayerStatus().message, m_state.prayerSettings()));
    m_status->setColor(statusTintColor(m_state.prayerStatus().tint, prayersTint()));
}

void PrayersCard::updateSetButton()
{
    m_set->setEnabled(prayers::canSetLocation(m_city->text(), m_country->text()));
}

void PrayersCard::updateRefreshButton()
{
    // The button stays pressable while loading: a press forces another fetch.
    const bool loading = m_state.isLoadingPrayers();
    m_refresh->setSymbol(loading ? QString() : u"arrow.clockwise"_s);
    m_spinner->setVisible(loading);
    m_spinner->move((m_refresh->width() - 16) / 2, (m_refresh->height() - 16) / 2);
}

void PrayersCard::updateList()
{
    const std::optional<PrayerDay> &day = m_state.prayerDay();
    m_listCity->setText(day ? day->city : m_state.prayerSettings().city);
    const bool hasTimes = day && !day->times.empty();
    m_rows->setVisible(hasTimes);
    m_empty->setVisible(!hasTimes);
    if (!hasTimes) {
        // A failure is told once, in the status line above.
        m_empty->setContent(u"seal"_s, m_state.isLoadingPrayers() ? u"Loading prayers"_s : u"No prayer times"_s,
                            u"Set a city and refresh today's times."_s);
        return;
    }
    while (m_rowWidgets.size() > day->times.size()) {
        delete m_rowWidgets.back();
        m_rowWidgets.pop_back();
    }
    while (m_rowWidgets.size() < day->times.size()) {
        auto *row = new PrayerTimeRow(m_rows);
        connect(row, &PrayerTimeRow::notificationToggled, this, [this](bool enabled, const PrayerTime &prayer) {
            m_state.setPrayerNotificationEnabled(enabled, prayer);
        });
        m_rowsLayout->addWidget(row);
        m_rowWidgets.push_back(row);
    }
    const std::optional<PrayerTime> upcoming = m_state.upcomingPrayer();
    for (std::size_t i = 0; i < day->times.size(); ++i) {
        const PrayerTime &time = day->times[i];
        m_rowWidgets[i]->setPrayer(time, upcoming && upcoming->name == time.name,
                                   m_state.prayerNotificationEnabled(time));
    }
}

void PrayersCard::chooseCountry(const QString &chosen)
{
    const prayers::LocationFields next = prayers::chooseCountry({m_city->text(), m_country->text()}, chosen);
    m_country->setText(next.country);
    m_city->setText(next.city);
}

void PrayersCard::setLocation()
{
    if (!prayers::canSetLocation(m_city->text(), m_country->text()))
        return;
    m_state.updatePrayerLocation(m_city->text(), m_country->text());
}

} // namespace kolu
