#include "model/BuildInfo.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "settings/pages/AppearancePage.h"
#include "settings/pages/GeneralPage.h"
#include "settings/pages/KoluTabsPage.h"
#include "settings/pages/ProfilePage.h"
#include "state/AppSettings.h"
#include "style/widgets/ColorWell.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSlider.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/widgets/SegmentedPicker.h"

#include "SettingsFixture.h"
#include "TestFiles.h"

#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

class SettingsPagesTest : public SettingsTest {
protected:
    RecordingUrlOpener *opener = services.urlOpener;

    static void choose(SegmentedPicker *picker, int index)
    {
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(index).center().toPoint());
    }

    static QString summary(const QWidget &view)
    {
        return child<SettingsRow>(view, "generalSummaryRow")->detailLabel()->text();
    }

    static int visibleCardRows(const QWidget &view)
    {
        auto *card = child<QWidget>(view, "generalApplicationCard");
        const auto parts = card->findChildren<QWidget *>();
        return int(std::count_if(parts.begin(), parts.end(), [card](QWidget *w) {
            return w->property("generalCardRow").toBool() && w->isVisibleTo(card);
        }));
    }

    // Types a colour into the dialog's HTML field, as a user does.
    static void typeColor(QColorDialog *dialog, const QString &html)
    {
        QLineEdit *field = nullptr;
        for (auto *edit : dialog->findChildren<QLineEdit *>())
            if (edit->text().startsWith(u'#'))
                field = edit;
        ASSERT_NE(field, nullptr);
        field->selectAll();
        QTest::keyClicks(field, html);
    }
};

TEST_F(SettingsPagesTest, GeneralSummaryFollowsTheRail)
{
    struct Case {
        RailEdge edge;
        RailVerticalPosition position;
        RailSize size;
        double hold;
        const char *summary;
        const char *holdText;
        int rows;
    };
    const Case cases[] = {
        {RailEdge::right, RailVerticalPosition::center, RailSize::standard, 4,
         "10 visible tabs \u2022 Right Middle \u2022 100% \u2022 4s menu hold", "4 sec", 8},
        {RailEdge::top, RailVerticalPosition::center, RailSize::large, 4,
         "10 visible tabs \u2022 Top \u2022 125% \u2022 4s menu hold", "4 sec", 7},
        {RailEdge::left, RailVerticalPosition::top, RailSize::standard, 1,
         "10 visible tabs \u2022 Left Upper \u2022 100% \u2022 1s menu hold", "1 sec", 8},
        {RailEdge::right, RailVerticalPosition::bottom, RailSize::large, 10,
         "10 visible tabs \u2022 Right Lower \u2022 125% \u2022 10s menu hold", "10 sec", 8},
    };
    auto view = open(OrlixSettingsPage::general);
    auto *edge = child<SegmentedPicker>(*view, "generalRailEdgePicker");
    auto *position = child<SegmentedPicker>(*view, "generalRailPositionPicker");
    for (const Case &c : cases) {
        state->setRailEdge(c.edge);
        state->setRailVerticalPosition(c.position);
        state->setRailSize(c.size);
        state->setStatusMenuOpenHoldDuration(c.hold);
        EXPECT_EQ(summary(*view), QString::fromUtf8(c.summary));
        EXPECT_EQ(child<ElidedLabel>(*view, "generalMenuHoldText")->text(), QString::fromLatin1(c.holdText));
        EXPECT_EQ(visibleCardRows(*view), c.rows) << c.summary;
        EXPECT_EQ(edge->currentIndex(), int(c.edge));
        EXPECT_EQ(position->currentIndex(), int(c.position));
    }
    // From the top back to a side edge, the position chosen before returns.
    state->setRailVerticalPosition(RailVerticalPosition::bottom);
    state->setRailEdge(RailEdge::top);
    choose(edge, 0);
    EXPECT_EQ(state->railEdge(), RailEdge::left);
    EXPECT_TRUE(child<QWidget>(*view, "generalRailPositionRow")->isVisible());
    EXPECT_EQ(position->currentIndex(), 2);

    // Hiding a module lowers the count at once; the word stays plural.
    for (RailModule module : allCases<RailModule>())
        if (module != RailModule::calendar)
            state->setRailModule(module, false);
    EXPECT_TRUE(summary(*view).startsWith(u"1 visible tab \u2022 "_s));
}

