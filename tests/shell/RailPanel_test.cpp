#include "ShellFixture.h"

#include "ManualAnimationDriver.h"

#include "platform/x11/CompositorWatch.h"
#include "shell/PictureRegion.h"
#include "shell/rail/EdgeNotificationRings.h"
#include "shell/rail/EdgeNotificationRingsClock.h"
#include "shell/rail/EdgeNotificationRingsPictures.h"
#include "shell/rules/RingPhase.h"
#include "shell/rail/RailTransition.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "style/OrlixStyle.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

using namespace kolu;
using namespace std::chrono_literals;

using RailPanelTest = test::ShellTest;

TEST_F(RailPanelTest, IsPreparedBeforeItShowsTakesTheKeyboardForAFieldAndFollowsTheStateToEveryEdge)
{
    parts.railContent = [](AppState &, QWidget *parent) {
        auto *content = new QWidget(parent);
        auto *layout = new QVBoxLayout(content);
        auto *field = new QLineEdit(content);
        field->setObjectName(u"cardField"_s);
        layout->addWidget(field);
        return content;
    };
    // Anything to or from the top jumps, and expanding at the top never slides.
    const auto jumps = [this](auto change) {
        change();
        EXPECT_FALSE(panel().isAnimating());
        EXPECT_EQ(panel().shownFrame(), panel().targetFrame());
        EXPECT_EQ(panel().geometry(), panel().roomFor(panel().targetFrame()));
        EXPECT_EQ(panel().content()->geometry().translated(panel().pos()), panel().targetFrame());
    };
    jumps([this] { launch(); });
    EXPECT_EQ(windowing->prepared, QList<quint32>{static_cast<quint32>(panel().winId())});
    EXPECT_EQ(windowing->statesRequested, windowing->prepared);
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(panel().shownFrame().right(), panel().visibleFrame().right()) << "at the right edge";

    // The keyboard: only expanded, and only for a click on a field.
    auto *field = panel().findChild<QLineEdit *>(u"cardField"_s);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(windowing->acceptsFocus, false);

    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_NE(QApplication::activeWindow(), &panel()) << "collapsed: a click never takes the keyboard";

    state().expandPanel();
    EXPECT_EQ(windowing->acceptsFocus, true);
    EXPECT_NE(QApplication::activeWindow(), &panel()) << "expanding alone takes nothing";
    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_TRUE(test::waitUntil([this] { return QApplication::activeWindow() == &panel(); }));

    state().hideToEdge();
    EXPECT_EQ(windowing->acceptsFocus, false);
    settle();

    // Side to side slides.
    state().setRailEdge(RailEdge::left);
    EXPECT_TRUE(panel().isAnimating());
    settle();
    EXPECT_EQ(panel().shownFrame().left(), panel().visibleFrame().left());
    EXPECT_EQ(panel().geometry(), panel().roomFor(panel().targetFrame()));
    jumps([this] { state().setRailEdge(RailEdge::top); });
    EXPECT_EQ(panel().shownFrame().top(), panel().visibleFrame().top());
    jumps([this] { state().expandPanel(); });
    state().hideToEdge();
    jumps([this] { state().setRailEdge(RailEdge::right); });
}

namespace {
// Counts the panel's size changes.
struct ResizeCounter : QObject {
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Resize;
        return false;
    }
};
} // namespace

