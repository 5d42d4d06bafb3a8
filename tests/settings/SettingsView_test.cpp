#include "services/media/QuranAudioManager.h"
#include "settings/SettingsSidebar.h"
#include "settings/SettingsView.h"
#include "settings/pages/ReleaseNotesCard.h"
#include "style/Motion.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OverlayScrollBar.h"

#include "ManualAnimationDriver.h"
#include "SettingsFixture.h"
#include "../style/LightLooks.h"

#include <QImage>

#include <map>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

class SettingsViewTest : public SettingsTest { };

TEST_F(SettingsViewTest, ThemeDecidesBeforeTheAppearanceMode)
{
    struct Case {
        const char *theme;
        const char *mode;
        std::optional<ColorScheme> expected;
    };
    // The full table is the style's; the view follows it and repaints.
    const Case cases[] = {
        {"activeDark", "light", ColorScheme::dark},
        {"heroLight", "dark", ColorScheme::light},
        {"default", "Dark", std::nullopt},
    };
    style.setSystemScheme(ColorScheme::light);
    SettingsView view(*state, updates);
    EXPECT_EQ(view.viewSettings().themeRaw(), u"default"_s);
    EXPECT_FALSE(defaults.contains(u"orlixTheme"_s)) << "reading stores nothing";
    for (const Case &c : cases) {
        defaults.set(u"orlixTheme"_s, QString::fromLatin1(c.theme));
        defaults.set(u"orlixAppearanceMode"_s, QString::fromLatin1(c.mode));
        EXPECT_EQ(view.preferredColorScheme(), c.expected) << c.theme << " " << c.mode;
        EXPECT_EQ(view.colorScheme(), c.expected.value_or(ColorScheme::light)) << c.theme << " " << c.mode;
        // The window's palette follows at once.
        EXPECT_EQ(view.palette().color(QPalette::WindowText), style.text()) << c.theme << " " << c.mode;
    }
}

TEST_F(SettingsViewTest, SidebarSwapsHeaderAndColumnWidth)
{
    SettingsView view(*state, updates);
    view.show();
    auto *header = view.findChild<ElidedLabel *>(u"settingsPageHeader"_s);
    auto *column = view.findChild<QWidget *>(u"settingsContentColumn"_s);
    for (OrlixSettingsPage page : allCases<OrlixSettingsPage>()) {
        auto *button = view.findChild<SettingsSidebarButton *>(u"settingsSidebarButton-"_s + rawValue(page));
        ASSERT_NE(button, nullptr) << rawValue(page).toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(view.selectedPage(), page);
        EXPECT_TRUE(button->isSelected());
        EXPECT_EQ(header->text(), settingsPageTitle(page));
        EXPECT_LE(column->width(), column->maximumWidth()) << rawValue(page).toStdString();
        // A page with only its header (and the closing stretch) has nothing to scroll.
        auto *scrollBar = view.findChild<QScrollArea *>(u"settingsContentScroll"_s)->verticalScrollBar();
        for (int round = 0; round < 10 && scrollBar->maximum() != 0; ++round)
            QCoreApplication::processEvents(); // the previous page's height is let go of
        if (column->layout()->count() == 2) {
            EXPECT_EQ(scrollBar->maximum(), 0) << rawValue(page).toStdString();
        }
    }
    EXPECT_FALSE(view.findChild<SettingsSidebarButton *>(u"settingsSidebarButton-general"_s)->isSelected());
    std::size_t inGroups = 0; // and the sidebar lists every page
    for (const auto &group : settingsSidebarGroups())
        inGroups += group.pages.size();
    EXPECT_EQ(inGroups, caseCount<OrlixSettingsPage>());
}

