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

TEST(PathElision, ANameThatAloneIsTooWideIsCutInTheWholePathsMiddle)
{
    const QString shown = elide(u"~/Sync/a-very-long-file-name.md"_s, 9);
    EXPECT_EQ(shown, u"~/Sy\u2026e.md"_s); // the path's start and the name's end
    // A quoted path keeps both quotes and its start, in front of the end of
    // its name; a character of two units is never split.
    const QString quoted = u"“~/Sync/Ein_sehr_langer_Ordnername_für_die_Projektliste_2026_Übersicht”"_s;
    EXPECT_EQ(elide(quoted, 30), u"“~/Sync/Ein_seh\u2026026_Übersicht”"_s);
    const QString omegas = u"“~/"_s + QString(90, QChar(0x03A9)) + u"”"_s;
    const QString emoji = u"“~/"_s + QString(u"\U0001F600"_s).repeated(40) + u"”"_s;
    for (qreal width : {6.0, 9.0, 20.0, 41.0}) {
        for (const QString &path : {quoted, omegas, emoji}) {
            const QString cut = elide(path, width);
            EXPECT_LE(cut.size(), width) << cut.toStdString();
            EXPECT_TRUE(cut.startsWith(u"“~"_s) && cut.endsWith(u"”"_s)) << cut.toStdString();
            EXPECT_TRUE(cut.isValidUtf16()) << width;
        }
    }
    // A bare name, and no room at all.
    EXPECT_EQ(elide(u"groceries"_s, 9), u"groceries"_s);
    EXPECT_EQ(elide(u"groceries"_s, 5), u"gr\u2026es"_s);
    EXPECT_EQ(elide(u"groceries"_s, 0), u"\u2026"_s);
    EXPECT_EQ(elide({}, 0), QString());
}
