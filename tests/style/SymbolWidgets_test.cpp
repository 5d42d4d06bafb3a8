#include "model/UserDefaults.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixSlider.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/PlainButton.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolLabel.h"
#include "style/widgets/SymbolView.h"

#include "ColorMeasure.h"
#include "LightLooks.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <memory>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

struct SymbolWidgets : ::testing::Test {
    test::TemporaryHome home;
    UserDefaults defaults{home.path(u"defaults.json"_s)};
    OrlixStyle style{defaults};

    static int countNear(const QImage &image, const QColor &color, const QRect &area = {})
    {
        const QRect box = area.isNull() ? image.rect() : area.intersected(image.rect());
        int count = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() > 200 && std::abs(pixel.red() - color.red()) < 40
                    && std::abs(pixel.green() - color.green()) < 40 && std::abs(pixel.blue() - color.blue()) < 40)
                    ++count;
            }
        return count;
    }
};

} // namespace

TEST_F(SymbolWidgets, ASymbolSizesItsFrameAndAsksForItsColourOnEveryPaint)
{
    SymbolView loose(u"sun.max"_s, 20);
    EXPECT_EQ(loose.sizeHint(), QSize(26, 26)) << "a square 1.3 times the point size";
    EXPECT_EQ(loose.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)) << "free until a frame is set";

    SymbolView framed(u"sun.max"_s, 11, {15, 15});
    EXPECT_EQ(framed.size(), QSize(15, 15));
    EXPECT_EQ(framed.minimumSize(), framed.maximumSize());
    EXPECT_EQ(framed.sizeHint(), QSize(15, 15));

    // A colour source is asked again at each paint: a change of style shows
    // without the holder handing the symbol a colour.
    SymbolView symbol(u"checkmark.circle.fill"_s, 20, {30, 30});
    QColor wanted(255, 0, 0);
    symbol.setColorSource([&wanted] { return wanted; });
    EXPECT_GT(countNear(symbol.grab().toImage(), QColor(255, 0, 0)), 100);
    wanted = QColor(0, 0, 255);
    EXPECT_EQ(symbol.color(), QColor(0, 0, 255));
    const QImage blue = symbol.grab().toImage();
    EXPECT_GT(countNear(blue, QColor(0, 0, 255)), 100);
    EXPECT_EQ(countNear(blue, QColor(255, 0, 0)), 0);

    // A fixed colour replaces the source; a role follows the style.
    symbol.setColor(QColor(0, 160, 0));
    EXPECT_EQ(symbol.color(), QColor(0, 160, 0));
    symbol.setRole(PaletteRole::text);
    for (const char *theme : {"default", "activeDark", "heroLight"}) {
        defaults.set(u"orlixTheme"_s, QString::fromLatin1(theme));
        EXPECT_EQ(symbol.color(), style.text()) << theme;
    }
}

TEST_F(SymbolWidgets, ASymbolDimsWhenDisabledTurnsAndLetsTheMouseThrough)
{
    SymbolView symbol(u"chevron.down"_s, 20, {30, 30});
    symbol.setColor(QColor(0, 0, 0));
    const QImage upright = symbol.grab().toImage();
    symbol.setRotation(-90);
    EXPECT_EQ(symbol.rotation(), -90);
    EXPECT_NE(symbol.grab().toImage(), upright) << "a turned chevron points elsewhere";
    symbol.setRotation(0);
    EXPECT_EQ(symbol.grab().toImage(), upright);

    // The darkest ink: black while enabled, a faded grey while disabled.
    const auto darkest = [](const QImage &image) {
        int lightness = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                lightness = std::min(lightness, image.pixelColor(x, y).lightness());
        return lightness;
    };
    EXPECT_LT(darkest(upright), 20);
    symbol.setEnabled(false);
    EXPECT_GT(darkest(symbol.grab().toImage()), 90);

    // A press on a symbol belongs to what holds it.
    PlainButton button;
    button.resize(60, 30);
    auto *inside = new SymbolView(u"play.fill"_s, 12, {20, 20}, &button);
    inside->move(5, 5);
    EXPECT_EQ(button.childAt(15, 15), nullptr);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(button.grab().toImage().pixelColor(50, 25).alpha() == 0
                || button.grab().toImage().pixelColor(50, 25) == button.palette().color(QPalette::Window))
        << "a plain button draws nothing of its own";
}

