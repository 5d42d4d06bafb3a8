#include "model/UserDefaults.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/ModuleCard.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/SegmentedPicker.h"
#include "style/widgets/ShrinkLabel.h"
#include "style/widgets/SmallSpinner.h"

#include "ManualAnimationDriver.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// A style of the test's own over a fresh defaults file.
struct KitWidgets : ::testing::Test {
    test::TemporaryHome home;
    UserDefaults defaults{home.path(u"defaults.json"_s)};
    OrlixStyle style{defaults};
};

} // namespace

TEST_F(KitWidgets, APrimaryButtonIsFilledInItsThemesFillAndDimsWhilePressed)
{
    test::ManualAnimationDriver clock;
    OrlixButton button(OrlixButton::Kind::primary, QString());
    button.resize(80, 30);
    button.show();
    for (const char *theme : {"default", "flatOlive", "heroLight", "activeDark"}) {
        defaults.set(u"orlixTheme"_s, QString::fromLatin1(theme));
        EXPECT_EQ(button.grab().toImage().pixel(4, 15), style.primaryButtonFill().rgb()) << theme;
    }
    const int background = button.palette().color(QPalette::Window).red();
    QTest::mousePress(&button, Qt::LeftButton);
    // The press eases in over 0.12 s, through values between.
    bool between = false;
    for (int elapsed = 0; elapsed < 300 && button.pressProgress() < 1.0; elapsed += 16) {
        clock.advanceBy(16);
        between = between || (button.pressProgress() > 0 && button.pressProgress() < 1);
    }
    EXPECT_TRUE(between);
    EXPECT_DOUBLE_EQ(button.pressProgress(), 1.0);
    // 78 % of the green fill over the window behind the button.
    const QRgb pressed = button.grab().toImage().pixel(40, 15);
    EXPECT_NEAR(qRed(pressed), qRound(0.31 * 255 * 0.78 + background * 0.22), 2);
    QTest::mouseRelease(&button, Qt::LeftButton);
    clock.advanceBy(130);
    EXPECT_DOUBLE_EQ(button.pressProgress(), 0.0);
}

TEST_F(KitWidgets, EmptyStateShowsTwoSubtitleLinesAndCutsTheRest)
{
    EmptyState empty(u"checklist"_s, u"Nothing due"_s,
                     u"First line of a long explanation that wraps, a second line that keeps going on and on, "
                     "and a third line that must not be shown at all in such a narrow row"_s);
    const QStringList lines = empty.subtitleLabel()->visibleLines(200);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.constLast().endsWith(QChar(0x2026)));
    EXPECT_TRUE(empty.subtitleLabel()->isElided(200));
    EXPECT_FALSE(empty.titleLabel()->isElided(200));
    EXPECT_EQ(empty.subtitleLabel()->heightForWidth(200),
              2 * QFontMetrics(empty.subtitleLabel()->font()).lineSpacing());

    // Laid out at a card's width and given the height that width needs,
    // both lines show: nothing is squeezed to the one-line size hint.
    for (const int width : {282, 362}) {
        ModuleCard card(u"Reminders"_s, u"checklist"_s);
        auto *empty = new EmptyState(u"checklist"_s, u"No open reminders"_s,
                                     u"Open reminders from your to-do folder will appear here, sooner or later."_s);
        card.addContent(empty);
        card.resize(width, card.heightForWidth(width));
        card.show();
        QCoreApplication::sendPostedEvents();
        ElidedLabel *subtitle = empty->subtitleLabel();
        ASSERT_EQ(subtitle->visibleLines(subtitle->width()).size(), 2) << width;
        EXPECT_GE(subtitle->height(), subtitle->heightForWidth(subtitle->width())) << width;
        EXPECT_LE(subtitle->mapTo(&card, QPoint(0, subtitle->height())).y(), card.height() - ModuleCard::kPadding);
    }
}

TEST_F(KitWidgets, AShrinkableButtonDropsItsSymbolBeforeItsLetters)
{
    OrlixButton button(OrlixButton::Kind::secondary, u"Notes folder"_s);
    button.setSymbol(u"note.text"_s);
    button.setShrinkable(true);
    EXPECT_LT(button.minimumSizeHint().width(), button.sizeHint().width() - 12);
    button.resize(button.sizeHint());
    EXPECT_TRUE(button.showsSymbol());
    button.resize(button.sizeHint().width() - 10, button.sizeHint().height());
    EXPECT_FALSE(button.showsSymbol());
    button.grab(); // paints at every width without running over
    button.resize(button.minimumSizeHint());
    button.grab();
}

// The lines kept per width follow every change of line limit, font and text.
TEST_F(KitWidgets, ElidedLabelRewrapsWhatChanges)
{
    ElidedLabel label(u"A much longer text that wraps over more lines than the label shows at all"_s);
    EXPECT_EQ(label.visibleLines(200).size(), 1);
    label.setMaximumLines(3);
    EXPECT_EQ(label.visibleLines(200).size(), 3);
    const QString first = label.visibleLines(200).constFirst();
    label.setFont(QFont(label.font().family(), 24));
    EXPECT_LT(label.visibleLines(200).constFirst().size(), first.size());
    label.setText(u"a\nb"_s); // fits on one line, yet breaks
    EXPECT_EQ(label.visibleLines(200), (QStringList{u"a"_s, u"b"_s}));
}