TEST_F(SettingsViewTest, PagesOfOneMaximumAreEquallyWideScrolledOrNotAndTheBarIsTheKitsThinOne)
{
    SettingsView view(*state, updates);
    view.show();
    auto *area = view.findChild<QScrollArea *>(u"settingsContentScroll"_s);
    auto *column = view.findChild<QWidget *>(u"settingsContentColumn"_s);
    EXPECT_FALSE(area->verticalScrollBar()->isVisible()) << "no stock scroll bar";
    std::map<int, int> widthFor; // column width per maximum width
    bool someScrolled = false;
    for (OrlixSettingsPage page : allCases<OrlixSettingsPage>()) {
        view.setSelectedPage(page);
        QCoreApplication::sendPostedEvents();
        for (int round = 0; round < 10; ++round)
            QCoreApplication::processEvents(); // the page's height settles
        const bool scrolls = area->verticalScrollBar()->maximum() > 0;
        someScrolled |= scrolls;
        if (auto *bar = area->findChild<OverlayScrollBar *>()) {
            EXPECT_EQ(bar->isVisible(), scrolls) << rawValue(page).toStdString();
        } else {
            ADD_FAILURE() << "no thin scroll bar";
        }
        EXPECT_EQ(area->viewport()->width(), area->width()) << "the bar takes no room";
        const auto [it, fresh] = widthFor.emplace(column->maximumWidth(), column->width());
        if (!fresh) {
            EXPECT_EQ(column->width(), it->second) << rawValue(page).toStdString();
        }
    }
    EXPECT_TRUE(someScrolled) << "a longer page scrolls";
}

TEST_F(SettingsViewTest, SidebarShowsItsLastRowWholeAboveTheWindowsEdge)
{
    SettingsView view(*state, updates);
    view.show();
    QCoreApplication::processEvents();
    auto *last = view.findChild<SettingsSidebarButton *>(u"settingsSidebarButton-localData"_s);
    ASSERT_NE(last, nullptr);
    view.setSelectedPage(OrlixSettingsPage::localData);
    auto *area = view.findChild<QScrollArea *>(u"settingsSidebarScroll"_s);
    const QRect row(last->mapTo(area->viewport(), QPoint(0, 0)), last->size());
    // Whole inside the visible list with room to spare below, unscrolled.
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
    EXPECT_LE(row.bottom() + 8, area->viewport()->height()) << row.bottom() << " in " << area->viewport()->height();
    EXPECT_LE(area->mapTo(&view, QPoint(0, area->viewport()->height())).y(), view.height());
}

TEST_F(SettingsViewTest, OnlyARealCalendarSoundChangeRefreshes)
{
    SettingsView view(*state, updates);
    QSignalSpy refreshes(&view.viewSettings(), &SettingsViewSettings::calendarAlertSoundChanged);
    // The stored default written out explicitly is no change.
    view.viewSettings().setCalendarAlertSound(u"calendar"_s);
    EXPECT_EQ(refreshes.count(), 0);
    view.viewSettings().setCalendarAlertSound(u"ocean"_s);
    EXPECT_EQ(refreshes.count(), 1);
    view.viewSettings().setCalendarAlertSound(u"ocean"_s);
    EXPECT_EQ(refreshes.count(), 1);
    // Another view bound to the key counts the same; the focus sound is not it.
    defaults.set(u"calendarAlertSound"_s, u"birds"_s);
    defaults.set(u"focusAlertSound"_s, u"chime"_s);
    EXPECT_EQ(refreshes.count(), 2);
    EXPECT_EQ(view.viewSettings().focusAlertSound(), u"chime"_s);
}

TEST_F(SettingsViewTest, FormEntriesSurviveHidingAndTakeTheSavedStation)
{
    SettingsView view(*state, updates);
    view.formEntries().customRadioName = u"typed"_s;
    view.show();
    view.hide();
    view.show();
    // Nothing saved: what was typed stays.
    EXPECT_EQ(view.formEntries().customRadioName, u"typed"_s);
    state->quranAudioManager().saveCustomStation(u"Night Recitation"_s, u"https://radio.example/live"_s);
    view.hide();
    view.show();
    EXPECT_EQ(view.formEntries().customRadioName, u"Night Recitation"_s);
    EXPECT_EQ(view.formEntries().customRadioStreamURL, u"https://radio.example/live"_s);
}

