#include "model/UserDefaults.h"
#include "style/HeroColor.h"
#include "style/ModuleTint.h"
#include "style/OrlixStyle.h"
#include "style/Palette.h"
#include "style/Theme.h"

#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

std::optional<QString> s(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

TEST(Theme, StoredNamesAndTheSchemeRule)
{
    for (const char *name : {"Default", "ACTIVEDARK", ""})
        EXPECT_EQ(themeFromStored(s(name)), OrlixTheme::default_) << name;
    EXPECT_EQ(themeFromStored(std::nullopt), OrlixTheme::default_);
    EXPECT_EQ(themeFromStored(s("flatOlive")), OrlixTheme::flatOlive);
    EXPECT_EQ(themeFromStored(s("heroLight")), OrlixTheme::heroLight);

    const std::optional<ColorScheme> none;
    // Theme, stored appearance mode, the scheme it asks for.
    const std::tuple<OrlixTheme, std::optional<QString>, std::optional<ColorScheme>> cases[] = {
        {OrlixTheme::activeDark, s("light"), ColorScheme::dark},
        {OrlixTheme::activeDark, std::nullopt, ColorScheme::dark},
        {OrlixTheme::heroLight, s("dark"), ColorScheme::light},
        {OrlixTheme::default_, s("dark"), ColorScheme::dark},
        {OrlixTheme::flatOlive, s("light"), ColorScheme::light},
        {OrlixTheme::default_, s("system"), none},
        {OrlixTheme::default_, s("Dark"), none},
        {OrlixTheme::flatOlive, s(""), none},
        {OrlixTheme::flatOlive, std::nullopt, none},
    };
    for (const auto &[theme, mode, preferred] : cases) {
        EXPECT_EQ(preferredColorScheme(theme, mode), preferred)
            << rawValue(theme).toStdString() << " " << mode.value_or(u"<absent>"_s).toStdString();
        EXPECT_EQ(effectiveColorScheme(theme, mode, ColorScheme::dark), preferred.value_or(ColorScheme::dark));
    }
}

TEST(Palette, SingleSchemeThemesIgnoreTheSchemeAndDefaultInvertsItsInks)
{
    for (int role = 0; role < kPaletteRoleCount; ++role) {
        for (OrlixTheme theme : {OrlixTheme::activeDark, OrlixTheme::heroLight}) {
            EXPECT_EQ(paletteColor(theme, ColorScheme::light, PaletteRole(role)),
                      paletteColor(theme, ColorScheme::dark, PaletteRole(role)));
        }
    }
    // innerShade is light in light appearance and black in dark; hairline
    // switches from black ink to white ink.
    EXPECT_GT(paletteColor(OrlixTheme::default_, ColorScheme::light, PaletteRole::innerShade).lightnessF(), 0.9);
    EXPECT_EQ(paletteColor(OrlixTheme::default_, ColorScheme::dark, PaletteRole::innerShade).lightnessF(), 0);
    EXPECT_EQ(paletteColor(OrlixTheme::default_, ColorScheme::light, PaletteRole::hairline).rgb(), qRgb(0, 0, 0));
    EXPECT_EQ(paletteColor(OrlixTheme::default_, ColorScheme::dark, PaletteRole::hairline).rgb(), qRgb(255, 255, 255));
}

TEST(HeroColor, ParsesOnlyAnOptionalNumberSignAndSixHexDigits)
{
    const QColor exact = QColor(0x0D, 0x6C, 0xE8);
    for (const auto &[text, rgb] : {std::pair{u"#0D6CE8"_s, exact.rgb()}, std::pair{u" 0D6CE8\n"_s, exact.rgb()},
                                    std::pair{u"#0d6ce8"_s, exact.rgb()}, std::pair{u"#ffffff"_s, qRgb(255, 255, 255)}})
        EXPECT_EQ(parseHexColor(text).value_or(QColor()).rgb(), rgb) << text.toStdString();
    // Nothing else parses, a full-width digit included.
    for (const QString &text :
         {u"##0D6CE8"_s, u"0D6CEG"_s, u"#0D6CE"_s, u"+D6CE8"_s, u"-D6CE8"_s, u"#+0D6CE"_s, u"0x6CE8"_s, u"# 0D6CE8"_s,
          u"#0D6CE8FF"_s, u"０D6CE8"_s, QString(), QString(10240, u'A')})
        EXPECT_FALSE(parseHexColor(text).has_value()) << text.left(20).toStdString();
    // Absent gives the default's exact bytes; unusable gives the rounded fallback.
    EXPECT_EQ(heroColorFromStored(std::nullopt).rgb(), exact.rgb());
    EXPECT_EQ(heroColorFromStored(u"0D6CEG"_s), fallbackHeroColor());
}

TEST(HeroColor, LuminanceAndHexStringClampAndRoundTrip)
{
    EXPECT_NEAR(luminance(*parseHexColor(u"#0D6CE8"_s)), 0.379, 0.001);
    EXPECT_DOUBLE_EQ(luminance(Qt::white), 1.0);
    EXPECT_EQ(hexString(QColor(255, 0, 0)), u"#FF0000"_s);
    EXPECT_EQ(hexString(fallbackHeroColor()), u"#0D6CE8"_s);
    EXPECT_FALSE(hexString(QColor()).has_value());
    // Out-of-range components clamp, so the result always parses again.
    EXPECT_EQ(hexString(QColor::fromRgbF(1.4f, -0.2f, 0.5f).toExtendedRgb()), u"#FF0080"_s);
    EXPECT_TRUE(parseHexColor(hexString(QColor::fromRgbF(1.4f, -0.2f, 0.5f)).value_or(QString())));
    for (const char *text : {"#000000", "#0D6CE8", "#7F8081", "#FFFFFF", "#12AB9C"})
        EXPECT_EQ(hexString(*parseHexColor(QString::fromLatin1(text))), QString::fromLatin1(text));
}

TEST(ModuleTint, ThemeTablesAndTheHeroColour)
{
    const QColor hero(10, 20, 30);
    for (RailModule module : allCases<RailModule>())
        EXPECT_EQ(moduleTint(module, OrlixTheme::heroLight, hero), hero);
    EXPECT_EQ(moduleTint(RailModule::today, OrlixTheme::flatOlive, hero),
              moduleTint(RailModule::calendar, OrlixTheme::flatOlive, hero));
    EXPECT_EQ(moduleTint(RailModule::today, OrlixTheme::flatOlive, hero),
              moduleTint(RailModule::wallpapers, OrlixTheme::flatOlive, hero));
}

TEST(OrlixStyle, ReadsHandEditedDefaultsWithoutWritingThemBack)
{
    test::TemporaryHome home;
    const QString path = home.path(u"defaults.json"_s);
    QFile file(path);
    const QByteArray stored = R"({"orlixTheme": 7, "orlixAppearanceMode": ["dark"], "orlixHeroColorHex": "##0D6CE8"})";
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(stored) == stored.size());
    file.close();

    UserDefaults defaults(path);
    OrlixStyle style(defaults);
    style.setSystemScheme(ColorScheme::dark);
    EXPECT_EQ(style.theme(), OrlixTheme::default_);
    EXPECT_FALSE(style.preferredColorScheme().has_value());
    EXPECT_EQ(style.colorScheme(), ColorScheme::dark);
    EXPECT_EQ(style.heroColor(), fallbackHeroColor());
    EXPECT_EQ(&OrlixStyle::current(), &style);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), stored) << "reading fell back without writing anything";

    QSignalSpy changed(&style, &OrlixStyle::changed);
    defaults.set(u"orlixTheme"_s, u"heroLight"_s);
    EXPECT_EQ(style.theme(), OrlixTheme::heroLight);
    EXPECT_EQ(style.colorScheme(), ColorScheme::light);
    EXPECT_EQ(style.primaryButtonFill(), fallbackHeroColor());
    EXPECT_EQ(style.tint(RailModule::notes), fallbackHeroColor());
    EXPECT_EQ(style.primaryButtonLabel(), QColor(Qt::white));
    defaults.set(u"orlixHeroColorHex"_s, u"#FFFFFF"_s);
    EXPECT_EQ(style.primaryButtonLabel(), QColor::fromRgbF(0.07f, 0.08f, 0.095f));
    defaults.set(u"orlixTheme"_s, u"default"_s);
    EXPECT_EQ(style.primaryButtonLabel(), QColor(Qt::black));
    defaults.set(u"unrelated"_s, 1);
    EXPECT_EQ(changed.count(), 3);

    // Only what was set by hand above is in the file; nothing was "repaired".
    UserDefaults reread(path);
    EXPECT_EQ(reread.value(u"orlixAppearanceMode"_s), QJsonValue(QJsonArray{u"dark"_s}));
}
