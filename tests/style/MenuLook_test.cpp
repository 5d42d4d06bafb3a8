#include "model/UserDefaults.h"
#include "style/MenuLook.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"

#include "ColorMeasure.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>

using namespace kolu;
using namespace kolu::test;
using namespace Qt::StringLiterals;

namespace {

struct MenuLookTest : ::testing::Test {
    test::TemporaryHome home;
    UserDefaults defaults{home.path(u"defaults.json"_s)};
    OrlixStyle style{defaults};
    MenuLook &look = MenuLook::install();

    void SetUp() override
    {
        look.setCompositingProbe([] { return false; });
    }
    void TearDown() override { look.setCompositingProbe({}); }

    void setLook(const char *theme, const char *mode)
    {
        defaults.set(u"orlixTheme"_s, QString::fromLatin1(theme));
        defaults.set(u"orlixAppearanceMode"_s, QString::fromLatin1(mode));
    }
};

// A menu with what the program's menus hold: plain, checked, disabled and
// symbol rows, a shortcut and a separator.
struct SampleMenu {
    QMenu menu;
    QAction *plain = menu.addAction(u"Ocean waves"_s);
    QAction *checked = menu.addAction(u"Bell chime"_s);
    QAction *disabled = menu.addAction(u"Check for Updates..."_s);
    QAction *separator = menu.addSeparator();
    QAction *symbol = menu.addAction(MenuLook::symbolIcon(u"calendar"_s), u"Agenda"_s);
    QAction *shortcut = menu.addAction(u"Quit Kolu"_s);

    SampleMenu()
    {
        checked->setCheckable(true);
        checked->setChecked(true);
        disabled->setEnabled(false);
        shortcut->setShortcut(QKeySequence(u"Ctrl+Q"_s));
        menu.popup(QPoint(40, 40));
    }
    QImage picture() { return menu.grab().toImage().convertToFormat(QImage::Format_ARGB32); }
    QRect row(QAction *action) const { return menu.actionGeometry(action); }
};

} // namespace

TEST_F(MenuLookTest, EveryLookGivesReadableRowsAndSymbolsOnItsOwnBackground)
{
    // Theme, appearance mode, whether the menu is dark.
    const std::tuple<const char *, const char *, bool> looks[] = {
        {"default", "dark", true},     {"default", "light", false},   {"flatOlive", "dark", true},
        {"flatOlive", "light", false}, {"activeDark", "light", true}, {"heroLight", "dark", false},
    };
    for (const auto &[theme, mode, dark] : looks) {
        SCOPED_TRACE(std::string(theme) + " " + mode);
        setLook(theme, mode);
        SampleMenu sample;
        sample.menu.setActiveAction(sample.plain);
        const QImage image = sample.picture();
        const QColor background = commonest(image, image.rect());
        EXPECT_EQ(relativeLuminance(background) < 0.2, dark) << background.name().toStdString();

        // Titles, shortcuts and symbols (tinted like the title beside them) read.
        const QRect symbolRow = sample.row(sample.symbol);
        for (const QRect &ink : {sample.row(sample.checked), sample.row(sample.shortcut),
                                 symbolRow.adjusted(0, 0, -symbolRow.width() / 2, 0)}) {
            const QColor c = strongest(image, ink, background);
            EXPECT_GE(contrastRatio(c, background), 4.5) << c.name().toStdString();
        }
        const QColor text = strongest(image, sample.row(sample.checked), background);

        // Disabled rows stay legible but step back.
        const QColor dimmed = strongest(image, sample.row(sample.disabled), background);
        EXPECT_GE(contrastRatio(dimmed, background), 3.0) << dimmed.name().toStdString();
        EXPECT_LT(contrastRatio(dimmed, background), contrastRatio(text, background));

        // The row under the pointer is filled with the theme's accent, its
        // title readable on it.
        const QRect active = sample.row(sample.plain);
        const QColor fill = commonest(image, active.adjusted(0, 3, 0, -3));
        EXPECT_TRUE(near(fill, style.primaryButtonFill())) << fill.name().toStdString();
        EXPECT_GE(contrastRatio(strongest(image, active.adjusted(0, 3, 0, -3), fill), fill), 4.5);

        // The separator is a line of its own colour across the panel.
        const QRect line = sample.row(sample.separator);
        const QColor lineColor = strongest(image, QRect(line.center().x(), line.top(), 1, line.height()), background);
        EXPECT_NE(lineColor, background);
        EXPECT_LT(contrastRatio(lineColor, background), 2.0); // a hairline, not a rule

        // The symbol's ink spans most of its 16-pixel box and no more, and
        // takes the highlighted text colour under the pointer.
        int left = symbolRow.right(), right = symbolRow.left();
        for (int y = symbolRow.top(); y <= symbolRow.bottom(); ++y)
            for (int x = symbolRow.left(); x < symbolRow.left() + 40; ++x)
                if (contrastRatio(image.pixelColor(x, y), background) > 1.5) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        EXPECT_GE(right - left + 1, 10);
        EXPECT_LE(right - left + 1, MenuLook::kIconSize);
        sample.menu.setActiveAction(sample.symbol);
        const QImage hovered = sample.picture();
        const QColor symbolFill = commonest(hovered, symbolRow.adjusted(0, 3, 0, -3));
        const QColor ink =
            strongest(hovered, QRect(left, symbolRow.top(), right - left + 1, symbolRow.height()), symbolFill);
        EXPECT_TRUE(near(ink, style.primaryButtonLabel(), 40)) << ink.name().toStdString();
    }
}