TEST_F(RailPanelTest, SlidesOutAndBackWithinAWindowThatKeepsItsSize)
{
    test::ManualAnimationDriver animations;
    launch();
    const QRect parked = panel().shownFrame();
    // The window holds the rail opened and closed: neither takes a new size.
    const QRect window = panel().geometry();
    ASSERT_TRUE(window.contains(parked));
    ResizeCounter resizes;
    panel().installEventFilter(&resizes);

    for (const bool expand : {true, false}) {
        const QRect from = panel().shownFrame();
        expand ? state().expandPanel() : state().hideToEdge();
        const QRect to = panel().targetFrame();
        ASSERT_NE(from.width(), to.width());
        EXPECT_TRUE(panel().isAnimating()) << "opening and closing at a side slide";
        EXPECT_EQ(window, from.united(to));
        int lastWidth = from.width();
        for (int step = 0; step < 30 && panel().isAnimating(); ++step) {
            animations.advanceBy(16);
            if (!panel().isAnimating())
                break;
            // The window holds; the part shown keeps to the screen edge, only grows
            // (or only shrinks), and nothing outside it takes clicks or shows.
            EXPECT_EQ(panel().geometry(), window) << "step " << step;
            const QRect shown = panel().shownFrame();
            EXPECT_EQ(shown, window.adjusted(window.width() - shown.width(), 0, 0, 0));
            EXPECT_TRUE(expand ? shown.width() >= lastWidth : shown.width() <= lastWidth) << "step " << step;
            lastWidth = shown.width();
            const QRect local = shown.translated(-window.topLeft());
            ASSERT_TRUE(windowing->inputRegion);
            EXPECT_TRUE(local.contains(windowing->inputRegion->boundingRect()) || windowing->inputRegion->isEmpty());
            EXPECT_EQ(panel().content()->mask(), QRegion(local));
        }
        EXPECT_FALSE(panel().isAnimating());
        EXPECT_EQ(panel().geometry(), window);
        EXPECT_EQ(panel().shownFrame(), to);
        EXPECT_EQ(panel().content()->geometry().translated(window.topLeft()), to);
        EXPECT_TRUE(panel().content()->mask().isEmpty()) << "all of it shows at rest";
        ASSERT_TRUE(windowing->inputRegion);
        EXPECT_TRUE(to.translated(-window.topLeft()).contains(windowing->inputRegion->boundingRect()));
    }
    EXPECT_EQ(panel().shownFrame(), parked);
    EXPECT_EQ(resizes.count, 0);
}

// Blended by a compositor, every new shape has it blend the whole part shown
// anew (and blur what lies behind): the fast part of a slide moves on every
// frame, its slow end only once it has moved a few pixels, and it still
// ends where it rests.
TEST_F(RailPanelTest, BlendedASlidesSlowEndMovesInStepsOfAFewPixels)
{
    test::ManualAnimationDriver animations;
    parts.isCompositing = [] { return true; };
    launch();
    ASSERT_TRUE(panel().composited());
    for (const bool expand : {true, false}) {
        std::vector<int> widths{panel().shownFrame().width()};
        expand ? state().expandPanel() : state().hideToEdge();
        const QRect to = panel().targetFrame();
        int frames = 0;
        for (; frames < 40 && panel().isAnimating(); ++frames) {
            animations.advanceBy(16);
            if (panel().shownFrame().width() != widths.back())
                widths.push_back(panel().shownFrame().width());
        }
        EXPECT_FALSE(panel().isAnimating());
        EXPECT_EQ(panel().shownFrame(), to);
        ASSERT_GE(widths.size(), 6u) << "the slide still shows its way";
        EXPECT_LT(widths.size(), static_cast<size_t>(frames)) << "not a shape every frame";
        for (size_t i = 1; i + 1 < widths.size(); ++i)
            EXPECT_GE(std::abs(widths[i] - widths[i - 1]), 4) << "step " << i;
    }
}

