#include "style/InterfaceFamily.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

// The generic name a desktop without a font setting hands Qt resolves as it
// would for English text, whatever language the locale asks for, and the
// interface then names that family itself: a locale can no longer swap the
// whole interface to another face.
TEST(InterfaceFamily, AGenericNameResolvesAsForEnglishAndARealFamilyStaysItself)
{
    const QString english = fontFamilyFor(u"Sans Serif"_s, "en");
    ASSERT_FALSE(english.isEmpty());
    EXPECT_TRUE(QFontDatabase::hasFamily(english)) << english.toStdString();
    // Named outright, the family holds under any language.
    for (const QByteArray language : {"ar", "fa", "ja", "en"})
        EXPECT_EQ(fontFamilyFor(english, language), english) << language.constData();

    const QFont before = QGuiApplication::font();
    QGuiApplication::setFont(QFont(u"Sans Serif"_s, 11));
    settleInterfaceFamily();
    EXPECT_EQ(QGuiApplication::font().family(), english);
    EXPECT_EQ(QGuiApplication::font().pointSize(), 11);
    // Looked up on a worker as a launch does, settled the same.
    QGuiApplication::setFont(QFont(u"Sans Serif"_s, 12));
    QFuture<QString> lookUp = lookUpInterfaceFamily();
    EXPECT_EQ(QGuiApplication::font().family(), u"Sans Serif"_s) << "taken only when settled";
    settleInterfaceFamily(std::move(lookUp));
    EXPECT_EQ(QGuiApplication::font().family(), english);
    EXPECT_EQ(QGuiApplication::font().pointSize(), 12);
    QGuiApplication::setFont(before);
}
