#include "settings/onboarding/OnboardingView.h"
#include "style/Motion.h"
#include "style/widgets/OrlixButton.h"

#include "ManualAnimationDriver.h"
#include "SettingsFixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

class OnboardingTest : public SettingsTest {
protected:
    int finishes = 0;
    OnboardingView view{[this] { ++finishes; }};

    OrlixButton *button(const char *name) { return view.findChild<OrlixButton *>(QString::fromLatin1(name)); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void advance(int ms = -1) { advanceAnimations(view, ms); }
};

TEST_F(OnboardingTest, WalksThePagesOneStepAtATime)
{
    view.show();
    auto *card = view.findChild<OnboardingFeatureCard *>();
    EXPECT_FALSE(button("onboardingBack")->isEnabled());
    for (int page = 0; page < 4; ++page) {
        EXPECT_EQ(view.selectedIndex(), page);
        EXPECT_EQ(button("onboardingBack")->isEnabled(), page > 0) << page;
        EXPECT_EQ(card->page().title, view.pages()[std::size_t(page)].title);
        EXPECT_EQ(button("onboardingPrimary")->text(), u"Next"_s);
        click("onboardingPrimary");
        advance();
    }
    EXPECT_EQ(view.selectedIndex(), 4);
    EXPECT_TRUE(button("onboardingBack")->isEnabled());
    EXPECT_EQ(button("onboardingPrimary")->text(), u"Start using Kolu"_s);
    EXPECT_EQ(finishes, 0);
    click("onboardingPrimary");
    EXPECT_EQ(finishes, 1);

    click("onboardingBack");
    EXPECT_EQ(view.selectedIndex(), 3);
    EXPECT_EQ(button("onboardingPrimary")->text(), u"Next"_s);
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
    card->setPage({u"Title"_s, QString(40, QChar(u'w')).replace(QChar(u'w'), u"words "_s), u"star"_s, Qt::red}, false);
    EXPECT_GT(card->heightForWidth(464), 132);
    card->setPage(view.pages().front(), false);
    EXPECT_EQ(card->heightForWidth(464), 132);
}

TEST_F(OnboardingTest, HeroThemeTintsTheFirstTileWhenTheViewIsMade)
{
    defaults.set(u"orlixHeroColorHex"_s, u"#22AA66"_s);
    defaults.set(u"orlixTheme"_s, u"heroLight"_s);
    OnboardingView hero([] {});
    EXPECT_EQ(hero.pages().front().tint.rgb(), QColor(u"#22AA66"_s).rgb());
}

TEST_F(OnboardingTest, ContentStandsCentredInTheWindow)
{
    view.show();
    const QWidget *logo = view.findChild<QWidget *>(u"settingsLogo"_s);
    ASSERT_NE(logo, nullptr);
    const int above = logo->mapTo(&view, QPoint()).y() - 34; // the header's own top padding
    const QWidget *primary = button("onboardingPrimary");
    const int below = view.height() - (primary->mapTo(&view, QPoint()).y() + primary->height()) - 28;
    EXPECT_NEAR(above, below, 2);
}

TEST_F(OnboardingTest, APageChangeMovesTheCardsAndTheLongDot)
{
    test::ManualAnimationDriver heldStill; // only advance() moves the animations
    view.show();
    auto *dots = view.findChild<OnboardingPageDots *>();
    auto *card = view.findChild<OnboardingFeatureCard *>();
    const QString first = card->page().title;
    click("onboardingPrimary");
    // Halfway: the old card is still leaving and the long dot is between.
    advance(OrlixMotion::contentSwap().durationMs / 2);
    ASSERT_NE(card->leavingPage(), nullptr);
    EXPECT_EQ(card->leavingPage()->title, first);
    EXPECT_GT(card->progress(), 0);
    EXPECT_LT(card->progress(), 1);
    EXPECT_GT(dots->dotRect(1).width(), 7);
    EXPECT_LT(dots->dotRect(1).width(), 22);
    EXPECT_GT(dots->dotRect(0).width(), 7);
    advance();
    EXPECT_EQ(card->leavingPage(), nullptr);
    EXPECT_EQ(dots->dotRect(1).width(), 22);
    EXPECT_EQ(dots->dotRect(0).width(), 7);
}

} // namespace

} // namespace kolu::test