TEST_F(RailPanelTest, TheCloseSlidesWithNothingLeftBehindWithAndWithoutACompositor)
{
    test::ManualAnimationDriver animations;
    bool compositing = false;
    parts.isCompositing = [&] { return compositing; };
    withRailViews();
    launch();
    auto *view = qobject_cast<RailView *>(panel().content());
    ASSERT_TRUE(view);
    const auto run = [&](int ms) {
        test::step(panel(), ms);
        QCoreApplication::processEvents();
    };
    // Pixels clear in both resting rails stay clear on the way between.
    const QImage parked = test::picture(*view);
    // Uncomposited, the open's first shapes show the handle: never the
    // opened rail cut to where the handle rests, before it is painted.
    QCoreApplication::processEvents();
    const QRegion handle = panel().drawnRegion();
    ASSERT_FALSE(handle.isEmpty());
    windowing->visibleRegions.clear();
    state().expandPanel();
    QCoreApplication::processEvents();
    for (const std::optional<QRegion> &region : windowing->visibleRegions)
        EXPECT_TRUE(region && (*region - handle).isEmpty());
    run(1000);
    const QImage open = test::picture(*view);
    QWidget *expanded = view->content();
    const QRect card = expanded->findChild<ModuleDetailPanel *>()->geometry().translated(expanded->pos());

    // Uncomposited, only the shapes show: from the close's first frame,
    // still painted in the window, the opened rail shows on its way out,
    // never the handle alone over it.
    windowing->visibleRegions.clear();
    state().hideToEdge();
    QCoreApplication::processEvents();
    ASSERT_FALSE(windowing->visibleRegions.isEmpty());
    for (const std::optional<QRegion> &region : windowing->visibleRegions)
        EXPECT_TRUE(region && region->contains(card.center()));
    // Halfway through they still hold it, though it takes no clicks.
    run(48);
    ASSERT_TRUE(panel().isAnimating());
    ASSERT_TRUE(windowing->visibleRegion && windowing->inputRegion);
    const QRect shown = panel().shownFrame().translated(-panel().pos());
    const QPoint inCard = QRect(card & shown).center();
    ASSERT_TRUE(shown.intersects(card));
    EXPECT_TRUE(windowing->visibleRegion->contains(inCard)) << "the leaving card shows";
    EXPECT_FALSE(windowing->inputRegion->contains(inCard)) << "and takes no clicks";
    EXPECT_TRUE(windowing->visibleRegion->boundingRect().width() > 100);

    // Composited (a translucent panel): nothing shows where neither rail
    // draws at rest, no box of the window colour behind the leaving one.
    // All of the view, also what the slide's reveal does not show yet.
    QImage halfway(view->size(), QImage::Format_ARGB32_Premultiplied);
    halfway.fill(Qt::transparent);
    view->render(&halfway, QPoint(), QRegion(), QWidget::DrawChildren | QWidget::IgnoreMask);
    ASSERT_EQ(halfway.size(), open.size());
    int stray = 0;
    int leaving = 0;
    for (int y = 0; y < halfway.height(); ++y) {
        for (int x = 0; x < halfway.width(); ++x) {
            // The parked rail keeps to the screen edge, at the right.
            const int px = x - (open.width() - parked.width());
            const bool parkedClear =
                px < 0 || px >= parked.width() || y >= parked.height() || qAlpha(parked.pixel(px, y)) == 0;
            const bool clearAtRest = qAlpha(open.pixel(x, y)) == 0 && parkedClear;
            stray += clearAtRest && qAlpha(halfway.pixel(x, y)) > 0;
            leaving += card.contains(x, y) && qAlpha(halfway.pixel(x, y)) > 0;
        }
    }
    EXPECT_EQ(stray, 0);
    if (stray) {
        QImage marks = halfway;
        for (int y = 0; y < halfway.height(); ++y)
            for (int x = 0; x < halfway.width(); ++x)
                if (qAlpha(open.pixel(x, y)) == 0 && qAlpha(halfway.pixel(x, y)) > 0)
                    marks.setPixel(x, y, qRgb(255, 0, 0));
        marks.save(u"/tmp/c4748-half.png"_s);
    }
    EXPECT_GT(leaving, 0) << "the card is still on its way out";
    run(1000);
    EXPECT_FALSE(panel().isAnimating());
    EXPECT_EQ(railmotion::leavingPictures(view), 0);
    // What left goes once what came has been painted.
    EXPECT_TRUE(test::waitUntil([&] { return *windowing->visibleRegion == *windowing->inputRegion; }))
        << "at rest only the drawing shows";
}

namespace {

// How many pixels of what `frame` shows in `shown` are pale: lighter than
// the dark look's surfaces and a dark desktop by far, as its text and
// symbols are, and a fade through a pale window colour would make a whole
// surface.
int palePixels(const QImage &frame, const QRegion &shown)
{
    int count = 0;
    for (const QRect &rect : shown &frame.rect()) {
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const QRgb pixel = frame.pixel(x, y);
                count += 0.2126 * qRed(pixel) + 0.7152 * qGreen(pixel) + 0.0722 * qBlue(pixel) > 90;
            }
    }
    return count;
}

} // namespace

