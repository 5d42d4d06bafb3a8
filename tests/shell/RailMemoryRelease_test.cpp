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
        if (!detail || !detail->card())
            return false;
        QWidget *card = detail->card();
        QImage picture(card->size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        card->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qAlpha(picture.pixel(x, y)) > 0)
                    return true;
        return false;
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
    ASSERT_NE(openRail(), nullptr);
    EXPECT_TRUE(cardPaints());

    // Opened again before the delay: nothing is given back.
    state().hideToEdge();
    EXPECT_TRUE(release().isPending());
    clock.advance(RailMemoryRelease::kDelay - 1s);
    state().expandPanel();
    EXPECT_FALSE(release().isPending());
    pointer = panel().geometry().center(); // the hover keeps it out
    clock.advance(RailMemoryRelease::kDelay * 2);
    EXPECT_EQ(release().releases(), 0);

    // The opened cards' panels were painted from kept pictures.
    QImage canvas(80, 80, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    PanelPicture::paint(painter, QRectF(4, 4, 60, 40), {14, Qt::white, Qt::black, 0.8});
    painter.end();
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
    ASSERT_NE(openRail(), nullptr);
    ASSERT_NE(openRail()->detailPanel(), nullptr);
    EXPECT_EQ(openRail()->detailPanel()->module(), RailModule::calendar);
    ASSERT_NE(openRail()->detailPanel()->card(), nullptr);
    EXPECT_TRUE(cardPaints());
    state().openModule(RailModule::today);
    EXPECT_EQ(openRail()->detailPanel()->module(), RailModule::today);
    EXPECT_TRUE(openRail()->detailPanel()->card() != nullptr);
}
