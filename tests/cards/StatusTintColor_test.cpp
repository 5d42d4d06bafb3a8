#include "cards/StatusTintColor.h"

#include "model/UserDefaults.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"

#include "../style/ColorMeasure.h"
#include "../style/LightLooks.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace kolu;

// Measured from the pixels: a card's status line, in green, orange or any
// module's tint, reads on a light card in every light look.
TEST(StatusTintColor, StatusLinesReadOnLightCards)
{
    UserDefaults defaults{QString()};
    OrlixStyle style(defaults);
    for (const char *theme : test::kLightThemes) {
        SCOPED_TRACE(theme);
        test::useLightLook(defaults, style, theme);
        std::vector<QColor> inks{statusTintColor(StatusTint::green, {}), statusTintColor(StatusTint::orange, {})};
        for (int m = 0; m < 10; ++m)
            inks.push_back(statusTintColor(StatusTint::accent, style.tint(RailModule(m))));
        for (const QColor &ink : inks) {
            ElidedLabel line(u"Refresh today's times"_s);
            line.setFont(OrlixFonts::system(11, QFont::DemiBold));
            line.setColor(ink);
            line.resize(line.sizeHint());
            EXPECT_GE(test::drawnContrast(line, line.rect(), test::lightCardBackdrop(style)), kBodyTextContrast)
                << ink.name().toStdString();
        }
    }
}