// A path in a sentence is never broken over two lines: the sentence's words
// stay whole, and the path is cut in its middle, keeping its last name.
TEST_F(KitWidgets, ElidedLabelKeepsAPathOnOneLineWithItsLastName)
{
    const QString before = u"Allow Kolu to use your notes folder. No usable folder yet (looked in "_s;
    const QString path = u"~/Sync/notes/shared/household/groceries"_s;
    ElidedLabel label;
    label.setMaximumLines(2);
    label.setPathText(before, path, u")."_s);
    EXPECT_EQ(label.text(), before + path + u")."_s);
    const QFontMetricsF metrics(label.font());
    const QStringList words = before.split(u' ', Qt::SkipEmptyParts);
    for (int width = 150; width <= 700; width += 10) {
        const QStringList lines = label.visibleLines(width);
        ASSERT_FALSE(lines.isEmpty());
        for (const QString &line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), width + 0.5) << line.toStdString();
        const QString shown = lines.join(u' ');
        if (width >= 260) {
            EXPECT_TRUE(lines.constLast().endsWith(u"/groceries)."_s)) << width << shown.toStdString();
            for (const QString &word : words)
                EXPECT_TRUE(shown.contains(word)) << width << word.toStdString();
        }
        // The path is on one line: either whole, or cut only in its middle.
        EXPECT_EQ(label.isElided(width), !shown.contains(path)) << width;
    }
    // A line of its own when the sentence's last line cannot hold it.
    label.setMaximumLines(3);
    const QStringList three = label.visibleLines(300);
    ASSERT_EQ(three.size(), 3);
    EXPECT_TRUE(three.at(2).startsWith(u"~/Sync/"_s));
    // A sentence after the path that would squeeze it goes on the lines below.
    const QString rest = u"is gone or can’t be opened. Bring it back."_s;
    label.setPathText({}, u"“"_s + path + u"”"_s, u" "_s + rest);
    const QStringList below = label.visibleLines(230);
    ASSERT_GE(below.size(), 2) << below.join(u'|').toStdString();
    EXPECT_TRUE(below.at(0).startsWith(u"“~/"_s) && below.at(0).endsWith(u"/groceries”"_s));
    EXPECT_EQ(below.mid(1).join(u' '), rest);
    label.setText(u"plain"_s); // a plain text forgets the path
    EXPECT_EQ(label.visibleLines(300), QStringList{u"plain"_s});
}

TEST_F(KitWidgets, ShrinkLabelShrinksToItsFloorThenCuts)
{
    ShrinkLabel label(u"A fairly long sound title"_s);
    label.setMinimumScaleFactor(0.75);
    const int natural = label.sizeHint().width();
    EXPECT_EQ(label.scaleFor(natural + 5), 1.0);
    EXPECT_EQ(label.shownText(natural + 5), label.text());
    const int slightly = int(natural * 0.85);
    EXPECT_NEAR(label.scaleFor(slightly), 0.85, 0.02);
    EXPECT_EQ(label.shownText(slightly), label.text());
    EXPECT_DOUBLE_EQ(label.scaleFor(natural / 2), 0.75);
    EXPECT_TRUE(label.shownText(natural / 2).endsWith(QChar(0x2026)));
}

TEST_F(KitWidgets, PickersAndSwitchFollowTheUser)
{
    test::ManualAnimationDriver clock;
    SegmentedPicker picker({u"System"_s, u"Dark"_s, u"Light"_s});
    picker.resize(240, 26);
    picker.setCurrentIndex(0);
    picker.show();
    QSignalSpy activated(&picker, &SegmentedPicker::activated);
    QTest::mouseClick(&picker, Qt::LeftButton, {}, picker.segmentRect(2).center().toPoint());
    EXPECT_EQ(picker.currentIndex(), 2);
    EXPECT_EQ(activated.value(0).value(0).toInt(), 2);
    QTest::keyClick(&picker, Qt::Key_Left);
    EXPECT_EQ(picker.currentIndex(), 1);
    QTest::keyClick(&picker, Qt::Key_Right);
    QTest::keyClick(&picker, Qt::Key_Right);
    EXPECT_EQ(picker.currentIndex(), 2) << "stops at the last segment";
    picker.setCurrentIndex(0);
    EXPECT_EQ(activated.count(), 4) << "choosing in code is not the user's choice";

    OrlixSwitch toggle;
    toggle.show();
    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_TRUE(toggle.isChecked());
    clock.advanceBy(1000);
    EXPECT_DOUBLE_EQ(toggle.knobPosition(), 1.0);
    QTest::keyClick(&toggle, Qt::Key_Space);
    EXPECT_FALSE(toggle.isChecked());

    MenuPicker menu({u"Bell"_s, u"Ocean"_s, u"Birds"_s});
    menu.setCurrentIndex(0);
    QSignalSpy chosen(&menu, &MenuPicker::activated);
    QAction *ocean = menu.menu()->findChild<QAction *>(u"menuPickerItem1"_s);
    ASSERT_NE(ocean, nullptr);
    ocean->trigger();
    EXPECT_EQ(menu.currentIndex(), 1);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_TRUE(ocean->isChecked());
    EXPECT_FALSE(menu.menu()->findChild<QAction *>(u"menuPickerItem0"_s)->isChecked());
}

