#include "platform/calendar/CalendarFileReading.h"
#include "platform/calendar/CalendarStoreWork.h"
#include "platform/calendar/ICalendarReader.h"

#include "CalendarFixtures.h"
#include "LogCapture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

const QTimeZone berlin("Europe/Berlin");

QDateTime utc(int month, int day, int hour)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, 0), Qt::UTC);
}

// Folds a content line at 75 octets the way calendar clients write it.
QByteArray folded(const QByteArray &line)
{
    QByteArray result = line.left(75);
    for (qsizetype at = 75; at < line.size(); at += 74)
        result += "\r\n " + line.mid(at, 74);
    return result + "\r\n";
}

QByteArray unfoldedText(QByteArray bytes)
{
    return bytes.replace("\r\n ", "").replace("\n ", "");
}

// Text that is long, not ASCII throughout and full of escapes.
QByteArray longText(qsizetype size)
{
    QByteArray text;
    const QByteArray piece = "Agenda \xc3\xa4\xc3\xb6\xc3\xbc \xe2\x82\xac\\, item\\; \\\\ next\\n";
    while (text.size() < size)
        text += piece;
    return text;
}

} // namespace

TEST(CalendarFiles, LongLinesAreFoldedBeforeParsingWithoutChangingTheirContent)
{
    const QByteArray description = longText(400 * 1024);
    for (const QByteArray &lineEnd : {QByteArray("\r\n"), QByteArray("\n")}) {
        const QByteArray file = test::icsWith("VEVENT",
                                              "UID:long" + lineEnd + "DTSTART:20260303T100000Z" + lineEnd
                                                  + "DESCRIPTION:" + description + lineEnd,
                                              lineEnd);
        const QByteArray prepared = foldLongLines(file);
        EXPECT_EQ(unfoldedText(prepared), file);
        for (const QByteArray &line : prepared.split('\n'))
            ASSERT_LE(line.size(), 80) << line.left(100).constData();
        const ICalFile read = readICalendar(file);
        ASSERT_EQ(read.events.size(), 1u);
        QString expected = QString::fromUtf8(description);
        expected.replace(u"\\n"_s, u"\n"_s).replace(u"\\,"_s, u","_s).replace(u"\\;"_s, u";"_s);
        expected.replace(u"\\\\"_s, u"\\"_s);
        EXPECT_EQ(read.events[0].description, expected.left(kMaxNotesLength));
    }
    // Files without long lines are passed on as they are.
    const QByteArray plain = test::eventFileWith("UID:short\nDTSTART:20260303T100000Z\n");
    EXPECT_EQ(foldLongLines(plain), plain);
}

