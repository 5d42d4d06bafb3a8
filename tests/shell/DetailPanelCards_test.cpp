// Every card as it shows in the real detail panel: at the panel's own width
// and height, for both rail sizes, after the layouts have settled.
#include "cards/reminders/ReminderRow.h"
#include "cards/reminders/RemindersCard.h"
#include "cards/nowplaying/SoundscapeDisclosure.h"
#include "cards/nowplaying/SoundscapeWidgets.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "shell/rules/ExpandedRailGeometry.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/ShrinkLabel.h"

#include "ShellFixture.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {
class DetailPanelCardsTest : public test::RailStateTest {
protected:
    // The desktop's own sans serif, as the running program gets it from the
    // X11 platform (the offscreen platform's default is narrower).
    const QFont appFont = QGuiApplication::font();

    DetailPanelCardsTest() { QGuiApplication::setFont(QFont(u"Sans Serif"_s)); }
    ~DetailPanelCardsTest() override { QGuiApplication::setFont(appFont); }

    // A panel of the rail's size at scale `s`, shown and laid out.
    std::unique_ptr<ModuleDetailPanel> openPanel(RailModule module, double s)
    {
        auto panel = std::make_unique<ModuleDetailPanel>(*state, module);
        panel->resize(qRound(expandedrail::cardWidth * s), qRound(expandedrail::cardHeight * s));
        panel->show();
        settle();
        return panel;
    }

    // Lets every posted layout request run, as a frame of the running program would.
    static void settle()
    {
        for (int i = 0; i < 4; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::sendPostedEvents();
        }
    }

    // Shown widgets of `card` that reach past its left or right edge, and
    // shown text buttons whose label ends in "…" at their width.
    static QStringList overflowing(const QWidget &card)
    {
        QStringList found;
        for (const QWidget *child : card.findChildren<QWidget *>()) {
            const QRect inCard(child->mapTo(&card, QPoint(0, 0)), child->size());
            if (child->isVisibleTo(&card) && child->width() > 0
                && (inCard.left() < 0 || inCard.right() >= card.width()))
                found << QString::fromLatin1(child->metaObject()->className()) + u' ' + child->objectName();
            auto *button = qobject_cast<const OrlixButton *>(child);
            if (button && button->isVisibleTo(&card) && button->shownText() != button->text())
                found << u"cut: "_s + button->shownText();
        }
        return found;
    }

    ReminderItem dueToday(int n) const
    {
        ReminderItem item;
        item.id = u"r%1"_s.arg(n);
        item.title = u"Reminder number %1"_s.arg(n);
        item.dueDate = clock.now().toLocalTime().date().startOfDay().addSecs(3600 * 20).toUTC();
        item.includesTime = true;
        return item;
    }
};

TEST_F(DetailPanelCardsTest, NoCardIsWiderThanThePanelAtEitherRailSize)
{
    // Every card with content: tiles, rows, a long date under each note.
    const QDateTime now = clock.now();
    for (const QString &name : {u"Groceries"_s, u"Garden ideas"_s, u"Work/Meeting notes"_s, u"Reading list"_s})
        ASSERT_TRUE(test::writeFile(home.path(u"Notes/"_s + name + u".md"_s), "Bread, milk, apples.\n"));
    state->refreshAppleNotes(true);
    state->refreshAppleNoteFolders(true);
    ASSERT_TRUE(
        test::waitUntil([&] { return state->appleNotes().size() == 4 && !state->isLoadingAppleNoteFolders(); }));
    state->setRemindersConnection(RemindersConnectionState::ready());
    state->setReminders({dueToday(1), dueToday(2)});
    state->setCalendarEvents({{u"e"_s,
                               u"Quarterly planning review with the whole team"_s,
                               now.addSecs(600),
                               now.addSecs(4200),
                               u"Meeting room on the third floor"_s,
                               {},
                               {u"AB"_s, u"CD"_s}}});
    for (const double s : {1.0, 1.25}) {
        for (int m = 0; m < 10; ++m) {
            const auto module = RailModule(m);
            auto panel = openPanel(module, s);
            QWidget *card = panel->card();
            if (!card)
                continue;
            SCOPED_TRACE(u"%1 at scale %2"_s.arg(kolu::title(module)).arg(s).toStdString());
            // As it opens, then with its composer open where it has one.
            for (const bool composing : {false, true}) {
                SCOPED_TRACE(composing ? "composer open" : "composer closed");
                if (composing) {
                    if (auto *reminders = qobject_cast<RemindersCard *>(card))
                        reminders->composerAction();
                    if (auto *toggle = card->findChild<QAbstractButton *>(u"notesComposerToggle"_s))
                        toggle->click();
                    for (auto *section : card->findChildren<SoundscapeDisclosure *>())
                        section->setExpanded(true);
                    settle();
                }
                const int room = panel->findChild<QScrollArea *>(u"detailScroll"_s)->viewport()->width();
                EXPECT_LE(card->minimumSizeHint().width(), room);
                EXPECT_LE(card->width(), room);
                EXPECT_EQ(overflowing(*card), QStringList());
            }
        }
    }
}

