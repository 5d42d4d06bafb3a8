#include "style/ReadableInk.h"

#include "model/UserDefaults.h"
#include "style/OrlixStyle.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/widgets/StatusPill.h"

#include "ColorMeasure.h"
#include "LightLooks.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Qt::StringLiterals;

using namespace kolu;
using namespace kolu::test;

namespace {

double hueDistance(const QColor &a, const QColor &b)
{
    const double d = std::abs(a.toHsl().hslHueF() - b.toHsl().hslHueF());
    return std::min(d, 1 - d) * 360;
}

} // namespace

// The pairs that read badly in light appearance, measured on the program's
// pictures: mended to their floor in the same hue, darker.
TEST(ReadableInk, TintsMadeForFillsBecomeReadableInTheirOwnHue)
{
    struct Pair {
        QColor ink;
        QColor surface;
        double floor;
    };
    for (const Pair &pair : {Pair{QColor(0xADD66B), QColor(0xFAFAFB), kBodyTextContrast},
                             Pair{QColor(0xFFD11F), QColor(0xFAFAFB), kLargeInkContrast},
                             Pair{QColor(0xFFD11F), QColor(0xFAFAFB), kBodyTextContrast},
                             Pair{QColor(0x61B8EB), QColor(0xE8F2F9), kBodyTextContrast},
                             Pair{QColor(0xFF9E4D), QColor(0xFAF7F2), kBodyTextContrast},
                             Pair{QColor(0x5CD175), QColor(0xFAFAFB), kBodyTextContrast},
                             Pair{QColor(0xE8821E), QColor(0xF5F5F8), kBodyTextContrast},
                             Pair{QColor(0x8F8A82), QColor(0xF1F1F0), kBodyTextContrast},
                             Pair{QColor(0x69AAFF), QColor(0x69AAFF), kBodyTextContrast}}) {
        SCOPED_TRACE(pair.ink.name().toStdString() + " on " + pair.surface.name().toStdString());
        const QColor mended = readableOn(pair.ink, pair.surface, pair.floor);
        EXPECT_GE(contrastRatio(mended, pair.surface), pair.floor);
        EXPECT_LT(relativeLuminance(mended), relativeLuminance(pair.ink));
        if (pair.ink.toHsl().hslSaturationF() > 0.1f) {
            EXPECT_LE(hueDistance(mended, pair.ink), 4.0);
        }
    }
    // What already reads stays as it is; on a dark surface ink grows lighter.
    EXPECT_EQ(readableOn(QColor(0x1A1A18), QColor(0xFAFAFB)), QColor(0x1A1A18));
    const QColor onDark = readableOn(QColor(0x2060A0), QColor(0x202020));
    EXPECT_GE(contrastRatio(onDark, QColor(0x202020)), kBodyTextContrast);
    EXPECT_GT(relativeLuminance(onDark), relativeLuminance(QColor(0x2060A0)));
    // A see-through hairline counts as it lands, and comes back opaque.
    const QColor hairline = readableOn(QColor(0, 0, 0, 40), QColor(0xFAFAFB), kLargeInkContrast);
    EXPECT_EQ(hairline.alpha(), 255);
    EXPECT_GE(contrastRatio(hairline, QColor(0xFAFAFB)), kLargeInkContrast);
}

TEST(ReadableInk, OnlyLightAppearanceDarkensAndEveryModuleTintThenReads)
{
    UserDefaults defaults{QString()};
    OrlixStyle style(defaults);
    for (const char *theme : kLightThemes) {
        SCOPED_TRACE(theme);
        useLightLook(defaults, style, theme);
        const QColor backdrop = lightCardBackdrop(style);
        for (int m = 0; m < 10; ++m) {
            EXPECT_GE(contrastRatio(style.readable(style.tint(RailModule(m))), backdrop), kBodyTextContrast) << m;
            EXPECT_GE(contrastRatio(style.readable(style.tint(RailModule(m)), kLargeInkContrast), backdrop),
                      kLargeInkContrast)
                << m;
        }
    }
    defaults.set(SettingsKey::orlixTheme, u"default"_s);
    defaults.set(SettingsKey::orlixAppearanceMode, u"dark"_s);
    EXPECT_EQ(style.readable(style.tint(RailModule::nowPlaying)), style.tint(RailModule::nowPlaying));
}

// Measured from the pixels: an off switch shows its edge on a light card,
// also while disabled, and a tinted pill's text reads.
TEST(ReadableInk, SwitchEdgesAndPillTextReadOnLightCards)
{
    UserDefaults defaults{QString()};
    OrlixStyle style(defaults);
    for (const char *theme : kLightThemes) {
        SCOPED_TRACE(theme);
        useLightLook(defaults, style, theme);
        const QColor backdrop = lightCardBackdrop(style);
        for (const bool enabled : {true, false}) {
            OrlixSwitch toggle;
            toggle.setEnabled(enabled);
            EXPECT_GE(drawnContrast(toggle, toggle.rect(), backdrop), kLargeInkContrast) << "enabled " << enabled;
        }
        StatusPill pill(u"WEB LIBRARY"_s, style.tint(RailModule::wallpapers));
        pill.resize(pill.sizeHint());
        EXPECT_GE(drawnContrast(pill, pill.rect(), backdrop), kBodyTextContrast);
    }
}
