#include "settings/pages/SoundscapesPage.h"

#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"
#include "services/notifications/NotificationService.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "settings/pages/CustomRadioStationEditor.h"
#include "settings/pages/RowHolder.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolLabel.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/widgets/SegmentedPicker.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <utility>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QColor kPlayingGreen(52, 168, 83);

struct SoundOption {
    const char *title;
    const char *value;
};

// "Bell" stores "calendar" in both lists; the others belong to one each.
constexpr SoundOption kFocusOptions[] = {
    {"Bell", "calendar"}, {"Chime", "chime"}, {"Soft", "soft"}, {"Digital", "digital"}, {"None", "off"}};
constexpr SoundOption kEventOptions[] = {{"Bell", "calendar"}, {"Ocean", "ocean"}, {"Birds", "birds"}, {"Off", "off"}};
const char kOff[] = "off";

template<std::size_t N>
QStringList titles(const SoundOption (&options)[N])
{
    QStringList list;
    for (const SoundOption &option : options)
        list << QObject::tr(option.title);
    return list;
}

// The option showing `value`; an unknown value plays the bell, so it shows it.
template<std::size_t N>
int indexOf(const SoundOption (&options)[N], const QString &value)
{
    for (std::size_t i = 0; i < N; ++i)
        if (value == QLatin1String(options[i].value))
            return int(i);
    return 0;
}

ElidedLabel *rowTitle(const QString &text, QWidget *parent)
{
    return settingsText(text, OrlixFonts::system(12, QFont::Bold), PaletteRole::secondaryText, 1, parent);
}

// A status row as a switch's label, the switch at its end.
OrlixSwitch *addSwitchRow(QVBoxLayout *into, SettingsRow *label, const QString &name, QWidget *parent)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(label, 1);
    auto *toggle = new OrlixSwitch(parent);
    toggle->setObjectName(name);
    toggle->setAccessibleName(label->titleLabel()->text());
    row->addWidget(toggle, 0, Qt::AlignVCenter);
    into->addWidget(rowHolder(row, nullptr));
    return toggle;
}

} // namespace

QString soundscapesPlaybackText(const AppState &state)
{
    const bool radioPlaying = state.quranAudioManager().status().kind() == QuranPlayerStatus::Kind::Playing;
    return radioPlaying || state.soundscapeAudioManager().isPlaying() ? QObject::tr("Playing") : QObject::tr("Ready");
}

