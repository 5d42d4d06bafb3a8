#include "settings/onboarding/OnboardingView.h"
#include "style/widgets/OrlixButton.h"

#include "SettingsFixture.h"

#include <QTest>

namespace kolu::test {

namespace {

class OnboardingTest : public SettingsTest {
protected:
    int finishes = 0;
    OnboardingView view{[this] { ++finishes; }};

    OrlixButton *button(const char *name) { return view.findChild<OrlixButton *>(QString::fromLatin1(name)); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
};

TEST_F(OnboardingTest, WalksThePagesOneStepAtATime)
{
    view.show();
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Welcome to Kolu"));
    EXPECT_EQ(view.size(), QSize(520, 520));
    auto *dots = view.findChild<OnboardingPageDots *>();
    auto *card = view.findChild<OnboardingFeatureCard *>();
    EXPECT_FALSE(button("onboardingBack")->isEnabled());
    EXPECT_EQ(dots->dotRect(0).width(), 22);
    for (int page = 0; page < 4; ++page) {
        EXPECT_EQ(view.selectedIndex(), page);
        EXPECT_EQ(card->page().title, view.pages()[std::size_t(page)].title);
        EXPECT_EQ(button("onboardingPrimary")->text(), QStringLiteral("Next"));
        EXPECT_EQ(button("onboardingPrimary")->symbol(), QStringLiteral("arrow.right"));
        click("onboardingPrimary");
        EXPECT_EQ(dots->dotRect(page + 1).width(), 22);
        EXPECT_EQ(dots->dotRect(page).width(), 7);
    }
    EXPECT_EQ(view.selectedIndex(), 4);
    EXPECT_TRUE(button("onboardingBack")->isEnabled());
    EXPECT_EQ(button("onboardingPrimary")->text(), QStringLiteral("Start using Kolu"));
    EXPECT_EQ(button("onboardingPrimary")->symbol(), QStringLiteral("checkmark.circle.fill"));
    EXPECT_EQ(finishes, 0);
    click("onboardingPrimary");
    EXPECT_EQ(finishes, 1);

    click("onboardingBack");
    EXPECT_EQ(view.selectedIndex(), 3);
    EXPECT_EQ(button("onboardingPrimary")->text(), QStringLiteral("Next"));
}

TEST_F(OnboardingTest, SkipEndsAtOnceAndTheTitleBarEndsNothing)
{
    view.show();
    click("onboardingPrimary");
    click("onboardingPrimary");
    EXPECT_EQ(view.selectedIndex(), 2);
    click("onboardingSkip");
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(view.selectedIndex(), 2);

    OnboardingView other([this] { ++finishes; });
    other.show();
    other.close();
    EXPECT_EQ(finishes, 1);
}

TEST_F(OnboardingTest, CardGrowsForALongSubtitle)
{
    auto *card = view.findChild<OnboardingFeatureCard *>();
    card->setPage({QStringLiteral("Title"), QString(40, QChar(u'w')).replace(QChar(u'w'), QStringLiteral("words ")),
                   QStringLiteral("star"), Qt::red},
                  false);
    const int grown = card->heightForWidth(464);
    EXPECT_GT(grown, 132);
    card->setPage(view.pages().front(), false);
    EXPECT_EQ(card->heightForWidth(464), 132);
}

TEST_F(OnboardingTest, HeroThemeTintsTheFirstTileWhenTheViewIsMade)
{
    defaults.set(QStringLiteral("orlixHeroColorHex"), QStringLiteral("#22AA66"));
    defaults.set(QStringLiteral("orlixTheme"), QStringLiteral("heroLight"));
    OnboardingView hero([] {});
    EXPECT_EQ(hero.pages().front().tint.rgb(), QColor(QStringLiteral("#22AA66")).rgb());
    defaults.set(QStringLiteral("orlixHeroColorHex"), QStringLiteral("#3355CC"));
    EXPECT_EQ(hero.pages().front().tint.rgb(), QColor(QStringLiteral("#22AA66")).rgb());
}

} // namespace

} // namespace kolu::test
