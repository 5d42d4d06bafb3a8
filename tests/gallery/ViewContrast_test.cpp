#include "GalleryRender.h"
#include "InkRecorder.h"

#include "model/SettingsKeys.h"
#include "model/UserDefaults.h"
#include "style/OrlixStyle.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sstream>
#include <string_view>
#include <tuple>

using namespace Qt::StringLiterals;

using namespace kolu;
using namespace kolu::test;

namespace {

double floorFor(DrawnInk::Kind kind)
{
    return kind == DrawnInk::Kind::bodyText ? kBodyTextContrast : kLargeInkContrast;
}

const char *kindName(DrawnInk::Kind kind)
{
    switch (kind) {
    case DrawnInk::Kind::bodyText: return "text";
    case DrawnInk::Kind::largeText: return "large text";
    case DrawnInk::Kind::symbol: return "symbol";
    case DrawnInk::Kind::fill:
    case DrawnInk::Kind::outline: return "indicator";
    }
    return "";
}

// The shapes that carry meaning, each known by its painter: the week
// strip's event dots, the onboarding's page dots, the slider's filled part
// (not its bare track, its white knob nor the knob's faint shadow) and the
// timeline's ring (not its segments nor the disc inside).
bool isIndicator(const DrawnInk &ink, const OrlixStyle &style)
{
    const QString painter = ink.widget.section(u'#', 0, 0);
    const bool fill = ink.kind == DrawnInk::Kind::fill;
    if (painter == "kolu::CalendarDayCell"_L1 || painter == "kolu::OnboardingPageDots"_L1)
        return fill;
    if (painter == "kolu::OrlixSlider"_L1)
        return fill && ink.color.rgb() != style.innerShade().rgb() && ink.color.rgb() != QColor(Qt::white).rgb()
               && ink.color.alphaF() > 0.3f;
    if (painter == "kolu::TimelineMarker"_L1)
        return ink.kind == DrawnInk::Kind::outline;
    return false;
}

// A look, the glass tier it is drawn in, and the desktop below: the
// gallery's wallpaper, or a white one.
using LookAndTier = std::tuple<int, int, bool>;
class ViewContrast : public ::testing::TestWithParam<LookAndTier> { };

} // namespace

// Every text run, symbol and indicator of every gallery view, in each look
// and in opaque and see-through glass: against the surface under it in the
// picture, body text reaches 4.5:1, large text, symbols and indicators 3:1.
// Disabled controls are exempt. The failures are listed.
TEST_P(ViewContrast, EveryTextAndSymbolReadsOnItsSurface)
{
    const auto [lookIndex, tier, white] = GetParam();
    const gallery::Look &look = gallery::kLooks[lookIndex];
    QTemporaryDir home;
    UserDefaults defaults(home.filePath(u"defaults.json"_s));
    OrlixStyle style(defaults);
    gallery::prepareApplication();
    style.setSystemScheme(std::string_view(look.mode) == "dark" ? ColorScheme::dark : ColorScheme::light);
    defaults.set(SettingsKey::orlixTheme, QString::fromLatin1(look.theme));
    defaults.set(SettingsKey::orlixAppearanceMode, QString::fromLatin1(look.mode));
    style.setGlassTier(gallery::kTiers[tier].tier);
    QImage wallpaper = gallery::wallpaper();
    if (white)
        wallpaper.fill(Qt::white);

    std::ostringstream failures;
    int checked = 0, failed = 0, indicators = 0;
    double worst = 21;
    std::string worstPair;
    for (const gallery::View &view : gallery::views()) {
        const QSize pixels = view.logicalSize(1) * gallery::kDpr;
        std::vector<DrawnInk> inks;
        const QImage picture =
            gallery::renderView(view, style, 1, wallpaper, gallery::wallpaperOrigin(lookIndex, tier, pixels, wallpaper),
                                [&](QWidget &widget) {
                                    InkRecorder recorder(view.logicalSize(1));
                                    recorder.record(widget);
                                    inks = recorder.inks();
                                });
        for (const DrawnInk &ink : inks) {
            const bool shape = ink.kind == DrawnInk::Kind::fill || ink.kind == DrawnInk::Kind::outline;
            if (!ink.widgetEnabled || (shape && !isIndicator(ink, style)))
                continue;
            const std::optional<MeasuredInk> seen = measure(ink, picture, gallery::kDpr / InkRecorder::kRatio);
            if (!seen)
                continue;
            ++checked;
            indicators += shape ? 1 : 0;
            std::ostringstream pair;
            pair << view.name << ": " << kindName(ink.kind) << " \"" << ink.what.left(40).toStdString() << "\" ("
                 << ink.widget.toStdString() << ") " << seen->ink.name().toStdString() << " on "
                 << seen->surface.name().toStdString() << " " << seen->ratio << ":1";
            if (seen->ratio < worst) {
                worst = seen->ratio;
                worstPair = pair.str();
            }
            if (seen->ratio < floorFor(ink.kind)) {
                ++failed;
                failures << "  " << pair.str() << "\n";
            }
        }
    }
    RecordProperty("worst", worstPair);
    const char *tierName = gallery::kTiers[tier].name;
    std::printf("%s %s %s%s: %d inks measured (%d indicators), worst %s\n", look.theme, look.mode, tierName,
                white ? " over white" : "", checked, indicators, worstPair.c_str());
    EXPECT_GT(checked, 1000);
    EXPECT_GT(indicators, 20) << "the indicators are measured";
    EXPECT_EQ(failed, 0) << "under their floor in " << look.theme << " " << look.mode << " " << tierName << ":\n"
                         << failures.str();
}

// Opaque glass shows the look's own surfaces; translucent glass shows the
// desktop through them: the wallpaper, and for the dark looks, which a light
// desktop lightens, a white one.
const auto kContrastCaseName = [](const ::testing::TestParamInfo<LookAndTier> &info) {
    const gallery::Look &look = gallery::kLooks[std::get<0>(info.param)];
    return std::string(look.theme) + "_" + look.mode + "_" + gallery::kTiers[std::get<1>(info.param)].name
           + (std::get<2>(info.param) ? "_overWhite" : "");
};
INSTANTIATE_TEST_SUITE_P(EveryLook, ViewContrast,
                         ::testing::Combine(::testing::Range(0, int(std::size(gallery::kLooks))),
                                            ::testing::Values(1, 2), ::testing::Values(false)),
                         kContrastCaseName);
INSTANTIATE_TEST_SUITE_P(DarkLooksOverALightDesktop, ViewContrast,
                         ::testing::Combine(::testing::Values(1, 3, 4), ::testing::Values(1), ::testing::Values(true)),
                         kContrastCaseName);
static_assert(gallery::kTiers[1].tier == GlassTier::translucent && gallery::kTiers[2].tier == GlassTier::opaque);
static_assert(std::string_view(gallery::kLooks[1].mode) == "dark" && std::string_view(gallery::kLooks[3].mode) == "dark"
              && std::string_view(gallery::kLooks[4].mode) == "dark");
