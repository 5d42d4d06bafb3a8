#pragma once

#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace kolu::test {

// The calendar fixture folders kept beside the tests.
inline QString calendarFixture(const QString &name)
{
    return QStringLiteral(KOLU_TEST_DATA_DIR "/calendars/") + name;
}

// Copies a fixture root into `target` so a test may change it.
inline void copyCalendarFixture(const QString &name, const QString &target)
{
    const QString source = calendarFixture(name);
    QDirIterator it(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString destination = QDir(target).filePath(QDir(source).relativeFilePath(file));
        QDir().mkpath(QFileInfo(destination).path());
        QFile::copy(file, destination);
    }
}

// Writes one item file the way synchronisation tools lay a calendar root out:
// a folder per calendar with its display name beside the item files.
inline QString writeCalendarItem(const QString &root, const QString &calendar, const QString &fileName,
                                 const QByteArray &bytes)
{
    const QString folder = QDir(root).filePath(calendar);
    if (!QFile::exists(QDir(folder).filePath(QStringLiteral("displayname"))))
        writeFile(QDir(folder).filePath(QStringLiteral("displayname")), calendar.toUtf8());
    writeFile(QDir(folder).filePath(fileName), bytes);
    return QDir(folder).filePath(fileName);
}

// A calendar file holding one `component` (VEVENT, VTODO) made of `lines`,
// each ended as `end` ends the file's own lines.
inline QByteArray icsWith(const QByteArray &component, const QByteArray &lines, const QByteArray &end = "\r\n")
{
    return "BEGIN:VCALENDAR" + end + "BEGIN:" + component + end + lines + "END:" + component + end + "END:VCALENDAR"
           + end;
}

// One VEVENT as a whole file, with the Berlin zone definition the way
// calendar clients append it after the event.
inline QByteArray eventFileWith(const QByteArray &eventLines)
{
    return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Example//Desktop Calendar//EN\nBEGIN:VEVENT\n" + eventLines
           + "DTSTAMP:20260101T101010Z\nEND:VEVENT\nBEGIN:VTIMEZONE\nTZID:Europe/Berlin\nBEGIN:DAYLIGHT\n"
             "TZOFFSETFROM:+0100\nTZOFFSETTO:+0200\nTZNAME:CEST\nDTSTART:19700329T020000\n"
             "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\nEND:DAYLIGHT\nBEGIN:STANDARD\nTZOFFSETFROM:+0200\n"
             "TZOFFSETTO:+0100\nTZNAME:CET\nDTSTART:19701025T030000\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\n"
             "END:STANDARD\nEND:VTIMEZONE\nEND:VCALENDAR\n";
}

} // namespace kolu::test