TEST_F(SettingsPagesTest, GeneralShowsAFractionalHoldWithoutWritingItBack)
{
    state->setStatusMenuOpenHoldDuration(4.5);
    auto view = open(OrlixSettingsPage::general);
    auto *slider = child<OrlixSlider>(*view, "generalMenuHoldSlider");
    EXPECT_EQ(slider->value(), 4);
    EXPECT_EQ(child<ElidedLabel>(*view, "generalMenuHoldText")->text(), u"4 sec"_s);
    EXPECT_TRUE(summary(*view).endsWith(u"4s menu hold"_s));
    EXPECT_EQ(state->statusMenuOpenHoldDuration(), 4.5);

    // The user's move writes whole seconds.
    QTest::mouseClick(slider, Qt::LeftButton, {}, slider->knobCentre(7).toPoint());
    EXPECT_EQ(state->statusMenuOpenHoldDuration(), 7.0);
    EXPECT_EQ(child<ElidedLabel>(*view, "generalMenuHoldText")->text(), u"7 sec"_s);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(state->statusMenuOpenHoldDuration(), 10.0);
    QTest::keyClick(slider, Qt::Key_Right); // already at the end
    EXPECT_EQ(state->statusMenuOpenHoldDuration(), 10.0);
}

TEST_F(SettingsPagesTest, GeneralControlsWriteTheStateAndReachTheRail)
{
    auto view = open(OrlixSettingsPage::general);
    QSignalSpy layouts(state.get(), &AppState::chromeNeedsLayout);
    state->setIsExpanded(true);

    choose(child<SegmentedPicker>(*view, "generalRailEdgePicker"), 0);
    EXPECT_EQ(state->railEdge(), RailEdge::left);
    EXPECT_EQ(defaults.string(SettingsKey::railEdge), u"left"_s);
    choose(child<SegmentedPicker>(*view, "generalRailSizePicker"), 1);
    EXPECT_EQ(state->railSize(), RailSize::large);
    choose(child<SegmentedPicker>(*view, "generalRailPositionPicker"), 0);
    EXPECT_EQ(state->railVerticalPosition(), RailVerticalPosition::top);
    EXPECT_GE(layouts.count(), 3);
    EXPECT_TRUE(state->isExpanded());

    auto *minimize = child<OrlixSwitch>(*view, "generalMinimizeSwitch");
    const bool before = state->showMinimizeAllAppsButton();
    EXPECT_EQ(minimize->isChecked(), before);
    QTest::mouseClick(minimize, Qt::LeftButton);
    EXPECT_EQ(state->showMinimizeAllAppsButton(), !before);

    // Show Highlights asks for the onboarding every time, also after it
    // was completed; Manage Tabs turns to the tabs page.
    QSignalSpy onboarding(state.get(), &AppState::showOrlixOnboarding);
    QTest::mouseClick(child<OrlixButton>(*view, "generalShowHighlightsButton"), Qt::LeftButton);
    QTest::mouseClick(child<OrlixButton>(*view, "generalShowHighlightsButton"), Qt::LeftButton);
    EXPECT_EQ(onboarding.count(), 2);
    QTest::mouseClick(child<OrlixButton>(*view, "generalManageTabsButton"), Qt::LeftButton);
    EXPECT_EQ(view->selectedPage(), OrlixSettingsPage::tabs);
}

TEST_F(SettingsPagesTest, TabsKeepTheLastModuleVisible)
{
    for (RailModule module : allCases<RailModule>())
        if (module != RailModule::notes && module != RailModule::focus)
            state->setRailModule(module, false);
    auto view = open(OrlixSettingsPage::tabs);
    auto *count = child<ElidedLabel>(*view, "koluTabsCount");
    auto *notes = child<OrlixSwitch>(*view, "featureToggle-notes");
    auto *focus = child<OrlixSwitch>(*view, "featureToggle-focus");
    auto *calendar = child<OrlixSwitch>(*view, "featureToggle-calendar");
    EXPECT_EQ(count->text(), u"2 visible"_s);
    EXPECT_TRUE(notes->isEnabled() && notes->isChecked());
    EXPECT_TRUE(focus->isEnabled() && focus->isChecked());

    QTest::mouseClick(notes, Qt::LeftButton);
    EXPECT_EQ(count->text(), u"1 visible"_s);
    EXPECT_FALSE(notes->isChecked());
    EXPECT_FALSE(focus->isEnabled());
    EXPECT_TRUE(notes->isEnabled());
    EXPECT_TRUE(calendar->isEnabled());
    QStringList expected;
    for (RailModule module : allCases<RailModule>())
        if (module != RailModule::focus)
            expected << rawValue(module);
    EXPECT_EQ(defaults.stringList(SettingsKey::hiddenRailModules), expected);

    // A disabled switch does nothing; a hidden module's switch shows it.
    QTest::mouseClick(focus, Qt::LeftButton);
    EXPECT_FALSE(state->isModuleHidden(RailModule::focus));
    QTest::mouseClick(calendar, Qt::LeftButton);
    EXPECT_EQ(count->text(), u"2 visible"_s);
    EXPECT_TRUE(focus->isEnabled());
    EXPECT_TRUE(calendar->isChecked());
}

