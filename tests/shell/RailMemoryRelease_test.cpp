#include "ShellFixture.h"

#include "shell/RailMemoryRelease.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "style/OrlixStyle.h"
#include "style/PanelPicture.h"

#include <QPainter>

using namespace kolu;
using namespace std::chrono_literals;

namespace {
class RailMemoryReleaseTest : public test::ShellTest {
protected:
    OrlixStyle style{defaults};

    RailMemoryRelease &release() const { return *delegate->railMemoryRelease(); }
    ExpandedRail *openRail() const { return panel().findChild<ExpandedRail *>(); }

    // Whether the card's area of the opened panel paints anything.
    bool cardPaints() const
    {
        ModuleDetailPanel *detail = openRail() ? openRail()->detailPanel() : nullptr;
        return detail && detail->card() && test::inkedPixels(test::picture(*detail->card())) > 0;
    }
};

} // namespace

TEST_F(RailMemoryReleaseTest, GivesBackAWhileAfterTheCollapseAndTheNextOpenBuildsTheCardsAgain)
{
    withRailViews();
    launch();
    EXPECT_FALSE(release().isPending()) << "nothing to give back before the rail first opened";

    state().openModule(RailModule::calendar);
    settle();
    EXPECT_TRUE(cardPaints());

    // Opened again before the delay: nothing is given back. Each slide runs
    // to its end first, so the hover weighs the pointer against the opened
    // rail however far a busy machine let the close run.
    state().hideToEdge();
    EXPECT_TRUE(release().isPending());
    settle();
    clock.advance(RailMemoryRelease::kDelay - 1s);
    state().expandPanel();
    EXPECT_FALSE(release().isPending());
    settle();
    pointer = panel().shownFrame().center(); // the hover keeps it out
    clock.advance(RailMemoryRelease::kDelay * 2);
    EXPECT_EQ(release().releases(), 0);

    // The opened cards' panels were painted from kept pictures.
    QImage canvas(80, 80, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    PanelPicture::paint(painter, QRectF(4, 4, 60, 40), {14, Qt::white, Qt::black, 0.8});
    EXPECT_GT(PanelPicture::cachedPictures(), 0);

    pointer = farAway();
    state().hideToEdge();
    settle();
    clock.advance(RailMemoryRelease::kDelay);
    EXPECT_EQ(release().releases(), 1);
    EXPECT_EQ(PanelPicture::cachedPictures(), 0);
    EXPECT_FALSE(release().isPending());

    // The next open builds the selected module's card and paints it anew.
    state().expandPanel();
    settle();
    ASSERT_TRUE(cardPaints());
    EXPECT_EQ(openRail()->detailPanel()->module(), RailModule::calendar);
    state().openModule(RailModule::today);
    EXPECT_NE(openRail()->detailPanel()->card(), nullptr);
}