// Parameters named one by one cost the parser the square of their number.
TEST(CalendarFiles, ALineOfThousandsOfParametersIsLeftOutAndTheRestRead)
{
    const auto withParameters = [](int count, const QByteArray &value) {
        QByteArray line = "X-A";
        for (int i = 0; i < count; ++i)
            line += ";P" + QByteArray::number(i) + "=" + value;
        return folded(line + ":x");
    };
    // Quoted values hold semicolons and colons that separate nothing, and
    // the lines are folded across them.
    const QByteArray atBound = withParameters(kMaxParametersPerLine, "\"a;b:c\"");
    const QByteArray kept = "UID:p\r\n" + atBound + "DTSTART:20260303T100000Z\r\nSUMMARY:Kept\r\n";
    const QByteArray file = test::icsWith("VEVENT", withParameters(20'000, "v") + kept);
    QString leftOut;
    EXPECT_EQ(withinLineBounds(file, &leftOut), test::icsWith("VEVENT", kept));
    EXPECT_EQ(leftOut, u"its line of X-A holds more than 100 parameters"_s);
    const ICalFile read = readICalendar(file);
    ASSERT_EQ(read.events.size(), 1u);
    EXPECT_EQ(std::tuple(read.events[0].summary, read.lineLeftOut), std::tuple(u"Kept"_s, leftOut));
    const ICalComponentPtr parsed = parseICalendar(test::icsWith("VEVENT", kept));
    ASSERT_NE(parsed, nullptr);
    icalproperty *atBoundRead =
        icalcomponent_get_first_property(itemComponents(parsed.get(), ICAL_VEVENT_COMPONENT).at(0), ICAL_X_PROPERTY);
    ASSERT_NE(atBoundRead, nullptr);
    EXPECT_STREQ(icalproperty_get_x_name(atBoundRead), "X-A");

    // However its quotes fall as the parser reads them: after a backslash
    // (or two) a quote is taken as it is, a quoted value may hold one so
    // escaped, a quote right after a semicolon is taken as it is, a line may
    // be folded between a backslash and its quote, and after a TZID that
    // ends at the colon the parser reads parameters on into the value.
    const struct {
        const char *name;
        const char *head;
    } heads[] = {
        {"escaped quote", "X-A;X-Q=a\\\"b"},
        {"quote after two backslashes", "X-A;X-Q=a\\\\\"b"},
        {"escaped quote in a quoted value", "X-A;X-Q=\"a\\\"b\""},
        {"quote after a semicolon", "X-A;\"X-Q=a"},
        {"folded after the backslash", "X-A;X-Q=a\\\r\n \"b"},
        {"zone read into the value", "DTSTART;TZID=Europe/Berlin:"},
    };
    const auto escapedWith = [](const char *head, int count) -> QByteArray {
        QByteArray line(head);
        for (int i = 0; i < count; ++i)
            line += ";X-P" + QByteArray::number(i) + "=v";
        return line + ":20260303T100000\r\n";
    };
    for (const auto &[name, head] : heads) {
        SCOPED_TRACE(name);
        // A few dozen are read as the parser reads them...
        const QByteArray few = test::icsWith("VEVENT", "UID:e\r\n" + escapedWith(head, 95));
        EXPECT_EQ(withinLineBounds(few), few);
        icalcomponent *read = icalparser_parse_string(few.constData());
        icalcomponent *event = itemComponents(read, ICAL_VEVENT_COMPONENT).at(0);
        icalproperty *property = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY);
        while (property && icalproperty_isa(property) == ICAL_UID_PROPERTY)
            property = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY);
        ASSERT_NE(property, nullptr);
        EXPECT_GE(icalproperty_count_parameters(property), 94);
        icalcomponent_free(read);
        // ... and thousands are left out, and named.
        const QByteArray many = test::icsWith("VEVENT", escapedWith(head, 20'000) + kept);
        EXPECT_EQ(withinLineBounds(many, &leftOut), test::icsWith("VEVENT", kept));
        EXPECT_TRUE(leftOut.endsWith(u"holds more than 100 parameters"_s)) << leftOut.toStdString();
    }

    // Once a stop is requested, the parser is given nothing more.
    std::stop_source quitting;
    quitting.request_stop();
    EXPECT_EQ(parseICalendar(file, quitting.get_token()), nullptr);
    EXPECT_TRUE(readICalendar(file, quitting.get_token()).events.empty());
}

TEST(CalendarFiles, OverLongTextsAreCutWhenReadBetweenWholeCharacters)
{
    // Three million characters of a title, and as long a place, notes and
    // attendee name: each cut short, never inside a character of two halves.
    QByteArray huge = "a";
    while (huge.size() < 3'000'000)
        huge += "\xf0\x9f\x98\x80";
    const ICalFile read = readICalendar(test::icsWith(
        "VEVENT", "UID:long\r\nDTSTART:20260303T100000Z\r\nSUMMARY:" + huge + "\r\nLOCATION:" + huge
                      + "\r\nDESCRIPTION:" + huge + "\r\nATTENDEE;CN=" + huge + ":mailto:a@example.com\r\n"));
    ASSERT_EQ(read.events.size(), 1u);
    const ICalEvent &event = read.events[0];
    for (const auto &[text, limit] :
         {std::pair(*event.summary, kMaxTitleLength), std::pair(*event.location, kMaxTitleLength),
          std::pair(*event.description, kMaxNotesLength), std::pair(*event.attendees.at(0).name, kMaxTitleLength)}) {
        EXPECT_EQ(text.size(), limit - 1);
        EXPECT_TRUE(text.startsWith(u"a\U0001F600"_s) && text.back().isLowSurrogate());
    }
    const ICalFile todo = readICalendar(test::icsWith("VTODO", "UID:t\r\nSUMMARY:" + huge + "\r\n"));
    EXPECT_EQ(todo.todos.at(0).summary->size(), kMaxTitleLength - 1);

    // Nor inside what a reader sees as one character across the limit: a
    // letter with two accents, a flag, two people joined into one family.
    const auto across = [](qsizetype limit, const QString &character, qsizetype before) -> QString {
        return QString(limit - before, u'x') + character + u"tail"_s;
    };
    const QString accented = u"é̂"_s, flag = u"🇸🇦"_s, family = u"👩‍👧"_s;
    const ICalFile cut = readICalendar(test::icsWith(
        "VEVENT", "UID:whole\r\nDTSTART:20260303T100000Z\r\nSUMMARY:" + across(kMaxTitleLength, accented, 1).toUtf8()
                      + "\r\nLOCATION:" + across(kMaxTitleLength, flag, 2).toUtf8()
                      + "\r\nDESCRIPTION:" + across(kMaxNotesLength, family, 3).toUtf8() + "\r\n"));
    ASSERT_EQ(cut.events.size(), 1u);
    EXPECT_EQ(cut.events[0].summary, QString(kMaxTitleLength - 1, u'x'));
    EXPECT_EQ(cut.events[0].location, QString(kMaxTitleLength - 2, u'x'));
    EXPECT_EQ(cut.events[0].description, QString(kMaxNotesLength - 3, u'x'));
}

TEST(CalendarFiles, AFileOfManyItemsIsReadInPiecesThatKeepItsZonesAndOrder)
{
    // A zone only the file defines, after the items that use it; alarms
    // inside the events, and a to-do among them.
    QByteArray items;
    for (int i = 0; i < 1201; ++i)
        items += "BEGIN:VEVENT\r\nUID:e" + QByteArray::number(i)
                 + "\r\nDTSTART;TZID=Custom/Mumbai:20260303T100000\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
                   "TRIGGER:-PT5M\r\nEND:VALARM\r\nEND:VEVENT\r\n";
    const QByteArray bytes = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + items
                             + "BEGIN:VTODO\r\nUID:t\r\nSUMMARY:Pack\r\nEND:VTODO\r\nBEGIN:VTIMEZONE\r\n"
                               "TZID:Custom/Mumbai\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
                               "TZOFFSETFROM:+0530\r\nTZOFFSETTO:+0530\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
                               "END:VCALENDAR\r\n";
    EXPECT_EQ(calendarPieces(bytes, 500).size(), 3u);
    const ICalFile read = readICalendar(bytes);
    ASSERT_EQ(read.events.size(), 1201u);
    EXPECT_EQ(std::tuple(read.events.front().uid, read.events.back().uid), std::tuple(u"e0"_s, u"e1200"_s));
    EXPECT_EQ(momentOf(read.events.back().start, berlin), QDateTime(QDate(2026, 3, 3), QTime(4, 30), Qt::UTC));
    ASSERT_EQ(read.todos.size(), 1u);
    EXPECT_EQ(read.todos[0].summary, u"Pack"_s);
    // Anything but one plain calendar is read whole.
    EXPECT_TRUE(calendarPieces(bytes + bytes, 500).empty());
    EXPECT_TRUE(calendarPieces(bytes, 2000).empty());
}

TEST(CalendarFiles, ItemsInVeryLargeFilesAreListedAndTheFilesLeftAlone)
{
    QTemporaryDir root;
    // A signed contract attached as written by a groupware client, and a
    // meeting whose description holds a pasted log.
    QByteArray attachment;
    while (attachment.size() < 6 * 1024 * 1024)
        attachment += "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAxMjM0NTY3";
    const QByteArray contract =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example//Groupware//EN\r\nBEGIN:VEVENT\r\n"
        "UID:contract\r\nDTSTAMP:20260201T080000Z\r\nSUMMARY:Contract signing\r\n"
        "DTSTART:20260303T090000Z\r\nDTEND:20260303T100000Z\r\n"
        + folded("ATTACH;FMTTYPE=application/pdf;ENCODING=BASE64;VALUE=BINARY;X-FILENAME=contract.pdf:" + attachment)
        + "LOCATION:Notary\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    const QString contractPath = test::writeCalendarItem(root.path(), u"work"_s, u"contract.ics"_s, contract);
    const QByteArray log = longText(10 * 1024 * 1024);
    // Beside it a line whose name and parameters alone pass what is read of
    // a line: left out, and named.
    const QString postmortem = test::writeCalendarItem(
        root.path(), u"work"_s, u"postmortem.ics"_s,
        test::eventFileWith("UID:postmortem\nSUMMARY:Postmortem\nDTSTART:20260304T130000Z\n"
                            "DTEND:20260304T140000Z\nDESCRIPTION:"
                            + log + "\nX-PASTED;X-NOTE=\"" + QByteArray(300 * 1024, 'n') + "\":x\nLOCATION:Room 4\n"));
    QString leftOut;
    ASSERT_TRUE(readCalendarItemFile(postmortem, {}, &leftOut));
    EXPECT_EQ(leftOut, u"its line of X-PASTED has a name and parameters longer than 256 KB"_s);
    test::LogCapture logged;
    test::writeCalendarItem(
        root.path(), u"tasks"_s, u"read-log.ics"_s,
        test::icsWith("VTODO", "UID:read-log\nSUMMARY:Read the log\nDESCRIPTION:" + log + "\nSTATUS:NEEDS-ACTION\n",
                      "\n"));

    const auto events = *loadEvents(root.path(), utc(3, 1, 23), utc(3, 8, 23), berlin);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(std::tuple(events[0].seriesId, events[0].title, events[0].location),
              std::tuple(u"contract"_s, u"Contract signing"_s, u"Notary"_s));
    EXPECT_EQ(std::tuple(events[1].seriesId, events[1].location, events[1].end),
              std::tuple(u"postmortem"_s, u"Room 4"_s, utc(3, 4, 14)));
    EXPECT_EQ(logged.warningsWith(leftOut).size(), 1);
    EXPECT_EQ(logged.warningsWith(postmortem), logged.warningsWith(leftOut));
    // The description keeps its beginning, cut to a size that can be shown.
    ASSERT_TRUE(events[1].notes);
    EXPECT_TRUE(events[1].notes->startsWith(u"Agenda äöü €, item; \\ next\n"_s));
    EXPECT_LT(events[1].notes->size(), 1024 * 1024);

    const auto todos = loadOpenTodos(root.path(), berlin);
    ASSERT_EQ(todos.size(), 1u);
    EXPECT_EQ(todos[0].title, u"Read the log"_s);
    EXPECT_EQ(test::readFile(contractPath), contract);

    // Read in pieces, such a file is read no further once a stop is requested.
    std::stop_source quitting;
    EXPECT_TRUE(readCalendarItemFile(contractPath, quitting.get_token()));
    quitting.request_stop();
    EXPECT_FALSE(readCalendarItemFile(contractPath, quitting.get_token()));
}

TEST(CalendarFiles, ALinkToAnotherFileOfTheSameFolderIsReadOnce)
{
    QTemporaryDir root;
    const QString event = test::writeCalendarItem(
        root.path(), u"personal"_s, u"dentist.ics"_s,
        test::eventFileWith("UID:dentist\nSUMMARY:Dentist\nDTSTART;TZID=Europe/Berlin:20260303T100000\n"
                            "DTEND;TZID=Europe/Berlin:20260303T110000\n"));
    const QString todo = test::writeCalendarItem(root.path(), u"personal"_s, u"floss.ics"_s,
                                                 test::icsWith("VTODO", "UID:floss\nSUMMARY:Floss\n", "\n"));
    // Links named before and after what they point to.
    ASSERT_TRUE(QFile::link(event, root.filePath(u"personal/a-dentist.ics"_s)));
    ASSERT_TRUE(QFile::link(u"dentist.ics"_s, root.filePath(u"personal/z-dentist.ics"_s)));
    ASSERT_TRUE(QFile::link(todo, root.filePath(u"personal/a-floss.ics"_s)));

    const auto events = *loadEvents(root.path(), utc(3, 1, 23), utc(3, 8, 23), berlin);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].seriesId, u"dentist"_s);
    EXPECT_EQ(loadOpenTodos(root.path(), berlin).size(), 1u);
    ASSERT_EQ(writeTodoCompletion(root.path(), u"floss"_s, true, utc(3, 2, 9)).status, TodoWriteResult::Status::saved);
    EXPECT_TRUE(QFileInfo(root.filePath(u"personal/a-floss.ics"_s)).isSymLink());
    EXPECT_TRUE(loadOpenTodos(root.path(), berlin).empty());
}
