#include "platform/calendar/CalendarStoreWork.h"
#include "platform/calendar/GuardedFileReplace.h"
#include "platform/calendar/ICalendarReader.h"

#include "CalendarFixtures.h"
#include "FailingDevice.h"

#include <QRegularExpression>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <set>
#include <thread>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const QDateTime now(QDate(2026, 3, 2), QTime(10, 15, 30), Qt::UTC);

// The properties completing or reopening a to-do may change.
bool isEditedLine(const QByteArray &line)
{
    static const std::set<QByteArray> edited{"STATUS", "COMPLETED", "PERCENT-COMPLETE", "LAST-MODIFIED", "DTSTAMP"};
    if (line.startsWith(' ') || line.startsWith('\t'))
        return false;
    qsizetype end = 0;
    while (end < line.size() && line[end] != ':' && line[end] != ';')
        ++end;
    return edited.count(line.left(end).toUpper()) > 0;
}

// The file's physical lines, line ends included, split by whether they may change.
std::pair<QByteArrayList, QByteArrayList> splitLines(const QByteArray &bytes)
{
    QByteArrayList kept;
    QByteArrayList edited;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = bytes.mid(start, end - start);
        (isEditedLine(line) ? edited : kept).push_back(line);
        start = end;
    }
    return {kept, edited};
}

} // namespace

TEST(CalendarTodoEdits, CompletingAndReopeningChangeOnlyTheirOwnLines)
{
    struct Case {
        QString file;
        QString uid;
        QByteArray lineEnd;
    };
    for (const Case &c : {Case{u"tasks/7d4c1f0e-2b8a-4f61-9c3e-5a0d2e6b1f47.ics"_s, u"plan-trip"_s, "\r\n"},
                          Case{u"tasks/water-plants.ics"_s, u"water-plants"_s, "\n"}}) {
        QTemporaryDir root;
        test::copyCalendarFixture(u"edits"_s, root.path());
        const QString path = root.filePath(c.file);
        const QByteArray original = test::readFile(path);
        // Categories on one line, unknown components, escapes, folds and
        // line ends stay byte for byte; each edited line appears once.
        const auto expectWritten = [&](bool done, const QDateTime &at, QByteArrayList lines) {
            ASSERT_EQ(writeTodoCompletion(root.path(), c.uid, done, at).status, TodoWriteResult::Status::saved);
            const QByteArray bytes = test::readFile(path);
            auto [kept, edited] = splitLines(bytes);
            EXPECT_EQ(kept, splitLines(original).first) << bytes.constData();
            for (QByteArray &line : lines)
                line += c.lineEnd;
            std::sort(edited.begin(), edited.end());
            std::sort(lines.begin(), lines.end());
            EXPECT_EQ(edited, lines);
            EXPECT_EQ(readICalendar(bytes).todos.at(0).completed, done);
        };
        expectWritten(true, now,
                      {"STATUS:COMPLETED", "COMPLETED:20260302T101530Z", "PERCENT-COMPLETE:100",
                       "LAST-MODIFIED:20260302T101530Z", "DTSTAMP:20260302T101530Z"});
        expectWritten(false, now.addSecs(60),
                      {"STATUS:NEEDS-ACTION", "PERCENT-COMPLETE:0", "LAST-MODIFIED:20260302T101630Z",
                       "DTSTAMP:20260302T101630Z"});
    }
}