TEST_F(MenuLookTest, AnOpenMenuFollowsASwitchToLight)
{
    setLook("default", "dark");
    SampleMenu sample;
    sample.picture();
    setLook("default", "light");
    const QImage light = sample.picture();
    const QColor background = commonest(light, light.rect());
    EXPECT_GT(relativeLuminance(background), 0.6);
    EXPECT_GE(contrastRatio(strongest(light, sample.row(sample.plain), background), background), 4.5);
    EXPECT_TRUE(near(sample.menu.palette().color(QPalette::Window), background));
}

TEST_F(MenuLookTest, CornersRoundOnlyWhereTheyCanBeSeenThrough)
{
    setLook("default", "dark");
    {
        // No compositor: a square window with an opaque border pixel.
        SampleMenu sample;
        EXPECT_FALSE(sample.menu.testAttribute(Qt::WA_TranslucentBackground));
        const QImage image = sample.picture();
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 255);
        EXPECT_TRUE(near(QColor(image.pixel(0, 0)), menuColors(style).border));
    }
    {
        // A compositor: the window gets an alpha channel before it is made
        // and its corners are left clear.
        look.setCompositingProbe([] { return true; });
        SampleMenu sample;
        EXPECT_TRUE(sample.menu.testAttribute(Qt::WA_TranslucentBackground));
        const QImage image = sample.picture();
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(image.rect().center())), 255);

        // The compositor stops: the same window draws square and opaque at
        // its next opening.
        sample.menu.hide();
        look.setCompositingProbe([] { return false; });
        sample.menu.popup(QPoint(40, 40));
        EXPECT_EQ(qAlpha(sample.picture().pixel(0, 0)), 255);
    }
}

// A row's symbol (drawn when a menu first asks for it) is a mask of the size
// asked for in device pixels: sharp on a display at twice the density, and
// the same as the program's symbol at that size.
TEST_F(MenuLookTest, SymbolsAreDrawnWhenAskedAtTheirDevicePixels)
{
    const QIcon icon = MenuLook::symbolIcon(u"calendar"_s);
    EXPECT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.isMask());
    const int size = MenuLook::kIconSize;
    for (const qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QPixmap pixmap = icon.pixmap(QSize(size, size), dpr);
        EXPECT_EQ(pixmap.size(), QSize(size, size) * dpr);
        EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), dpr);
        const QImage expected = IconProvider::pixmap(u"calendar"_s, size, Qt::black, dpr).toImage();
        EXPECT_EQ(pixmap.toImage().convertToFormat(expected.format()), expected);
    }
    const QImage disabled = icon.pixmap(QSize(size, size), 1.0, QIcon::Disabled).toImage();
    int inked = 0;
    for (int y = 0; y < disabled.height(); ++y)
        for (int x = 0; x < disabled.width(); ++x)
            inked += qAlpha(disabled.pixel(x, y)) > 0;
    EXPECT_GT(inked, 0);
}

TEST_F(MenuLookTest, ComboBoxListsTakeTheMenuColours)
{
    setLook("activeDark", "dark");
    QComboBox box;
    box.addItems({u"Google"_s, u"DuckDuckGo"_s, u"Wikipedia"_s});
    box.show();
    box.showPopup();
    QWidget *popup = box.view()->window();
    ASSERT_NE(popup, &box);
    const MenuColors colors = menuColors(style);
    EXPECT_EQ(popup->palette().color(QPalette::Window), colors.background);
    EXPECT_EQ(box.view()->palette().color(QPalette::Text), colors.text);
    EXPECT_EQ(box.view()->palette().color(QPalette::Highlight), colors.highlight);
    const QImage image = popup->grab().toImage();
    const QColor background = commonest(image, image.rect());
    EXPECT_LT(relativeLuminance(background), 0.2);
    EXPECT_GE(contrastRatio(strongest(image, image.rect(), background), background), 4.5);

    // Opened again after a switch, the list is light.
    box.hidePopup();
    setLook("heroLight", "light");
    box.showPopup();
    EXPECT_EQ(box.view()->window()->palette().color(QPalette::Window), menuColors(style).background);
    box.hidePopup();
}