// Without a compositor the window shows only its shape, and nothing beneath
// it blends: in the dark look on a dark desktop, no frame of an open, a
// close, an alert coming or going or the clipboard pulse is lighter than
// both the desktop and the pictures the motion starts and ends on (a fade
// would pass through the window's own pale colour).
TEST_F(RailPanelTest, WithoutACompositorNoFrameOfAMotionIsPalerThanTheDesktopAndItsEnd)
{
    test::ManualAnimationDriver animations;
    defaults.set(SettingsKey::orlixAppearanceMode, u"dark"_s);
    OrlixStyle look{defaults};
    parts.isCompositing = [] { return false; };
    EdgeNotificationRings::setTimeSource([] { return 100.0; });
    withRailViews();
    launch();
    ASSERT_TRUE(panel().shapesWindow());
    // What shows, but for the solid rings in their tint: a motion that
    // shows a part of the rail shows more or less of them.
    const auto pale = [&] {
        QCoreApplication::processEvents();
        QRegion shown = windowing->visibleRegion ? *windowing->visibleRegion : QRegion(panel().rect());
        if (auto *view = qobject_cast<RailView *>(panel().content()))
            shown -= view->ornamentRegion().translated(view->pos());
        return palePixels(test::picture(panel()), shown);
    };
    // Text and symbols move and are revealed, but no more of them shows
    // than where the motion starts or ends (a few pixels of rounding aside).
    const auto watch = [&](const char *motion, const std::function<void()> &begin) {
        SCOPED_TRACE(motion);
        const int start = pale();
        std::vector<int> frames;
        begin();
        for (int ms = 0; ms < 1200; ms += 16) {
            frames.push_back(pale());
            test::step(panel(), 16);
        }
        settle();
        const int bound = std::max(start, pale()) + 200;
        for (std::size_t i = 0; i < frames.size(); ++i)
            EXPECT_LE(frames[i], bound) << "frame " << i << " (" << i * 16 << " ms)";
    };
    watch("open", [&] { state().expandPanel(); });
    watch("close", [&] { state().hideToEdge(); });
    watch("alert", [&] {
        CalendarEvent event;
        event.title = u"Design review"_s;
        event.startDate = clock.now().addSecs(300);
        state().setActiveCalendarAlert(event);
    });
    watch("alert goes", [&] { state().setActiveCalendarAlert(std::nullopt); });
    watch("pulse", [&] { state().setClipboardPulseActive(true); });
    EdgeNotificationRings::setTimeSource({});
}

// Where nothing composites the panel, each new picture of solid rings is one
// shape sent, the parts it adds painted and sent right behind it: what
// leaves goes as what comes arrives, not in a second shape a turn later.
TEST_F(RailPanelTest, EachNewPictureOfSolidRingsIsOneShape)
{
    test::ManualAnimationDriver animations;
    parts.isCompositing = [] { return false; };
    // Between two pictures: each step lands on the next one.
    double seconds = 100.05;
    EdgeNotificationRings::setTimeSource([&seconds] { return seconds; });
    withRailViews();
    launch();
    ASSERT_TRUE(test::waitUntil([&] { return panel().windowHandle() && panel().windowHandle()->isExposed(); }));
    CalendarEvent event;
    event.title = u"Design review"_s;
    event.startDate = clock.now().addSecs(300);
    state().setActiveCalendarAlert(event);
    test::step(panel(), 1200);
    settle();
    auto *view = qobject_cast<RailView *>(panel().content());
    ASSERT_NE(view, nullptr);
    const double picture = 1.0 / (rings::cyclesPerSecond * rings::framesPerCycle);
    int pictures = 0;
    for (int i = 0; i < rings::framesPerCycle; ++i) {
        QCoreApplication::processEvents();
        windowing->visibleRegions.clear();
        const QRegion before = view->ornamentRegion();
        seconds += picture * ringpictures::kSolidStep;
        RingClock::shared().tick();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        if (view->ornamentRegion() == before)
            continue;
        ++pictures;
        ASSERT_EQ(windowing->visibleRegions.size(), 1) << "picture " << i;
        EXPECT_EQ(windowing->visibleRegions.last(), std::optional(panel().shownRegion()));
    }
    EXPECT_GE(pictures, rings::framesPerCycle / 2);
    EdgeNotificationRings::setTimeSource({});
}

// Glass is see-through while a compositor blends the panel, and follows one
// that stops and starts again. A panel made with no compositor gets a window
// with an alpha channel once one starts: a new window under the same
// content, regions and connections, with a picture of the old one, cut as
// it showed, standing in until the new one has been painted.
class GlassTierTest : public RailPanelTest, public ::testing::WithParamInterface<bool> { };

namespace {
// Counts the shows and hides a widget is told of.
struct VisibilityEvents : QObject {
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Show || event->type() == QEvent::Hide;
        return false;
    }
};
} // namespace