TEST_F(SettingsViewTest, TheSelectedSidebarRowStandsOutInLightLooks)
{
    style.setSystemScheme(ColorScheme::light);
    for (const char *theme : {"default", "flatOlive", "heroLight"}) {
        SCOPED_TRACE(theme);
        defaults.set(u"orlixTheme"_s, QString::fromLatin1(theme));
        defaults.set(u"orlixAppearanceMode"_s, u"light"_s);
        SettingsView view(*state, updates);
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        view.render(&image);
        const auto backgroundOf = [&](const char *page) {
            const QWidget *button = view.findChild<QWidget *>(u"settingsSidebarButton-"_s + QString::fromLatin1(page));
            // Right of the title, clear of the text and of the hairline.
            return image.pixelColor(button->mapTo(&view, QPoint(button->width() - 8, button->height() / 2)));
        };
        EXPECT_GE(contrastRatio(backgroundOf("general"), backgroundOf("updates")), 1.2);
    }
}

// Measured from the pixels: the sidebar's group titles read in every light look.
TEST_F(SettingsViewTest, SidebarGroupTitlesReadInLightLooks)
{
    for (const char *theme : kLightThemes) {
        SCOPED_TRACE(theme);
        useLightLook(defaults, style, theme);
        SettingsView view(*state, updates);
        view.show();
        auto *sidebar = view.findChild<SettingsSidebar *>();
        ASSERT_NE(sidebar, nullptr);
        int measured = 0;
        for (const SettingsSidebarGroup &group : settingsSidebarGroups()) {
            for (ElidedLabel *label : sidebar->findChildren<ElidedLabel *>()) {
                // The titles in sight; the sidebar scrolls to the others.
                if (label->text() != group.title || label->visibleRegion().isEmpty())
                    continue;
                const QRect area(label->mapTo(&view, QPoint()), label->size());
                EXPECT_GE(drawnContrast(view, area, lightCardBackdrop(style)), kBodyTextContrast)
                    << group.title.toStdString();
                ++measured;
            }
        }
        EXPECT_GE(measured, 2);
    }
}

// Measured from the pixels: the accent-coloured "Current" beside a release
// reads in every light look.
TEST_F(SettingsViewTest, TheCurrentReleaseLabelReadsInLightLooks)
{
    for (const char *theme : kLightThemes) {
        SCOPED_TRACE(theme);
        useLightLook(defaults, style, theme);
        ReleaseNotesCard card(u"Beta 1.3"_s, u"Current"_s, {u"A change."_s});
        card.resize(400, card.sizeHint().height());
        card.show();
        ElidedLabel *current = nullptr;
        for (ElidedLabel *label : card.findChildren<ElidedLabel *>())
            if (label->text() == "Current"_L1)
                current = label;
        ASSERT_NE(current, nullptr);
        const QRect area(current->mapTo(&card, QPoint()), current->size());
        EXPECT_GE(drawnContrast(card, area, lightCardBackdrop(style)), kBodyTextContrast);
    }
}

TEST_F(SettingsViewTest, TheSidebarHighlightMovesWithTheContentSwap)
{
    ManualAnimationDriver heldStill; // only advance() below moves the fade
    SettingsView view(*state, updates);
    view.show();
    auto *general = view.findChild<SettingsSidebarButton *>(u"settingsSidebarButton-general"_s);
    auto *updatesButton = view.findChild<SettingsSidebarButton *>(u"settingsSidebarButton-updates"_s);
    ASSERT_NE(general, nullptr);
    ASSERT_NE(updatesButton, nullptr);
    EXPECT_EQ(general->highlight(), 1);
    EXPECT_EQ(updatesButton->highlight(), 0);
    QTest::mouseClick(updatesButton, Qt::LeftButton);
    EXPECT_TRUE(updatesButton->isSelected());
    const auto advance = [&](int ms) { advanceAnimations(view, ms); };
    advance(OrlixMotion::contentSwap().durationMs / 2);
    EXPECT_GT(updatesButton->highlight(), 0);
    EXPECT_LT(updatesButton->highlight(), 1);
    EXPECT_GT(general->highlight(), 0) << "the old highlight fades out";
    advance(OrlixMotion::contentSwap().durationMs);
    EXPECT_EQ(updatesButton->highlight(), 1);
    EXPECT_EQ(general->highlight(), 0);
}

} // namespace

} // namespace kolu::test
