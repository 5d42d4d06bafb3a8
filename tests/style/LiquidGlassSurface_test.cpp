#include "style/ContinuousCorners.h"
#include "style/LiquidGlassSurface.h"
#include "style/ShadowBlur.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

using namespace kolu;

namespace {

// A white canvas with one surface painted at (40, 40), 200 x 120.
QImage paintOnWhite(const OrlixGlassProfile &resolved, GlassTier tier, qreal dpr, qreal radius = 16)
{
    QImage image(QSize(280, 200) * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    QPainter painter(&image);
    LiquidGlassSurface::paintResolved(painter, QRectF(40, 40, 200, 120), radius, resolved, tier);
    return image;
}

} // namespace

TEST(ContinuousCorners, ShapeStaysInsideItsRectAndSmallOnesBecomeCapsules)
{
    const QRectF rect(10, 20, 200, 100);
    const QPainterPath path = continuousRoundedRect(rect, 16);
    EXPECT_EQ(path.boundingRect(), rect);
    EXPECT_TRUE(path.contains(rect.center()));
    // The corner eases in: a point a radius along the top edge, just inside,
    // is already in the shape only past the eased span.
    EXPECT_TRUE(path.contains(QPointF(rect.left() + 16 * 1.6, rect.top() + 0.3)));
    for (const QPointF &p : {QPointF(12, 22), QPointF(208, 22), QPointF(12, 118), QPointF(208, 118)})
        EXPECT_FALSE(path.contains(p)) << p.x() << "," << p.y();

    const QPainterPath pill = continuousRoundedRect(QRectF(0, 0, 60, 20), 10);
    EXPECT_TRUE(pill.contains(QPointF(10, 10)));
    EXPECT_FALSE(pill.contains(QPointF(1, 1)));
    EXPECT_TRUE(continuousRoundedRect(QRectF(0, 0, 0, 10), 4).isEmpty());
}

TEST(LiquidGlassSurface, CardDarkensNothingOutsideItsShapeAndRepaintsTheSameFromTheCache)
{
    LiquidGlassSurface::clearCache();
    for (OrlixTheme theme : {OrlixTheme::default_, OrlixTheme::activeDark}) {
        for (GlassTier tier : {GlassTier::blurred, GlassTier::translucent, GlassTier::opaque}) {
            for (qreal dpr : {1.0, 2.0}) {
                const OrlixGlassProfile card = OrlixGlassProfile::card().resolved(theme, ColorScheme::dark);
                const QImage image = paintOnWhite(card, tier, dpr);
                const QPainterPath shape = continuousRoundedRect(QRectF(40, 40, 200, 120), 16);
                const QRectF bounds = shape.boundingRect();
                const qreal reach = 16 * 1.6;
                int touchedOutside = 0;
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        const QRectF px(x / dpr, y / dpr, 1 / dpr, 1 / dpr);
                        if (px.intersects(bounds)) {
                            // Inside the bounds only the corners can be outside the shape.
                            const bool nearCorner =
                                (px.right() < bounds.left() + reach || px.left() > bounds.right() - reach)
                                && (px.bottom() < bounds.top() + reach || px.top() > bounds.bottom() - reach);
                            if (!nearCorner || shape.intersects(px))
                                continue;
                        }
                        touchedOutside += image.pixel(x, y) != qRgb(255, 255, 255);
                    }
                }
                EXPECT_EQ(touchedOutside, 0) << int(theme) << " tier " << int(tier) << " dpr " << dpr;
                EXPECT_NE(image.pixel(int(140 * dpr), int(100 * dpr)), qRgb(255, 255, 255));
                EXPECT_EQ(paintOnWhite(card, tier, dpr), image);
            }
        }
    }
}

TEST(LiquidGlassSurface, ShadowFallsOutsideOnlyWhereSomethingComposites)
{
    const OrlixGlassProfile panel = OrlixGlassProfile::panel().resolved(OrlixTheme::activeDark, ColorScheme::dark);
    ASSERT_TRUE(LiquidGlassSurface::drawsShadow(panel, GlassTier::translucent));
    const QMarginsF margins = LiquidGlassSurface::shadowMargins(panel, GlassTier::translucent);
    EXPECT_GT(margins.bottom(), margins.top()) << "the shadow is offset downwards";

    const QImage composited = paintOnWhite(panel, GlassTier::translucent, 1);
    EXPECT_LT(qRed(composited.pixel(140, 165)), 255) << "the shadow shows just below the panel";
    EXPECT_EQ(composited.pixel(140, 2), qRgb(255, 255, 255)) << "and fades out within its margins";

    const QImage opaque = paintOnWhite(panel, GlassTier::opaque, 1);
    EXPECT_EQ(opaque.pixel(140, 165), qRgb(255, 255, 255)) << "no outer shadow without a compositor";
    EXPECT_TRUE(LiquidGlassSurface::shadowMargins(panel, GlassTier::opaque).isNull());
    // An opaque material hides the white behind it completely.
    EXPECT_EQ(LiquidGlassSurface::materialColor(panel, GlassTier::opaque).alpha(), 255);

    OrlixGlassProfile sharp = panel;
    sharp.shadow = {0.2, 0, 0, 4};
    EXPECT_FALSE(LiquidGlassSurface::drawsShadow(sharp, GlassTier::blurred)) << "radius 0 draws no shadow";
}

TEST(LiquidGlassSurface, MaterialGetsDenserAsTheDesktopGivesLess)
{
    for (const OrlixGlassProfile *preset : {&OrlixGlassProfile::rail(), &OrlixGlassProfile::panel()}) {
        for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            const OrlixGlassProfile p = preset->resolved(OrlixTheme::default_, scheme);
            const auto alpha = [&p](GlassTier tier) { return LiquidGlassSurface::materialColor(p, tier).alpha(); };
            EXPECT_LT(alpha(GlassTier::blurred), alpha(GlassTier::translucent));
            EXPECT_LT(alpha(GlassTier::translucent), alpha(GlassTier::opaque));
        }
    }
}

TEST(ShadowBlur, BlurKeepsTheMassAndSpreadsIt)
{
    QImage alpha(41, 41, QImage::Format_Alpha8);
    alpha.fill(0);
    for (int y = 15; y < 26; ++y)
        for (int x = 15; x < 26; ++x)
            alpha.bits()[y * alpha.bytesPerLine() + x] = 255;
    const auto mass = [](const QImage &img) {
        long sum = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                sum += img.constBits()[y * img.bytesPerLine() + x];
        return sum;
    };
    const long before = mass(alpha);
    gaussianBlurAlpha(alpha, 3);
    EXPECT_NEAR(double(mass(alpha)), double(before), before * 0.02);
    EXPECT_GT(alpha.constBits()[20 * alpha.bytesPerLine() + 10], 0) << "spread beyond the square";
    EXPECT_LT(alpha.constBits()[20 * alpha.bytesPerLine() + 20], 255) << "and softened inside";
}
