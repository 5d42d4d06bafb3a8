#include "cards/focus/FocusCard.h"

#include "cards/focus/FocusControls.h"
#include "cards/focus/FocusRules.h"
#include "cards/focus/FocusTimerRing.h"
#include "model/UserDefaults.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QJsonValue>

using namespace Qt::StringLiterals;

namespace kolu {

FocusCard::FocusCard(AppState &state, QWidget *parent)
    : ModuleCard(u"Focus"_s, u"timer"_s, parent)
    , m_state(state)
    , m_ring(new FocusTimerRing(this))
    , m_duration(new FocusDurationControl(this))
    , m_primary(new OrlixButton(OrlixButton::Kind::primary, u"Start"_s, this))
    , m_sound(new MenuPicker(focus::alertSoundTitles(), this))
    , m_reset(new OrlixButton(OrlixButton::Kind::secondary, {}, this))
    , m_skip(new OrlixButton(OrlixButton::Kind::secondary, {}, this))
{
    setObjectName(u"focusCard"_s);
    m_primary->setObjectName(u"focusPrimaryButton"_s);
    m_sound->setObjectName(u"focusAlertSoundPicker"_s);
    m_reset->setObjectName(u"focusResetButton"_s);
    m_skip->setObjectName(u"focusSkipButton"_s);

    QVBoxLayout *stack = contentLayout();
    stack->setSpacing(6);
    stack->addWidget(m_ring, 0, Qt::AlignHCenter);
    stack->addWidget(m_duration);

    m_primary->setMinimumWidth(112);
    m_primary->setMinimumHeight(32);
    stack->addWidget(m_primary, 0, Qt::AlignHCenter);

    m_sound->setFixedWidth(128);
    m_sound->setToolTip(u"Alert Sound"_s);
    m_sound->setAccessibleName(u"Alert Sound"_s);
    stack->addWidget(new FocusSettingsRow(u"Alert Sound"_s, m_sound, this));

    m_reset->setSymbol(u"arrow.counterclockwise"_s);
    m_reset->setToolTip(u"Reset"_s);
    m_reset->setAccessibleName(u"Reset"_s);
    m_skip->setSymbol(u"forward.end.fill"_s);
    m_skip->setToolTip(u"Skip"_s);
    m_skip->setAccessibleName(u"Skip"_s);
    auto *actions = new QHBoxLayout;
    actions->setSpacing(10);
    actions->addStretch(1);
    actions->addWidget(m_reset);
    actions->addWidget(m_skip);
    actions->addStretch(1);
    stack->addLayout(actions);

    // Each appearance starts from the saved length.
    m_focusMinutes = m_seenPomodoroMinutes = focus::pomodoroMinutes(state.pomodoro());
    setDurationText(focus::durationText(m_focusMinutes));
    showAlertSound();

    FocusDurationField *field = m_ring->field();
    connect(field, &QLineEdit::textChanged, this, &FocusCard::filterDurationText);
    connect(m_ring, &FocusTimerRing::beginEditingRequested, this, &FocusCard::beginDurationEdit);
    connect(m_ring, &FocusTimerRing::commitRequested, this, &FocusCard::commitDurationText);
    connect(m_ring, &FocusTimerRing::cancelRequested, this, &FocusCard::cancelDurationEdit);
    connect(m_duration, &FocusDurationControl::decrement, this, [this] { adjustFocusMinutes(-1); });
    connect(m_duration, &FocusDurationControl::increment, this, [this] { adjustFocusMinutes(1); });
    connect(m_duration, &FocusDurationControl::beginEditing, this, &FocusCard::beginDurationEdit);
    connect(m_primary, &QAbstractButton::clicked, this, &FocusCard::toggleFocus);
    connect(m_sound, &MenuPicker::activated, this, &FocusCard::chooseAlertSound);
    connect(m_reset, &QAbstractButton::clicked, this, [this] {
        m_state.mutate<AppState::Field::pomodoro>([](PomodoroState &p) { p.reset(); });
        m_state.persist();
    });
    connect(m_skip, &QAbstractButton::clicked, this, [this] {
        m_state.mutate<AppState::Field::pomodoro>([](PomodoroState &p) { p.skip(); });
        m_state.persist();
    });
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::pomodoro)
            pomodoroChanged();
    });
    // The end-of-session sound is shared with the tick and the settings window.
    connect(&state.defaults(), &UserDefaults::changed, this, [this](SettingsKey key) {
        if (key == SettingsKey::focusAlertSound)
            showAlertSound();
    });
    onStyleChange(this, &FocusCard::refresh);
    refresh();
}

void FocusCard::showAlertSound()
{
    m_sound->setCurrentIndex(focus::alertSoundIndex(m_state.defaults().string(SettingsKey::focusAlertSound)));
}

QString FocusCard::durationText() const
{
    return m_ring->field()->text();
}