SoundscapesPage::SoundscapesPage(SettingsView &view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
{
    setObjectName(u"soundscapesPage"_s);
    AppState &state = view.state();
    const OrlixStyle &style = OrlixStyle::current();
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    auto *card = new SettingsSectionCard;
    QVBoxLayout *content = card->contentLayout();

    auto *header = new QHBoxLayout;
    header->addWidget(new SymbolLabel(tr("Soundscapes & Alerts"), u"speaker.wave.2"_s,
                                      OrlixFonts::system(15, QFont::Bold), PaletteRole::text,
                                      SymbolLabel::Fit::wideLine, card),
                      1);
    m_playback = new ElidedLabel(QString(), card);
    m_playback->setObjectName(u"soundscapesPlaybackStatus"_s);
    m_playback->setFont(OrlixFonts::system(12, QFont::Bold));
    header->addWidget(m_playback, 0, Qt::AlignVCenter);
    content->addWidget(rowHolder(header, nullptr));

    auto *controls = new QVBoxLayout;
    controls->setSpacing(8);
    controls->addWidget(settingsStatusRow(tr("Now Playing"),
                                          tr("Controls radio and ambient sounds inside Soundscapes."), u"music.note"_s,
                                          style.tint(RailModule::nowPlaying), card));

    auto *focusRow = new QHBoxLayout;
    focusRow->setSpacing(10);
    focusRow->addWidget(rowTitle(tr("Focus alert sound"), card), 0, Qt::AlignVCenter);
    m_focusSound = new MenuPicker(titles(kFocusOptions), card);
    m_focusSound->setObjectName(u"soundscapesFocusSound"_s);
    m_focusSound->setAccessibleName(tr("Focus alert sound"));
    focusRow->addWidget(m_focusSound);
    focusRow->addStretch(1);
    controls->addWidget(rowHolder(focusRow, nullptr));

    auto *eventRow = new QHBoxLayout;
    eventRow->setSpacing(10);
    eventRow->addWidget(rowTitle(tr("Event alert sound"), card), 0, Qt::AlignVCenter);
    m_eventSound = new SegmentedPicker(titles(kEventOptions), card);
    m_eventSound->setObjectName(u"soundscapesEventSound"_s);
    m_eventSound->setAccessibleName(tr("Event alert sound"));
    eventRow->addWidget(m_eventSound, 1);
    controls->addWidget(rowHolder(eventRow, nullptr));
    auto *testRow = new QHBoxLayout;
    testRow->setSpacing(10);
    testRow->addWidget(settingsText(tr("Used for Calendar event alerts."), OrlixFonts::system(11, QFont::DemiBold),
                                    PaletteRole::secondaryText, 0, card),
                       1, Qt::AlignVCenter);
    m_test = new OrlixButton(OrlixButton::Kind::secondary, tr("Test"), card);
    m_test->setObjectName(u"soundscapesTestSound"_s);
    m_test->setSymbol(u"speaker.wave.2.fill"_s);
    testRow->addWidget(m_test);
    controls->addWidget(rowHolder(testRow, nullptr));

    m_reminderAlerts =
        addSwitchRow(controls,
                     settingsStatusRow(tr("Reminder alerts"), tr("Show a Kolu alert when a timed reminder is due."),
                                       u"checklist"_s, style.tint(RailModule::reminders), card),
                     u"soundscapesReminderAlerts"_s, card);
    content->addWidget(rowHolder(controls, nullptr));

    auto *open = new OrlixButton(OrlixButton::Kind::primary, tr("Open Soundscapes"), card);
    open->setObjectName(u"soundscapesOpen"_s);
    open->setSymbol(u"sidebar.right"_s);
    content->addWidget(open, 0, Qt::AlignLeft);
    content->addWidget(new SettingsDivider(card));
    m_bahrainStation = addSwitchRow(content,
                                    settingsStatusRow(tr("Bahrain Quran Radio"),
                                                      tr("Show the built-in Bahrain station in Quran Radio."),
                                                      u"radio"_s, style.tint(RailModule::nowPlaying), card),
                                    u"soundscapesBahrainStation"_s, card);
    content->addWidget(new SettingsDivider(card));
    content->addWidget(new CustomRadioStationEditor(view, card));
    page->addWidget(new SettingsGroup(tr("Audio"), card, this));

    SettingsViewSettings &settings = view.viewSettings();
    connect(m_focusSound, &MenuPicker::activated, this,
            [&settings](int index) { settings.setFocusAlertSound(QLatin1String(kFocusOptions[index].value)); });
    connect(m_eventSound, &SegmentedPicker::activated, this,
            [&settings](int index) { settings.setCalendarAlertSound(QLatin1String(kEventOptions[index].value)); });
    connect(m_test, &OrlixButton::clicked, this, &SoundscapesPage::testEventSound);
    // The state stores the flag; the view setting reads it back.
    connect(m_reminderAlerts, &OrlixSwitch::clicked, this,
            [this](bool on) { m_view.state().setReminderAlertsEnabled(on); });
    connect(open, &OrlixButton::clicked, this, [this] { m_view.openModule(RailModule::nowPlaying); });
    connect(m_bahrainStation, &OrlixSwitch::clicked, this,
            [this](bool on) { m_view.state().quranAudioManager().setBahrainStationEnabled(on); });

    connect(&settings, &SettingsViewSettings::changed, this, &SoundscapesPage::sync);
    QuranAudioManager &radio = state.quranAudioManager();
    connect(&radio, &QuranAudioManager::statusChanged, this, &SoundscapesPage::sync);
    connect(&radio, &QuranAudioManager::bahrainStationEnabledChanged, this, &SoundscapesPage::sync);
    connect(&state.soundscapeAudioManager(), &SoundscapeAudioManager::isPlayingChanged, this, &SoundscapesPage::sync);
    onStyleChange(this, &SoundscapesPage::sync);
    sync();
}

void SoundscapesPage::sync()
{
    const AppState &state = m_view.state();
    const SettingsViewSettings &settings = m_view.viewSettings();
    const QString playback = soundscapesPlaybackText(state);
    m_playback->setText(playback);
    m_playback->setColor(playback == tr("Playing") ? OrlixStyle::current().readable(kPlayingGreen)
                                                   : OrlixStyle::current().secondaryText());

    m_focusSound->setCurrentIndex(indexOf(kFocusOptions, settings.focusAlertSound()));
    const QString eventSound = settings.calendarAlertSound();
    m_eventSound->setCurrentIndex(indexOf(kEventOptions, eventSound));
    m_test->setEnabled(eventSound != QLatin1String(kOff));

    // The switches act on clicks alone, so setting them here loops back to nothing.
    m_reminderAlerts->setChecked(settings.reminderAlertsEnabled());
    m_bahrainStation->setChecked(state.quranAudioManager().isBahrainStationEnabled());
}

void SoundscapesPage::testEventSound()
{
    // Plays the stored event sound, writing its file first when it is missing.
    m_view.state().notificationService().playCalendarAlertSound();
}

} // namespace kolu