TEST_F(SymbolWidgets, ASymbolLabelPutsItsSymbolByTheFirstLineOrCentresItOnTheLine)
{
    const QFont font = OrlixFonts::system(13, QFont::Bold);
    SymbolLabel wrapped(u"A message long enough to wrap onto a second line here"_s, u"info.circle"_s, font);
    wrapped.setMaximumLines(2);
    wrapped.resize(200, wrapped.heightForWidth(200));
    wrapped.show();
    QCoreApplication::sendPostedEvents();
    SymbolView *mark = wrapped.symbolView();
    ASSERT_GT(wrapped.label()->height(), 2 * mark->height() - 4) << "two lines";
    EXPECT_EQ(mark->geometry().topLeft(), QPoint(0, 0)) << "beside the first line";
    EXPECT_EQ(wrapped.label()->x(), mark->width() + 6);
    EXPECT_NEAR(mark->pointSize(), 13 * 0.95, 0.01);
    EXPECT_EQ(mark->weight(), IconWeight::bold);

    SymbolLabel heading(u"Heading"_s, u"speaker.wave.2"_s, OrlixFonts::system(20, QFont::Normal), PaletteRole::text,
                        SymbolLabel::Fit::wideLine);
    heading.resize(200, 60);
    heading.show();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(heading.symbolView()->size(), QSize(26, 26));
    EXPECT_NEAR(heading.symbolView()->geometry().center().y(), heading.label()->geometry().center().y(), 1);
    EXPECT_EQ(heading.symbolView()->weight(), IconWeight::regular) << "regular beside a regular font";
    SymbolLabel line(u"Heading"_s, u"speaker.wave.2"_s, OrlixFonts::system(20, QFont::Bold), PaletteRole::text,
                     SymbolLabel::Fit::line);
    EXPECT_EQ(line.symbolView()->sizeHint(), QSize(25, 25));

    // A fixed colour paints symbol and text alike; an invalid one goes back
    // to the role, which follows the style.
    wrapped.setColor(QColor(255, 0, 0));
    EXPECT_EQ(mark->color(), QColor(255, 0, 0));
    const QImage red = wrapped.grab().toImage();
    EXPECT_GT(countNear(red, QColor(255, 0, 0), mark->geometry()), 10);
    EXPECT_GT(countNear(red, QColor(255, 0, 0), wrapped.label()->geometry()), 50);
    wrapped.setColor({});
    for (const char *theme : {"default", "activeDark"}) {
        defaults.set(u"orlixTheme"_s, QString::fromLatin1(theme));
        EXPECT_EQ(wrapped.color(), style.text()) << theme;
        EXPECT_EQ(mark->color(), style.text()) << theme;
    }
}

TEST_F(SymbolWidgets, TheSliderInTheDesktopLookDrawsSizesAndPagesAsTheDesktopSlider)
{
    QWidget host;
    auto *row = new QHBoxLayout(&host);
    QSlider plain(Qt::Horizontal);
    OrlixSlider slider;
    slider.setLook(OrlixSlider::Look::desktop);
    for (QAbstractSlider *each : {static_cast<QAbstractSlider *>(&plain), static_cast<QAbstractSlider *>(&slider)}) {
        each->setRange(0, 1000);
        each->setPageStep(10);
        each->setValue(400);
    }
    slider.setTint(QColor(200, 150, 0));
    QPalette palette = plain.palette();
    palette.setColor(QPalette::Highlight, QColor(200, 150, 0));
    plain.setPalette(palette);
    EXPECT_EQ(slider.sizeHint(), plain.sizeHint());
    EXPECT_EQ(slider.minimumSizeHint(), plain.minimumSizeHint());
    EXPECT_EQ(slider.sizePolicy(), plain.sizePolicy());
    EXPECT_EQ(slider.focusPolicy(), plain.focusPolicy());
    EXPECT_EQ(slider.cursor().shape(), plain.cursor().shape());
    row->addWidget(&plain);
    row->addWidget(&slider);
    plain.setFixedWidth(180);
    slider.setFixedWidth(180);
    host.show();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(slider.grab().toImage(), plain.grab().toImage());

    // A press far right of the handle pages, as the desktop slider does; the
    // kit look jumps to the press.
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(170, slider.height() / 2));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(170, slider.height() / 2));
    EXPECT_EQ(slider.value(), 410);
    slider.setLook(OrlixSlider::Look::kit);
    EXPECT_EQ(slider.sizeHint(), QSize(160, 22));
    QSignalSpy moved(&slider, &OrlixSlider::moved);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(171, slider.height() / 2));
    EXPECT_EQ(slider.value(), 1000);
    EXPECT_EQ(moved.count(), 1);
    row->removeWidget(&plain);
    row->removeWidget(&slider);
    plain.setParent(nullptr);
    slider.setParent(nullptr);
}