TEST_F(KitWidgets, SpinnerRunsOnlyWhileShownAndCardHoldsItsContent)
{
    test::ManualAnimationDriver clock;
    SmallSpinner spinner;
    EXPECT_FALSE(spinner.isAnimating());
    spinner.show();
    EXPECT_TRUE(spinner.isAnimating());
    const int before = spinner.phase();
    clock.advanceBy(250);
    EXPECT_NE(spinner.phase(), before);
    spinner.hide();
    EXPECT_FALSE(spinner.isAnimating());

    ModuleCard card(u"A very long title that the card itself never draws"_s, u"note.text"_s);
    auto *label = new ElidedLabel(u"content"_s);
    card.addContent(label);
    card.resize(318, 120);
    card.show();
    EXPECT_EQ(label->parentWidget(), &card);
    EXPECT_EQ(label->x(), ModuleCard::kPadding);
    EXPECT_EQ(label->y(), ModuleCard::kPadding);
}

TEST_F(KitWidgets, AButtonAllowedToShrinkFitsItsLabelThenCutsIt)
{
    OrlixButton button(OrlixButton::Kind::secondary, u"Set Wallpaper"_s);
    button.setSymbol(u"checkmark.circle.fill"_s);
    const int natural = button.sizeHint().width();
    EXPECT_EQ(button.minimumSizeHint(), button.sizeHint()) << "whole by default";
    button.resize(natural / 2, button.sizeHint().height());
    EXPECT_EQ(button.labelScale(), 1.0);
    EXPECT_EQ(button.shownText(), u"Set Wallpaper"_s);

    button.setMinimumScaleFactor(0.82);
    EXPECT_LT(button.minimumSizeHint().width(), natural / 2);
    // Width, whether the label is shrunk, whether it is cut.
    for (const auto &[width, shrunk, cut] : {std::tuple{natural, false, false}, std::tuple{natural - 10, true, false},
                                             std::tuple{natural / 2, true, true}}) {
        button.resize(width, button.sizeHint().height());
        EXPECT_EQ(button.labelScale() < 1.0, shrunk) << width;
        EXPECT_GE(button.labelScale(), 0.82) << width;
        EXPECT_EQ(button.shownText().endsWith(u"…"_s), cut) << width;
    }
}

TEST_F(KitWidgets, AShrinkingButtonThatMayDropItsSymbolKeepsItsLabelWhole)
{
    OrlixButton button(OrlixButton::Kind::secondary, u"Nature"_s);
    button.setSymbol(u"tree"_s);
    button.setMinimumScaleFactor(0.82);
    button.setShrinkable(true);
    const int natural = button.sizeHint().width();
    EXPECT_EQ(button.minimumSizeHint().width(), button.smallestWholeWidth(false));
    EXPECT_LT(button.smallestWholeWidth(false), button.smallestWholeWidth(true));
    // From its natural width down to its minimum: symbol while the shrunk
    // label still fits beside it, and never a cut label.
    for (int width = natural; width >= button.minimumSizeHint().width(); --width) {
        button.resize(width, button.sizeHint().height());
        EXPECT_EQ(button.shownText(), u"Nature"_s) << width;
        EXPECT_GE(button.labelScale(), 0.82) << width;
        EXPECT_EQ(button.showsSymbol(), width >= button.smallestWholeWidth(true)) << width;
    }
}

// Each paragraph of the text area starts at the edge its own script reads
// from, side by side in one note.
TEST_F(KitWidgets, EachTextAreaParagraphStartsWhereItsScriptReadsFrom)
{
    OrlixTextArea area;
    area.resize(300, 120);
    area.setPlainText(
        u"Shopping list\n\u0642\u0627\u0626\u0645\u0629 \u0627\u0644\u062A\u0633\u0648\u0642\n\u05E7\u05E0\u05D9\u05D5\u05EA"_s);
    area.show();
    const auto startX = [&area](int block) {
        return area.cursorRect(QTextCursor(area.document()->findBlockByNumber(block))).x();
    };
    const int middle = area.viewport()->width() / 2;
    EXPECT_LT(startX(0), middle) << "English starts at the left";
    EXPECT_GT(startX(1), middle) << "Arabic starts at the right";
    EXPECT_GT(startX(2), middle) << "Hebrew starts at the right";
}