TEST_P(GlassTierTest, FollowsTheCompositorAsThePanelCanShowIt)
{
    const bool atLaunch = GetParam();
    bool compositing = atLaunch;
    parts.isCompositing = [&] { return compositing; };
    withRailViews();
    launch();
    const OrlixStyle &style = OrlixStyle::current();
    auto *watch = panel().findChild<CompositorWatch *>();
    ASSERT_NE(watch, nullptr);
    ASSERT_TRUE(test::waitUntil([this] { return panel().windowHandle()->isExposed(); }));
    const auto hasAlpha = [this] { return panel().windowHandle()->requestedFormat().hasAlpha(); };
    EXPECT_EQ(hasAlpha(), atLaunch);
    EXPECT_EQ(style.glassTier(), atLaunch ? GlassTier::translucent : GlassTier::opaque);
    const QWidget *content = panel().content();
    const auto first = static_cast<quint32>(panel().winId());
    const std::optional<QRegion> input = windowing->inputRegion;
    const std::optional<QRegion> shown = windowing->visibleRegion;
    QSignalSpy restyled(&style, &OrlixStyle::changed);
    VisibilityEvents told;
    panel().content()->installEventFilter(&told);
    for (const bool now : {!atLaunch, atLaunch, true}) {
        const bool remade = now && !hasAlpha();
        compositing = now;
        Q_EMIT watch->changed();
        EXPECT_EQ(style.glassTier(), now ? GlassTier::translucent : GlassTier::opaque);
        if (!now)
            continue;
        EXPECT_TRUE(hasAlpha());
        EXPECT_EQ(windowing->standIn.has_value(), remade);
        if (remade && windowing->standIn) {
            EXPECT_EQ(windowing->standIn->window, first);
            EXPECT_EQ(windowing->standIn->picture.size(), panel().size());
            EXPECT_EQ(windowing->standIn->shape, shown);
        }
        EXPECT_TRUE(test::waitUntil([this] { return !windowing->standIn; })) << "gone once the new window is painted";
    }
    EXPECT_EQ(restyled.count(), atLaunch ? 2 : 3) << "each change repaints every glass surface, once";
    EXPECT_EQ(panel().content(), content);
    EXPECT_EQ(told.count, 0) << "the views stay shown throughout";
    EXPECT_EQ(windowing->inputRegion, input);
    if (atLaunch) {
        EXPECT_EQ(windowing->prepared.size(), 1);
        return;
    }
    // Made anew once, prepared as the first was; what the old one kept goes.
    const auto now = static_cast<quint32>(panel().winId());
    EXPECT_EQ(windowing->prepared, (QList<quint32>{first, now}));
    EXPECT_NE(now, first);
    EXPECT_EQ(windowing->forgotten, QList<quint32>{first});
    EXPECT_EQ(windowing->statesRequested.size(), 2);
    // The hover still opens the rail into the new window.
    revealFromBand();
    EXPECT_TRUE(panel().composited());
}

INSTANTIATE_TEST_SUITE_P(AtLaunch, GlassTierTest, ::testing::Bool());