TEST_F(SymbolWidgets, ABareTextFieldDrawsOnlyItsTextAtTheSizeOfAPlainField)
{
    QLineEdit plain;
    plain.setFrame(false);
    OrlixTextField bare;
    bare.setBare(true);
    for (QLineEdit *each : {&plain, static_cast<QLineEdit *>(&bare)})
        each->setFont(OrlixFonts::system(13, QFont::DemiBold));
    EXPECT_EQ(bare.sizeHint(), plain.sizeHint());
    EXPECT_EQ(bare.textMargins(), QMargins());
    // The desktop's selection colours, the kit's text colours.
    EXPECT_EQ(bare.palette().color(QPalette::Highlight), plain.palette().color(QPalette::Highlight));
    EXPECT_EQ(bare.palette().color(QPalette::Text), style.text());
    EXPECT_EQ(bare.palette().color(QPalette::Base), QColor(Qt::transparent));
    defaults.set(u"orlixTheme"_s, u"activeDark"_s);
    EXPECT_EQ(bare.palette().color(QPalette::Text), style.text());
    EXPECT_EQ(bare.palette().color(QPalette::Highlight), plain.palette().color(QPalette::Highlight));

    // Nothing of the frame is drawn: an empty bare field leaves its corner clear.
    bare.resize(120, bare.sizeHint().height());
    QImage image(bare.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    bare.render(&image, {}, {}, QWidget::DrawChildren);
    EXPECT_EQ(image.pixelColor(image.width() / 2, 0).alpha(), 0);

    OrlixTextField framed;
    framed.resize(120, framed.sizeHint().height());
    image.fill(Qt::transparent);
    framed.render(&image, {}, {}, QWidget::DrawChildren);
    EXPECT_GT(image.pixelColor(60, 3).alpha(), 0) << "the kit's own field draws its frame";
    EXPECT_NE(framed.palette().color(QPalette::Highlight), plain.palette().color(QPalette::Highlight));
}

TEST_F(SymbolWidgets, StyleChangesReachTheirFollowersWhileTheFollowersLive)
{
    struct Follower : QWidget {
        int restyled = 0;
        void restyle() { ++restyled; }
    };
    auto follower = std::make_unique<Follower>();
    int calls = 0;
    onStyleChange(follower.get(), &Follower::restyle);
    onStyleChange(follower.get(), [&calls] { ++calls; });
    defaults.set(u"orlixTheme"_s, u"activeDark"_s);
    EXPECT_EQ(follower->restyled, 1);
    EXPECT_EQ(calls, 1);
    follower.reset();
    defaults.set(u"orlixTheme"_s, u"default"_s);
    EXPECT_EQ(calls, 1) << "a gone follower is not called";
}

// Module tints are made for fills: drawn as a symbol on a light card they
// are deepened to 3:1 against it, while on a fill of their own a symbol is
// measured against that fill, and dark looks keep the tint.
TEST_F(SymbolWidgets, TintedSymbolsReadOnLightCardsAndOnTheFillsTheySitOn)
{
    for (const char *theme : test::kLightThemes) {
        SCOPED_TRACE(theme);
        test::useLightLook(defaults, style, theme);
        const QColor backdrop = test::lightCardBackdrop(style);
        for (int m = 0; m < 10; ++m) {
            SymbolView symbol(u"flag.fill"_s, 16, {24, 24});
            symbol.setColor(style.tint(RailModule(m)));
            EXPECT_GE(test::drawnContrast(symbol, symbol.rect(), backdrop), kLargeInkContrast) << m;
            EXPECT_GE(
                test::contrastRatio(style.symbolInk(style.tint(RailModule(m))), OrlixStyle::lightReferenceSurface()),
                kLargeInkContrast)
                << m;
        }
        // White on a deep fill already reads there and stays white; against
        // the card it would have been greyed.
        const QColor deep(0x1672E8);
        SymbolView onFill(u"play.fill"_s, 16, {24, 24});
        onFill.setColor(Qt::white);
        onFill.setSurface(deep);
        EXPECT_EQ(style.symbolInk(Qt::white, deep), QColor(Qt::white));
        EXPECT_GE(test::drawnContrast(onFill, onFill.rect(), deep), 4.5);
        EXPECT_NE(style.symbolInk(Qt::white), QColor(Qt::white));
        // A light tint on its own faint fill is measured where it lands.
        const QColor yellow(0xFFD11F);
        const QColor faint = QColor::fromRgbF(1, 0.82f, 0.12f, 0.16f);
        EXPECT_GE(
            test::contrastRatio(style.symbolInk(yellow, faint), composited(faint, OrlixStyle::lightReferenceSurface())),
            kLargeInkContrast);
    }
    defaults.set(u"orlixTheme"_s, u"default"_s);
    defaults.set(u"orlixAppearanceMode"_s, u"dark"_s);
    EXPECT_EQ(style.symbolInk(style.tint(RailModule::nowPlaying)), style.tint(RailModule::nowPlaying));
}
