#include "GalleryRender.h"
#include "InkRecorder.h"

#include "model/SettingsKeys.h"
#include "model/UserDefaults.h"
#include "style/OrlixStyle.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sstream>
#include <string_view>

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
    }
    return "";
}

class ViewContrast : public ::testing::TestWithParam<int> { };

} // namespace

// Every text run and symbol of every gallery view, in each look: against
// the surface under it in the picture, body text reaches 4.5:1, large text
// and symbols 3:1. Disabled controls are exempt. The failures are listed.
TEST_P(ViewContrast, EveryTextAndSymbolReadsOnItsSurface)
{
    const gallery::Look &look = gallery::kLooks[GetParam()];
    QTemporaryDir home;
    UserDefaults defaults(home.filePath(u"defaults.json"_s));
    OrlixStyle style(defaults);
    gallery::prepareApplication();
    style.setSystemScheme(std::string_view(look.mode) == "dark" ? ColorScheme::dark : ColorScheme::light);
    defaults.set(SettingsKey::orlixTheme, QString::fromLatin1(look.theme));
    defaults.set(SettingsKey::orlixAppearanceMode, QString::fromLatin1(look.mode));
    // Opaque glass: the surfaces are the look's own, not the desktop's
    // through them (the glass over the desktop is measured on its own).
    constexpr int tier = 2;
    static_assert(gallery::kTiers[tier].tier == GlassTier::opaque);
    style.setGlassTier(gallery::kTiers[tier].tier);
    const QImage wallpaper = gallery::wallpaper();

    std::ostringstream failures;
    int checked = 0, failed = 0;
    double worst = 21;
    std::string worstPair;
    for (const gallery::View &view : gallery::views()) {
        const QSize pixels = view.logicalSize(1) * gallery::kDpr;
        std::vector<DrawnInk> inks;
        const QImage picture =
            gallery::renderView(view, style, 1, wallpaper,
                                gallery::wallpaperOrigin(GetParam(), tier, pixels, wallpaper), [&](QWidget &widget) {
                                    InkRecorder recorder(view.logicalSize(1));
                                    recorder.record(widget);
                                    inks = recorder.inks();
                                });
        for (const DrawnInk &ink : inks) {
            if (!ink.widgetEnabled)
                continue;
            const std::optional<MeasuredInk> seen = measure(ink, picture, gallery::kDpr / InkRecorder::kRatio);
            if (!seen)
                continue;
            ++checked;
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
    std::printf("%s %s: %d inks measured, worst %s\n", look.theme, look.mode, checked, worstPair.c_str());
    EXPECT_GT(checked, 1000);
    EXPECT_EQ(failed, 0) << "under their floor in " << look.theme << " " << look.mode << ":\n" << failures.str();
}

INSTANTIATE_TEST_SUITE_P(EveryLook, ViewContrast, ::testing::Range(0, int(std::size(gallery::kLooks))),
                         [](const ::testing::TestParamInfo<int> &info) {
                             const gallery::Look &look = gallery::kLooks[info.param];
                             return std::string(look.theme) + "_" + look.mode;
                         });