TEST_F(RailPanelTest, OnlyWhatIsDrawnTakesClicksOrShowsUncompositedAndTheQuietTopRailTakesNone)
{
    bool compositing = true;
    parts.isCompositing = [&] { return compositing; };
    launch();
    // The content's regions land where it stands in the window.
    const auto inWindow = [this](const QRegion &region) {
        return region.translated(panel().shownFrame().topLeft() - panel().pos());
    };
    ASSERT_TRUE(windowing->inputRegion);
    EXPECT_EQ(*windowing->inputRegion, inWindow(QRegion(panel().content()->rect()))) << "the whole handle takes drops";
    panel().setDrawnRegion(QRegion(0, 100, 18, 300));
    EXPECT_EQ(*windowing->inputRegion, inWindow(QRegion(0, 100, 18, 300)));
    // Blended by the compositor, at rest the window shows only what it
    // draws too: compositors blur what lies behind a window's shape.
    const auto showsDrawing = [&] {
        return test::waitUntil([&] { return windowing->visibleRegion == inWindow(QRegion(0, 100, 18, 300)); });
    };
    EXPECT_TRUE(showsDrawing());
    // While it moves, never the whole window (the compositor would blur the
    // desktop behind all of it on every frame), and nothing beyond the part
    // the slide shows; at rest the drawing again.
    state().expandPanel();
    ASSERT_TRUE(panel().isAnimating());
    panel().repaint();
    ASSERT_TRUE(windowing->visibleRegion);
    const QRect shown(panel().shownFrame().topLeft() - panel().pos(), panel().shownFrame().size());
    EXPECT_NE(windowing->visibleRegion, QRegion(PanelWindowing::wholeAtAnySize()));
    EXPECT_TRUE((*windowing->visibleRegion - shown).isEmpty());
    state().hideToEdge();
    settle();
    panel().setDrawnRegion(QRegion(0, 100, 18, 300));
    EXPECT_TRUE(showsDrawing());
    // The compositor goes: the translucent panel would show black where it
    // draws nothing; only the drawing shows from its next layout on.
    compositing = false;
    panel().relayout();
    EXPECT_TRUE(showsDrawing());
    EXPECT_EQ(windowing->inputRegion, windowing->visibleRegion);

    state().setRailEdge(RailEdge::top);
    EXPECT_TRUE(windowing->inputRegion->isEmpty()) << "collapsed at the top: clicks pass";
    state().setClipboardPulseActive(true);
    EXPECT_FALSE(windowing->inputRegion->isEmpty()) << "the pulse takes clicks";
    state().setClipboardPulseActive(false);
    panel().setDrawnRegion(QRegion(0, 0, 5, 5));
    EXPECT_TRUE(windowing->inputRegion->isEmpty()) << "a new drawing does not take the clicks back";

    // The region follows the rail as it grows.
    state().expandPanel();
    settle();
    EXPECT_EQ(*windowing->inputRegion, inWindow(QRegion(0, 0, 5, 5)));
    panel().setDrawnRegion(QRegion(-10, -10, 5000, 5000));
    EXPECT_EQ(*windowing->inputRegion, inWindow(QRegion(panel().content()->rect()))) << "clipped to the rail";
}

// What of a window's picture shows anything, read back from its pixels: the
// shape a blended window takes while anything in it moves.
TEST(PictureRegionTest, TakesEveryPixelThatShowsAnythingAndNothingClear)
{
    QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        // A faint rounded card and a solid mark apart from it.
        painter.setBrush(QColor(255, 255, 255, 3));
        painter.drawRoundedRect(QRectF(2, 2, 20, 24), 6, 6);
        painter.fillRect(QRect(30, 10, 4, 4), Qt::black);
    }
    QRegion expected;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                expected += QRect(x, y, 1, 1);
    const QRegion drawn = picture::drawnParts(image, image.rect());
    EXPECT_TRUE((drawn ^ expected).isEmpty()) << "a faint picture shows as much as a solid one";
    EXPECT_LT(drawn.rectCount(), 2 * image.height()) << "rows alike share a band";
    EXPECT_TRUE((picture::drawnParts(image, QRect(25, 0, 15, 30)) ^ QRegion(30, 10, 4, 4)).isEmpty())
        << "only within the area";
    EXPECT_TRUE(picture::drawnParts(image, QRect(36, 0, 10, 30)).isEmpty());
    EXPECT_TRUE(
        (picture::drawnParts(image, image.rect(), 1.0, picture::kDeeperThanShadows) ^ QRegion(30, 10, 4, 4)).isEmpty())
        << "past a shadow's depth only the solid mark";

    // At a fractional scale a logical pixel shows where any of its device
    // pixels does.
    QImage scaled(30, 30, QImage::Format_ARGB32_Premultiplied);
    scaled.fill(Qt::transparent);
    scaled.setPixel(3, 3, qRgba(0, 0, 0, 255));
    EXPECT_EQ(picture::drawnParts(scaled, QRect(0, 0, 20, 20), 1.5), QRegion(2, 2, 1, 1));

    // What a slide cuts down to a column or two goes; the rest stays whole.
    const QRegion cut = QRegion(0, 0, 2, 40) + QRegion(10, 0, 3, 40) + QRegion(20, 5, 30, 10);
    EXPECT_TRUE((picture::withoutSlivers(cut, 3) ^ (QRegion(10, 0, 3, 40) + QRegion(20, 5, 30, 10))).isEmpty());

    // A picture without an alpha channel shows whole.
    QImage opaque(10, 10, QImage::Format_RGB32);
    opaque.fill(Qt::white);
    EXPECT_EQ(picture::drawnParts(opaque, QRect(2, 2, 4, 4)), QRegion(2, 2, 4, 4));
}