TEST(CalendarTodoEdits, ASaveByAnotherProgramWhileCompletingIsKept)
{
    QTemporaryDir root;
    test::copyCalendarFixture(u"edits"_s, root.path());
    const QString path = root.filePath(u"tasks/water-plants.ics"_s);
    int saves = 0;
    int allowedSaves = 1;
    // The other program renames the title each time it saves.
    const SaveDeviceWrapper racing = [&](QIODevice *target) {
        return std::make_unique<test::FailingDevice>(target, std::numeric_limits<qint64>::max(), [&] {
            if (saves >= allowedSaves)
                return;
            ++saves;
            QString text = QString::fromUtf8(test::readFile(path));
            text.replace(QRegularExpression(u"SUMMARY:Water \\S+ plants"_s), u"SUMMARY:Water %1 plants"_s.arg(saves));
            ASSERT_TRUE(writeFileAtomically(path, text.toUtf8()));
        });
    };

    // Its save lands after the new content was written, before it is put in
    // place: the completion starts over from the other program's version.
    ASSERT_EQ(writeTodoCompletion(root.path(), u"water-plants"_s, true, now, racing).status,
              TodoWriteResult::Status::saved);
    QByteArray after = test::readFile(path);
    EXPECT_TRUE(after.contains("SUMMARY:Water 1 plants")) << after.constData();
    EXPECT_TRUE(after.contains("STATUS:COMPLETED"));

    // A program that keeps saving wins: the completion gives up and says so.
    allowedSaves = saves + 1000;
    const auto result = writeTodoCompletion(root.path(), u"water-plants"_s, false, now, racing);
    EXPECT_EQ(result.status, TodoWriteResult::Status::failed);
    EXPECT_FALSE(result.message.isEmpty());
    after = test::readFile(path);
    EXPECT_TRUE(after.contains(QByteArray("SUMMARY:Water " + QByteArray::number(saves) + " plants")))
        << after.constData();
    EXPECT_TRUE(after.contains("STATUS:COMPLETED"));
}

TEST(CalendarTodoEdits, SavesThatLandWhileADisplacedSaveIsPutBackAreKeptTooTheLatestInPlace)
{
    // The other program saves once between the check and the swap, so the
    // swap displaces its save, then `later` times more while that save is
    // being put back: its last save is what stays, with no file left over.
    for (int later = 0; later <= 3; ++later) {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"task.ics"_s);
        ASSERT_TRUE(writeFileAtomically(path, "read"));
        QByteArray last;
        int saves = 0;
        const GuardedReplaceStep otherProgram = [&](int swap) {
            if (swap > later)
                return;
            last = "saved by the other program " + QByteArray::number(++saves);
            ASSERT_TRUE(writeFileAtomically(path, last));
        };
        EXPECT_EQ(replaceFileIfUnchanged(path, "read", "ours", {}, otherProgram), GuardedReplace::changedMeanwhile);
        EXPECT_EQ(test::readFile(path), last) << later;
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"task.ics"_s}) << later;
    }

    // Unchanged meanwhile, ours is in place.
    QTemporaryDir folder;
    const QString path = folder.filePath(u"task.ics"_s);
    ASSERT_TRUE(writeFileAtomically(path, "read"));
    EXPECT_EQ(replaceFileIfUnchanged(path, "read", "ours"), GuardedReplace::replaced);
    EXPECT_EQ(test::readFile(path), "ours");
}

TEST(CalendarTodoEdits, NoSaveOfAProgramSavingAllTheWhileIsLostToACompletion)
{
    // Another program saves a new title over and over while the to-do is
    // completed and reopened: after every round its last save is in the
    // file, whatever the order things happened in.
    QTemporaryDir root;
    test::copyCalendarFixture(u"edits"_s, root.path());
    const QString path = root.filePath(u"tasks/water-plants.ics"_s);
    const QByteArray original = test::readFile(path);
    int lost = 0;
    for (int round = 0; round < 100; ++round) {
        const QByteArray title = "SUMMARY:Water " + QByteArray::number(round) + " plants";
        std::thread other([&] {
            for (int save = 0; save < 3; ++save) {
                QString text = QString::fromUtf8(test::readFile(path));
                text.replace(QRegularExpression(u"SUMMARY:Water \\S+ plants"_s), QString::fromUtf8(title));
                writeFileAtomically(path, text.toUtf8());
            }
        });
        writeTodoCompletion(root.path(), u"water-plants"_s, round % 2 == 0, now.addSecs(round));
        other.join();
        if (!test::readFile(path).contains(title))
            ++lost;
    }
    EXPECT_EQ(lost, 0);
    EXPECT_NE(test::readFile(path), original);
}