TEST_F(SettingsPagesTest, TabsColumnsIgnoreTheRailOrder)
{
    auto view = open(OrlixSettingsPage::tabs);
    auto columnOrder = [&view] {
        QStringList names;
        for (const char *column : {"koluTabsFirstColumn", "koluTabsSecondColumn"})
            for (auto *row : child<QWidget>(*view, column)
                                 ->findChildren<SettingsFeatureToggleRow *>(QString(), Qt::FindDirectChildrenOnly))
                names << rawValue(row->module());
        return names;
    };
    const QStringList expected =
        u"today reminders links nowPlaying notes prayers focus calendar fileTray wallpapers"_s.split(u' ');
    EXPECT_EQ(columnOrder(), expected);
    state->moveRailModule(RailModule::wallpapers, 0);
    state->moveRailModule(RailModule::today, 9);
    EXPECT_EQ(columnOrder(), expected);
    EXPECT_EQ(child<ElidedLabel>(*view, "koluTabsCount")->text(), u"10 visible"_s);
}

TEST_F(SettingsPagesTest, AppearanceWritesTheLookSettings)
{
    auto view = open(OrlixSettingsPage::appearance);
    SettingsViewSettings &settings = view->viewSettings();
    auto *heroRow = child<QWidget>(*view, "heroColorRow");
    auto *themeTitle = child<ElidedLabel>(*view, "appearanceThemeTitle");

    // An unknown theme: "Default", nothing checked, no hero row.
    settings.setThemeRaw(u"noSuchTheme"_s);
    EXPECT_EQ(themeTitle->text(), u"Default"_s);
    for (auto *row : view->findChildren<ThemeRow *>())
        EXPECT_FALSE(row->isSelected()) << rawValue(row->theme()).toStdString();
    EXPECT_FALSE(heroRow->isVisible());

    // Hero Light shows the hero row; leaving it keeps the stored colour.
    settings.setHeroColorHex(u"#12AB34"_s);
    QTest::mouseClick(child<ThemeRow>(*view, "themeRow-heroLight"), Qt::LeftButton);
    EXPECT_EQ(settings.themeRaw(), u"heroLight"_s);
    EXPECT_EQ(themeTitle->text(), u"Hero Light"_s);
    EXPECT_TRUE(heroRow->isVisible());
    EXPECT_TRUE(child<ThemeRow>(*view, "themeRow-heroLight")->isSelected());
    QTest::mouseClick(child<ThemeRow>(*view, "themeRow-flatOlive"), Qt::LeftButton);
    EXPECT_EQ(settings.themeRaw(), u"flatOlive"_s);
    EXPECT_FALSE(heroRow->isVisible());
    EXPECT_EQ(settings.heroColorHex(), u"#12AB34"_s);
    QTest::mouseClick(child<ThemeRow>(*view, "themeRow-heroLight"), Qt::LeftButton);
    EXPECT_TRUE(heroRow->isVisible());

    // Picking pure red in the well's dialog stores it at once; the swatches
    // follow. Cancelling goes back to the colour the dialog opened with.
    auto *well = child<ColorWell>(*view, "heroColorWell");
    EXPECT_EQ(well->color(), QColor(0x12, 0xAB, 0x34));
    QTest::mouseClick(well, Qt::LeftButton);
    ASSERT_NE(well->dialog(), nullptr);
    EXPECT_FALSE(well->dialog()->testOption(QColorDialog::ShowAlphaChannel));
    typeColor(well->dialog(), u"#ff0000"_s);
    EXPECT_EQ(settings.heroColorHex(), u"#FF0000"_s);
    const auto swatches = child<ThemeSwatches>(*view, "themeSwatches-heroLight")->colors();
    ASSERT_EQ(swatches.size(), 4u);
    EXPECT_EQ(swatches[1], QColor(255, 0, 0));
    well->dialog()->accept();
    QTest::mouseClick(well, Qt::LeftButton);
    typeColor(well->dialog(), u"#0000ff"_s);
    EXPECT_EQ(settings.heroColorHex(), u"#0000FF"_s);
    well->dialog()->reject();
    EXPECT_EQ(settings.heroColorHex(), u"#FF0000"_s);

    // The mode: an unknown string shows "Follow System"; a segment stores
    // a valid raw value.
    auto *modeTitle = child<ElidedLabel>(*view, "appearanceModeTitle");
    auto *mode = child<SegmentedPicker>(*view, "appearanceModePicker");
    settings.setAppearanceModeRaw(u"Dark"_s);
    EXPECT_EQ(modeTitle->text(), u"Follow System"_s);
    const char *const modes[] = {"system", "dark", "light"};
    for (int index : {1, 2, 0}) {
        choose(mode, index);
        EXPECT_EQ(settings.appearanceModeRaw(), QString::fromLatin1(modes[index]));
        EXPECT_EQ(modeTitle->text(), mode->segments()[index]);
    }
}

