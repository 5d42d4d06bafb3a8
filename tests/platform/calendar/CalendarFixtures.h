#pragma once

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

} // namespace kolu::test
