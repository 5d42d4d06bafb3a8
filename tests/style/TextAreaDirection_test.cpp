#include "style/widgets/OrlixTextField.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// Each paragraph of the text area starts at the edge its own script reads
// from: a right-to-left paragraph at the right, a left-to-right one at the
// left, side by side in one note.
TEST(TextAreaDirection, EachParagraphStartsWhereItsScriptReadsFrom)
{
    OrlixTextArea area;
    area.resize(300, 120);
    area.setPlainText(
        u"Shopping list\n\u0642\u0627\u0626\u0645\u0629 \u0627\u0644\u062A\u0633\u0648\u0642\n\u05E7\u05E0\u05D9\u05D5\u05EA"_s);
    area.show();
    const auto startX = [&area](int blockNumber) {
        QTextCursor cursor(area.document()->findBlockByNumber(blockNumber));
        return area.cursorRect(cursor).x();
    };
    const int middle = area.viewport()->width() / 2;
    EXPECT_LT(startX(0), middle) << "English starts at the left";
    EXPECT_GT(startX(1), middle) << "Arabic starts at the right";
    EXPECT_GT(startX(2), middle) << "Hebrew starts at the right";
}

} // namespace
} // namespace kolu