// Every ambient sound's name shows whole, at one size for all, at both rail
// sizes: a shrunk or cut name hides which sound a tile plays.
TEST_F(DetailPanelCardsTest, AmbientNamesShowWholeAtOneSize)
{
    for (const double s : {1.0, 1.25}) {
        SCOPED_TRACE(u"scale %1"_s.arg(s).toStdString());
        auto panel = openPanel(RailModule::nowPlaying, s);
        QWidget *card = panel->card();
        ASSERT_NE(card, nullptr);
        for (auto *section : card->findChildren<SoundscapeDisclosure *>())
            section->setExpanded(true);
        settle();
        const auto tiles = card->findChildren<AmbientSoundTile *>();
        ASSERT_EQ(tiles.size(), 4);
        QSet<qreal> sizes;
        for (const AmbientSoundTile *tile : tiles) {
            const QString name = tile->sound().title;
            SCOPED_TRACE(name.toStdString());
            if (const auto *line = tile->findChild<ShrinkLabel *>()) {
                EXPECT_EQ(line->shownText(line->width()), name);
                sizes << line->scaleFor(line->width());
                continue;
            }
            const auto *label = tile->findChild<ElidedLabel *>(u"ambientTileTitle"_s);
            ASSERT_NE(label, nullptr);
            EXPECT_FALSE(label->isElided(label->width()))
                << label->visibleLines(label->width()).join(u'|').toStdString();
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << "every line shows";
            const QFontMetricsF metrics(label->font());
            for (const QString &shown : label->visibleLines(label->width()))
                EXPECT_LE(metrics.horizontalAdvance(shown), label->width() + 0.5) << shown.toStdString();
            sizes << label->font().pixelSize();
        }
        EXPECT_EQ(sizes.size(), 1) << "one size for every name";
    }
}

TEST_F(DetailPanelCardsTest, RemindersShowTheirEmptyStatesWholeAndLayTheirRowsInTheCardItself)
{
    // Refused: the button to the settings shows whole.
    state->setRemindersConnection(RemindersConnectionState::denied());
    auto panel = openPanel(RailModule::reminders, 1.0);
    QWidget *card = panel->card();
    ASSERT_NE(card, nullptr);
    auto *open = card->findChild<QAbstractButton *>(u"reminderOpenSettingsButton"_s);
    ASSERT_TRUE(open && open->isVisible());
    EXPECT_TRUE(card->rect().contains(QRect(open->mapTo(card, QPoint(0, 0)), open->size())));
    EXPECT_GE(open->height(), open->sizeHint().height());

    // Nothing due: the empty state's two-line subtitle shows whole.
    state->setRemindersConnection(RemindersConnectionState::ready());
    settle();
    auto *subtitle = card->findChild<EmptyState *>()->findChild<ElidedLabel *>(u"emptyStateSubtitle"_s);
    ASSERT_NE(subtitle, nullptr);
    ASSERT_EQ(subtitle->visibleLines(subtitle->width()).size(), 2) << subtitle->text().toStdString();
    EXPECT_FALSE(subtitle->isElided(subtitle->width()));
    EXPECT_GE(subtitle->height(), int(QFontMetricsF(subtitle->font()).lineSpacing() * 2));

    // A long list: the card, not a scroll area of its own, is as tall as it,
    // and the panel scrolls the card.
    std::vector<ReminderItem> items;
    for (int n = 0; n < 9; ++n)
        items.push_back(dueToday(n));
    state->setReminders(items);
    settle();
    EXPECT_EQ(card->findChild<QAbstractScrollArea *>(), nullptr);
    EXPECT_EQ(card->findChild<QScrollBar *>(), nullptr);
    EXPECT_GT(panel->findChild<QScrollArea *>(u"detailScroll"_s)->verticalScrollBar()->maximum(), 0);
    // No style sheet above the card: one would reach its fields and paint
    // them in the stock look (white boxes in the dark appearances).
    for (const QWidget *above = card; above; above = above->parentWidget())
        EXPECT_TRUE(above->styleSheet().isEmpty()) << above->objectName().toStdString();
    const auto rows = card->findChildren<ReminderRow *>();
    ASSERT_EQ(rows.size(), 9);
    for (const ReminderRow *row : rows) {
        EXPECT_TRUE(card->rect().contains(QRect(row->mapTo(card, QPoint(0, 0)), row->size())));
        EXPECT_GE(row->height(), 34 + 20);
    }
}

} // namespace
