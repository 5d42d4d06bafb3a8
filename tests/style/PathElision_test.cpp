#include "style/PathElision.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// Every character one pixel wide: widths read as lengths.
qreal characters(const QString &text)
{
    return qreal(text.size());
}

QString elide(const QString &path, qreal width)
{
    return elidePathMiddle(path, width, characters);
}

} // namespace

TEST(PathElision, CutsTheMiddleAndKeepsTheStartAndTheLastName)
{
    const QString path = u"~/Sync/notes/groceries/2026"_s; // 27
    EXPECT_EQ(elide(path, 27), path);
    EXPECT_EQ(elide(path, 200), path);
    // The room left in front of "…/2026" holds as much of the start as fits.
    EXPECT_EQ(elide(path, 20), u"~/Sync/notes/g\u2026/2026"_s);
    EXPECT_EQ(elide(path, 12), u"~/Sync\u2026/2026"_s);
    EXPECT_EQ(elide(path, 6), u"\u2026/2026"_s);
    for (qreal width : {6.0, 9.0, 14.0, 26.0}) {
        const QString shown = elide(path, width);
        EXPECT_LE(shown.size(), width) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(u"/2026"_s)) << shown.toStdString();
        EXPECT_EQ(shown.count(QChar(0x2026)), 1);
    }
}

TEST(PathElision, AFolderKeepsItsTrailingSlashWithItsName)
{
    EXPECT_EQ(elide(u"~/Sync/calendars/work/"_s, 10), u"~/S\u2026/work/"_s);
}

TEST(PathElision, ANameThatAloneIsTooWideIsCutInItsOwnMiddle)
{
    const QString shown = elide(u"~/Sync/a-very-long-file-name.md"_s, 9);
    EXPECT_EQ(shown, u"a-ve\u2026e.md"_s); // both ends of the name, no folder left
    // A bare name, and no room at all.
    EXPECT_EQ(elide(u"groceries"_s, 9), u"groceries"_s);
    EXPECT_EQ(elide(u"groceries"_s, 5), u"gr\u2026es"_s);
    EXPECT_EQ(elide(u"groceries"_s, 0), u"\u2026"_s);
    EXPECT_EQ(elide({}, 0), QString());
}
