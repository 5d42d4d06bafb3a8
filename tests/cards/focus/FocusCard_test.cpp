#include "cards/focus/FocusCard.h"
#include "cards/focus/FocusControls.h"
#include "cards/focus/FocusTimerRing.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/ShrinkLabel.h"

#include "style/OrlixStyle.h"
#include "cards/focus/FocusRules.h"
#include "style/Motion.h"

#include "../CardTest.h"
#include "../../style/ColorMeasure.h"
#include "../../style/LightLooks.h"

#include <QMenu>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace kolu {
namespace {

class FocusCardTest : public test::CardTest<FocusCard> {
protected:
    void SetUp() override
    {
        CardTest::SetUp();
        state->loadSavedState();
    }

    FocusDurationField *field() const { return find<FocusDurationField>(u"focusDurationField"_s); }
    QAbstractButton *timeButton() const { return find<QAbstractButton>(u"focusTimeButton"_s); }
    QAbstractButton *primary() const { return find<QAbstractButton>(u"focusPrimaryButton"_s); }
    bool enabled(const QString &name) const { return find(u"focus"_s + name + u"Button"_s)->isEnabled(); }
    std::optional<PomodoroState> saved() const { return state->files().read<PomodoroFile>(); }

    // Opens the field by clicking the time and types `text` over its content.
    void typeDuration(const QString &text)
    {
        QTest::mouseClick(timeButton(), Qt::LeftButton);
        ASSERT_TRUE(card->isEditingDuration());
        QTest::keyClicks(field(), text);
    }
};

TEST_F(FocusCardTest, ATypedDurationIsCommittedRoundedUpAndSavedAndOnlyIt)
{
    makeCard();
    auto *caption = find<QWidget>(u"focusModeTitle"_s);
    QCoreApplication::sendPostedEvents();
    const QPoint captionAt = caption->mapTo(card.get(), QPoint());
    QTest::mouseClick(timeButton(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(caption->mapTo(card.get(), QPoint()), captionAt) << "the caption stays put";
    EXPECT_FALSE(timeButton()->isVisible());
    EXPECT_EQ(card->window()->focusWidget(), field()) << "typing goes straight into the field";
    QTest::keyClick(field(), Qt::Key_Escape);

    // Unparsable text, Escape, and the unchanged length all close the editor
    // and save nothing.
    const std::pair<QString, Qt::Key> edits[] = {
        {u"7:"_s, Qt::Key_Return}, {u"1:60"_s, Qt::Key_Return}, {u"9"_s, Qt::Key_Escape}, {u"25"_s, Qt::Key_Return}};
    for (const auto &[typed, key] : edits) {
        typeDuration(typed);
        QTest::keyClick(field(), key);
        EXPECT_FALSE(card->isEditingDuration()) << typed.toStdString();
        EXPECT_EQ(card->durationText(), u"25:00"_s) << typed.toStdString();
        EXPECT_FALSE(saved()) << typed.toStdString() << " wrote the timer";
    }

    // Letters and spaces never reach the field.
    typeDuration(u"4x :3a0"_s);
    EXPECT_EQ(field()->text(), u"4:30"_s);
    QTest::keyClick(field(), Qt::Key_Return);

    EXPECT_TRUE(timeButton()->isVisible());
    EXPECT_EQ(timeButton()->text(), u"05:00"_s);
    ASSERT_TRUE(saved());
    EXPECT_EQ(saved()->focusDuration, 300);
    EXPECT_EQ(saved()->remaining, 300);

    // Selected digits show in the theme's colours.
    EXPECT_EQ(field()->palette().color(QPalette::Active, QPalette::Highlight),
              OrlixStyle::current().primaryButtonFill());
}

TEST_F(FocusCardTest, StartLocksTheDurationUntilResetAndTheAlertSoundIsStored)
{
    defaults.set(SettingsKey::focusAlertSound, u"trumpet"_s);
    makeCard();
    QTest::mouseClick(primary(), Qt::LeftButton);

    EXPECT_TRUE(state->pomodoro().isRunning);
    EXPECT_EQ(primary()->text(), u"Pause"_s);
    for (const QString &name : {u"Minus"_s, u"Plus"_s, u"Minutes"_s, u"Time"_s})
        EXPECT_FALSE(enabled(name)) << name.toStdString();
    card->beginDurationEdit();
    card->adjustFocusMinutes(5);
    EXPECT_FALSE(card->isEditingDuration());
    EXPECT_EQ(state->pomodoro().focusDuration, 1500);

    // Paused part-way: still locked, and the button resumes.
    clock.advance(60s);
    QTest::mouseClick(primary(), Qt::LeftButton);
    EXPECT_FALSE(state->pomodoro().isRunning);
    EXPECT_EQ(primary()->text(), u"Resume"_s);
    EXPECT_FALSE(enabled(u"Plus"_s));

    click(u"focusResetButton"_s);
    EXPECT_EQ(primary()->text(), u"Start"_s);
    EXPECT_TRUE(enabled(u"Plus"_s));

    // The steps clamp, and the minus at one minute still saves.
    for (int i = 0; i < 30; ++i)
        click(u"focusMinusButton"_s);
    EXPECT_EQ(card->focusMinutes(), 1);
    EXPECT_EQ(saved()->focusDuration, 60);
    EXPECT_EQ(card->durationText(), u"01:00"_s);

    click(u"focusSkipButton"_s);
    EXPECT_EQ(state->pomodoro().mode, PomodoroMode::breakTime);
    EXPECT_EQ(find<ShrinkLabel>(u"focusModeTitle"_s)->text(), u"Break time"_s);

    auto *picker = find<MenuPicker>(u"focusAlertSoundPicker"_s);
    EXPECT_EQ(picker->currentIndex(), 0) << "an unknown sound plays the bell, so the bell shows";

    for (const auto &[item, stored] : {std::pair{1, u"chime"_s}, {4, u"off"_s}, {0, u"calendar"_s}}) {
        QAction *action = picker->menu()->findChild<QAction *>(u"menuPickerItem%1"_s.arg(item));
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(defaults.string(SettingsKey::focusAlertSound), stored);
    }
}

TEST_F(FocusCardTest, RestartAfterCompletionRunsOneFullSession)
{
    state->start();
    makeCard();
    state->mutate<AppState::Field::pomodoro>([](PomodoroState &p) { p.remaining = 0; });
    EXPECT_EQ(primary()->text(), u"Restart"_s);
    EXPECT_EQ(find<ShrinkLabel>(u"focusModeTitle"_s)->text(), u"Complete"_s);
    const size_t before = services.notifications->banners.size();

    QTest::mouseClick(primary(), Qt::LeftButton);
    clock.advance(2s);
    EXPECT_TRUE(state->pomodoro().isRunning);
    EXPECT_EQ(state->pomodoro().remaining, 1498);
    EXPECT_EQ(services.notifications->banners.size(), before) << "a restart is not a second ending";

    clock.advance(1500s);
    EXPECT_TRUE(test::waitUntil([&] { return services.notifications->banners.size() == before + 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(services.notifications->banners.size(), before + 1) << "one ending, one banner";
    EXPECT_EQ(services.notifications->banners.back().content.title, u"Focus finished"_s);
}

// Measured from the pixels: the orange "Focus time" and "25 min" read on a
// light card in every light look.
TEST_F(FocusCardTest, TheOrangeTextsReadOnLightCards)
{
    OrlixStyle style(defaults);
    makeCard();
    for (const char *theme : test::kLightThemes) {
        SCOPED_TRACE(theme);
        test::useLightLook(defaults, style, theme);
        const QColor backdrop = test::lightCardBackdrop(style);
        for (const char *name : {"focusModeTitle", "focusMinutesButton"}) {
            QWidget *part = find(QString::fromLatin1(name));
            ASSERT_NE(part, nullptr);
            EXPECT_GE(test::drawnContrast(*part, part->rect(), backdrop), kBodyTextContrast) << name;
        }
    }
}

TEST(FocusTimerRingTest, TheArcRunsClockwiseFromTheTop)
{
    FocusTimerRing ring;
    ring.setTint(QColor(255, 0, 0));
    const int centre = FocusTimerRing::kSize / 2;
    const int edge = (FocusTimerRing::kSize - FocusTimerRing::kDialSize) / 2 + FocusTimerRing::kTrackInset;
    // Right, bottom and left of the track: which are painted in the tint.
    const QPoint points[] = {
        {FocusTimerRing::kSize - edge, centre}, {centre, FocusTimerRing::kSize - edge}, {edge, centre}};
    for (const auto &[progress, painted] : {std::pair{0.0, 0}, {0.3, 1}, {0.6, 2}, {1.0, 3}}) {
        ring.setProgress(progress);
        const QImage image = ring.grab().toImage();
        for (int i = 0; i < 3; ++i) {
            const QColor c = image.pixelColor(points[i]);
            EXPECT_EQ(c.red() > 200 && c.green() < 80 && c.blue() < 80, i < painted) << progress << " " << i;
        }
    }

    // The longest time shrinks onto one line instead of being cut.
    ring.setDisplayTime(u"180:00"_s);
    const ShrinkLabel *time = ring.timeButton()->label();
    EXPECT_GE(time->scaleFor(time->width()), 0.72);
    EXPECT_EQ(time->shownText(time->width()), u"180:00"_s);
}

// What a widget repaints.
struct PaintRecorder : QObject {
    explicit PaintRecorder(QWidget &widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
    QRegion region;
};

TEST(CardMotion, FocusArcAndTimeFieldSwapMoveThenRest)
{
    test::Frames frames;
    FocusTimerRing ring;
    ring.setProgress(0.25); // unseen: lands at once
    EXPECT_DOUBLE_EQ(ring.shownProgress(), 0.25);
    ring.show();
    ring.setProgress(0.75);
    EXPECT_DOUBLE_EQ(ring.progress(), 0.75) << "the value is the card's at once";
    frames.advanceBy(80);
    EXPECT_TRUE(test::between(ring.shownProgress(), 0.25, 0.75));
    frames.advanceBy(OrlixMotion::smooth().durationMs);
    EXPECT_DOUBLE_EQ(ring.shownProgress(), 0.75);
    EXPECT_FALSE(ring.isMoving());

    ring.setEditing(true);
    EXPECT_TRUE(ring.field()->isVisible());
    EXPECT_LT(ring.swapOpacity(), 0.1) << "the field fades in";
    frames.advanceBy(120);
    EXPECT_GT(ring.swapOpacity(), 0.1);
    frames.advanceBy(OrlixMotion::smooth().durationMs);
    EXPECT_DOUBLE_EQ(ring.swapOpacity(), 1.0);
    EXPECT_EQ(ring.field()->graphicsEffect(), nullptr) << "at rest it paints directly";
    ring.setEditing(false);
    EXPECT_TRUE(ring.timeButton()->isVisible());
    frames.advanceBy(OrlixMotion::smooth().durationMs + 16);
    EXPECT_FALSE(test::anyRunning(ring));

    // A second's tick of a 25-minute session moves the arc's end a third of
    // a pixel: it lands at once, and only around the arc's end is painted.
    PaintRecorder painted(ring);
    ring.setProgress(0.75 + 1.0 / 1500);
    EXPECT_FALSE(ring.isMoving());
    EXPECT_DOUBLE_EQ(ring.shownProgress(), 0.75 + 1.0 / 1500);
    frames.advanceBy(16);
    const QRect repainted = painted.region.boundingRect();
    EXPECT_TRUE(repainted.contains(QPoint(107 - 78, 107))) << "the end, at nine o'clock";
    EXPECT_LE(repainted.width() * repainted.height(), 24 * 24);
}

using namespace focus;

TEST(FocusRules, DurationTextsAreFilteredParsedAndRoundedUpToWholeMinutes)
{
    const std::pair<QString, std::optional<int>> cases[] = {
        {u"25"_s, 1500}, {u"25:00"_s, 1500}, {u" 1:30\n"_s, 90}, {u"+2"_s, 120},   {u"0:59"_s, 59},
        {u"7:"_s, {}},   {u":30"_s, {}},     {u"1:60"_s, {}},    {u"1:2:3"_s, {}}, {u""_s, {}},
        {u"  "_s, {}},   {u"a5"_s, {}},      {u"+"_s, {}},       {u"٣"_s, {}},     {u"1:+"_s, {}},
    };
    for (const auto &[typed, seconds] : cases)
        EXPECT_EQ(parsedDurationSeconds(typed), seconds) << typed.toStdString();

    const std::pair<int, int> minutes[] = {{90 * 60, 90}, {270, 5}, {59, 1},        {0, 1},
                                           {-300, 1},     {61, 2},  {999 * 60, 180}};
    for (const auto &[seconds, expected] : minutes)
        EXPECT_EQ(minutesForSeconds(seconds), expected) << seconds;

    const std::pair<int, QString> texts[] = {
        {5, u"05:00"_s}, {25, u"25:00"_s}, {180, u"180:00"_s}, {0, u"01:00"_s}, {400, u"180:00"_s}};
    for (const auto &[m, text] : texts)
        EXPECT_EQ(durationText(m), text) << m;

    EXPECT_EQ(filterDurationText(u"1a2 :b3"_s), u"12:3"_s);
    EXPECT_EQ(filterDurationText(u"180:00"_s), u"180:0"_s);
    EXPECT_EQ(filterDurationText(u"abc"_s), QString());
    // The kept text of a 3-digit length still parses as that length.
    EXPECT_EQ(minutesForSeconds(*parsedDurationSeconds(filterDurationText(durationText(120)))), 120);
}

TEST(FocusRules, SessionStatesGiveTheirTitlesAndProgress)
{
    // A 25-minute focus and a 5-minute break.
    const auto session = [](bool running, double remaining, PomodoroMode mode = PomodoroMode::focus) {
        PomodoroState p;
        p.isRunning = running;
        p.remaining = remaining;
        p.mode = mode;
        return p;
    };
    const std::tuple<PomodoroState, QString, QString, double> cases[] = {
        {session(false, 1500), u"Start"_s, u"Focus time"_s, 0},
        {session(true, 375), u"Pause"_s, u"Focus time"_s, 0.75},
        {session(false, 375), u"Resume"_s, u"Focus time"_s, 0.75},
        {session(false, 0), u"Restart"_s, u"Complete"_s, 1},
        {session(false, 3000), u"Start"_s, u"Focus time"_s, 0}, // snoozed past the length: still ready
        {session(false, 150, PomodoroMode::breakTime), u"Resume"_s, u"Break time"_s, 0.5},
    };
    for (const auto &[state, action, mode, expected] : cases) {
        EXPECT_EQ(primaryActionTitle(state), action) << state.remaining;
        EXPECT_EQ(modeTitle(state), mode) << state.remaining;
        EXPECT_DOUBLE_EQ(progress(state), expected) << state.remaining;
    }

    PomodoroState odd;
    for (const auto &[seconds, minutes] : {std::pair{89.0, 1}, {90.0, 2}, {30.0, 1}, {10800.0, 180}}) {
        odd.focusDuration = seconds;
        EXPECT_EQ(pomodoroMinutes(odd), minutes) << seconds;
    }
}

} // namespace
} // namespace kolu