bool FocusCard::isLocked() const
{
    const PomodoroState &pomodoro = m_state.pomodoro();
    return pomodoro.isRunning || focus::isPausedSession(pomodoro);
}

void FocusCard::setDurationText(const QString &text)
{
    // The field's own filter runs on this text too.
    m_ring->field()->setText(text);
}

void FocusCard::filterDurationText()
{
    if (m_filtering)
        return;
    FocusDurationField *field = m_ring->field();
    const QString kept = focus::filterDurationText(field->text());
    if (kept == field->text())
        return;
    m_filtering = true;
    const int cursor = std::min(field->cursorPosition(), static_cast<int>(kept.size()));
    field->setText(kept);
    field->setCursorPosition(cursor);
    m_filtering = false;
}

void FocusCard::setEditing(bool editing)
{
    m_editing = editing;
    m_ring->setEditing(editing);
}

void FocusCard::beginDurationEdit()
{
    if (isLocked())
        return;
    setDurationText(focus::durationText(m_focusMinutes));
    setEditing(true);
}

void FocusCard::cancelDurationEdit()
{
    setDurationText(focus::durationText(m_focusMinutes));
    setEditing(false);
}

void FocusCard::commitDurationText()
{
    if (isLocked())
        return;
    const auto seconds = focus::parsedDurationSeconds(durationText());
    if (!seconds) {
        cancelDurationEdit();
        return;
    }
    const int minutes = focus::minutesForSeconds(*seconds);
    m_focusMinutes = minutes;
    setDurationText(focus::durationText(minutes));
    setEditing(false);
    if (minutes == focus::pomodoroMinutes(m_state.pomodoro())) {
        refresh();
        return;
    }
    m_state.mutate<AppState::Field::pomodoro>([minutes](PomodoroState &p) { p.setFocusMinutes(minutes); });
    m_state.persist();
}

void FocusCard::adjustFocusMinutes(int step)
{
    if (isLocked())
        return;
    const int minutes = std::clamp(m_focusMinutes + step, focus::kMinMinutes, focus::kMaxMinutes);
    m_focusMinutes = minutes;
    setDurationText(focus::durationText(minutes));
    m_state.mutate<AppState::Field::pomodoro>([minutes](PomodoroState &p) { p.setFocusMinutes(minutes); });
    m_state.persist();
    refresh();
}

void FocusCard::toggleFocus()
{
    m_state.setPomodoroAlertVisible(false);
    if (m_state.pomodoro().isRunning) {
        const QDateTime now = m_state.clock().now();
        m_state.mutate<AppState::Field::pomodoro>([&now](PomodoroState &p) { p.pause(now); });
    } else {
        if (!focus::isPausedSession(m_state.pomodoro()))
            commitDurationText();
        const QDateTime now = m_state.clock().now();
        m_state.mutate<AppState::Field::pomodoro>([&now](PomodoroState &p) {
            // A finished period restarts full; running it with nothing left
            // would only end it again at the next tick.
            if (p.remaining <= 0)
                p.reset();
            p.isRunning = true;
            p.startedAt = now;
            p.finishedPendingNotification = false;
        });
    }
    m_state.persist();
}

void FocusCard::chooseAlertSound(int index)
{
    const QStringList &values = focus::alertSoundValues();
    if (index < 0 || index >= values.size())
        return;
    m_state.defaults().set(SettingsKey::focusAlertSound, values[index]);
}

void FocusCard::pomodoroChanged()
{
    const int minutes = focus::pomodoroMinutes(m_state.pomodoro());
    if (minutes != m_seenPomodoroMinutes) {
        m_seenPomodoroMinutes = minutes;
        m_focusMinutes = minutes;
        if (!m_editing)
            setDurationText(focus::durationText(minutes));
    }
    refresh();
}

QColor FocusCard::modeTint() const
{
    const RailModule module =
        m_state.pomodoro().mode == PomodoroMode::breakTime ? RailModule::reminders : RailModule::focus;
    return OrlixStyle::current().tint(module);
}

void FocusCard::refresh()
{
    const PomodoroState &pomodoro = m_state.pomodoro();
    const bool locked = isLocked();
    const QColor tint = modeTint();
    m_ring->setDisplayTime(pomodoro.displayTime());
    m_ring->setProgress(focus::progress(pomodoro));
    m_ring->setTint(tint);
    m_ring->setModeTitle(focus::modeTitle(pomodoro));
    m_ring->setCanEditDuration(!locked);
    m_duration->setMinutes(m_focusMinutes);
    m_duration->setTint(tint);
    m_duration->setLocked(locked);
    const QString title = focus::primaryActionTitle(pomodoro);
    if (m_primary->text() != title) {
        m_primary->setText(title);
        m_primary->setToolTip(title);
        m_primary->updateGeometry();
    }
    m_primary->setSymbol(pomodoro.isRunning ? u"pause.fill"_s : u"play.fill"_s);
}

} // namespace kolu