TEST_F(SettingsPagesTest, ProfileOpensKolusOwnDocumentationAndOnlySecureAddresses)
{
    // Run from the build, the link opens the build's copy of the README.
    auto view = open(OrlixSettingsPage::profile);
    auto *link = child<SettingsLink>(*view, "profileSiteLink");
    EXPECT_EQ(link->text(), SettingsProfilePage::documentationName());
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(opener->opened.size(), 1);
    EXPECT_TRUE(opener->opened.front().isLocalFile());
    EXPECT_TRUE(opener->opened.front().toLocalFile().endsWith(u"/README.md"_s));
    EXPECT_FALSE(opener->opened.front().toString().contains(u"example"_s));
    opener->opened.clear();

    // Installed, the README the install put beside the program wins over the
    // build's copy next to it; with neither there is no link.
    const QString prefix = home.path(u"prefix"_s);
    ASSERT_TRUE(QDir().mkpath(prefix + u"/bin"_s));
    EXPECT_TRUE(SettingsProfilePage::documentationAddress(prefix + u"/bin"_s).isEmpty());
    ASSERT_TRUE(test::writeFile(prefix + u"/bin/README.md"_s));
    const auto canonical = [](const QString &path) { return QUrl::fromLocalFile(QFileInfo(path).canonicalFilePath()); };
    EXPECT_EQ(SettingsProfilePage::documentationAddress(prefix + u"/bin"_s), canonical(prefix + u"/bin/README.md"_s));
    ASSERT_TRUE(QDir().mkpath(prefix + u"/share/doc/kolu"_s));
    ASSERT_TRUE(test::writeFile(prefix + u"/share/doc/kolu/README.md"_s));
    EXPECT_EQ(SettingsProfilePage::documentationAddress(prefix + u"/bin"_s),
              canonical(prefix + u"/share/doc/kolu/README.md"_s));
    EXPECT_TRUE(SettingsLink::isOpenable(QUrl::fromLocalFile(prefix + u"/bin/README.md"_s)));

    const std::pair<const char *, bool> addresses[] = {
        {"https://kolu.example.org/", true},
        {"file:///nonexistent/README.md", false},
        {"file:///bin/sh", false},
        {"http://kolu.example.org/", false},
        {"javascript:alert(1)", false},
        {"file:///etc/passwd", false},
        {"https://", false},
    };
    for (auto [address, openable] : addresses) {
        EXPECT_EQ(SettingsLink::isOpenable(QUrl(QString::fromLatin1(address))), openable) << address;
        SettingsLink other(u"x"_s, QUrl(QString::fromLatin1(address)), *opener);
        opener->opened.clear();
        other.click();
        EXPECT_EQ(opener->opened.size(), openable ? 1 : 0) << address;
    }
}

TEST_F(SettingsPagesTest, OneVersionEverywhere)
{
    const QString version = QString::fromUtf8(buildinfo::kDisplayVersion);
    auto view = open(OrlixSettingsPage::general);
    const auto labels = view->findChildren<ElidedLabel *>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](auto *label) { return label->text() == version; }));
    const auto rows = view->findChildren<SettingsRow *>();
    EXPECT_TRUE(
        std::any_of(rows.begin(), rows.end(), [&](auto *row) { return row->detailLabel()->text() == version; }));

    // The release name, the version the Updates page and the running line
    // give, and the build all name one release.
    const QString shortVersion = QString::fromUtf8(buildinfo::kShortVersion);
    const QStringList parts = shortVersion.split(u'.');
    ASSERT_GE(parts.size(), 2);
    EXPECT_TRUE(version.endsWith(u" "_s + parts[0] + u'.' + parts[1])) << version.toStdString();
    EXPECT_EQ(QString::fromUtf8(buildinfo::kFullVersion),
              version + u" ("_s + shortVersion + u", build "_s + QString::fromUtf8(buildinfo::kBuildNumber) + u')');
}

} // namespace

} // namespace kolu::test
