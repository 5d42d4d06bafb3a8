#include "cards/notes/NotesRules.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

TEST(NotesRules, FolderTitleAndSaveTargetFollowTheStoredId)
{
    const std::vector<AppleNoteFolder> folders{{u"Notes:Work"_s, u"Work"_s, u"Notes"_s},
                                               {u"Notes:Home"_s, u"Home"_s, u"Notes"_s}};
    EXPECT_EQ(notes::selectedFolderTitle(folders, u"Notes:Home"_s), u"Home"_s);
    for (const QString &id : {u""_s, u"Notes:Gone"_s})
        EXPECT_EQ(notes::selectedFolderTitle(folders, id), u"Kolu"_s) << id.toStdString();
    EXPECT_EQ(notes::selectedFolderTitle({}, u"Notes:Work"_s), u"Kolu"_s);

    EXPECT_EQ(notes::folderForSave(folders, u"Notes:Work"_s, false), folders[0]);
    EXPECT_EQ(notes::folderForSave(folders, u""_s, true), std::nullopt);
    EXPECT_EQ(notes::folderForSave(folders, u"Notes:Gone"_s, false), std::nullopt) << "a loaded list is trusted";
    // While the list is late, the stored id still names the target.
    for (const bool loading : {true, false}) {
        const auto target = notes::folderForSave({}, u"Notes:Work"_s, loading);
        ASSERT_TRUE(target) << loading;
        EXPECT_EQ(target->id, u"Notes:Work"_s);
        EXPECT_EQ(target->name, u"Kolu"_s);
    }
    EXPECT_EQ(notes::folderForSave(folders, u"Notes:New"_s, true)->id, u"Notes:New"_s);
}

TEST(NotesRules, TileTintIsFixedPerIdAndSpreadsOverThePalette)
{
    // Fixed values: a change of hash would recolour every user's tiles.
    EXPECT_EQ(notes::tintIndex(u""_s), int(2166136261u % 4u));
    int seen[4] = {};
    for (int i = 0; i < 200; ++i) {
        const QString id = u"Notes:Inbox/note %1.md"_s.arg(i);
        const int index = notes::tintIndex(id);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 4);
        EXPECT_EQ(notes::tintIndex(QString(id)), index);
        ++seen[index];
    }
    for (int count : seen)
        EXPECT_GT(count, 20);
    EXPECT_EQ(notes::countText(6), u"6 from Notes"_s);
}

TEST(NotesRules, ShownTitlesDropControlsAndDirectionOverrides)
{
    const struct {
        QString title, shown;
    } cases[] = {
        {QString(u"a"_s + QChar(0) + u"b"_s + QChar(0)), u"ab"_s},
        {u"Line one\nline\ttwo"_s, u"Line one line two"_s},
        {QString(u"abc"_s + QChar(0x202E) + u"def"_s), u"abcdef"_s},
        {QString(QChar(0x2067) + u"x"_s + QChar(0x2069) + QChar(0x1B) + u"[31m"_s), u"x[31m"_s},
        {QString(u"  "_s + QChar(0x7F) + QChar(0x85) + u"Plan  "_s), u"Plan"_s},
        {u"مرحبا بالعالم"_s, u"مرحبا بالعالم"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(notes::shownTitle(c.title), c.shown) << c.shown.toStdString();
}

} // namespace
} // namespace kolu
