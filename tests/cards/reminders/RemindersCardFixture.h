#pragma once

#include "cards/reminders/ReminderComposer.h"
#include "cards/reminders/ReminderRow.h"
#include "cards/reminders/RemindersCard.h"

#include "../CardTest.h"

#include <QDir>
#include <QDirIterator>

namespace kolu::test {

// A reminders card on a state with real services over a temporary home.
class RemindersCardTest : public CardTest<RemindersCard> {
protected:
    RemindersCardTest() { cardSize = {318, 620}; }

    QString listFolder() const { return home.path(QStringLiteral(".local/share/calendars/Tasks")); }

    template<typename T = QWidget>
    static T *child(const QWidget &parent, const QString &name)
    {
        T *found = parent.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    using CardTest::click;
    static void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    // A to-do file in the list folder, as another client would write it.
    void writeTodo(const QString &uid, const QStringList &properties)
    {
        const QStringList lines = QStringList{QStringLiteral("BEGIN:VCALENDAR"), QStringLiteral("VERSION:2.0"),
                                              QStringLiteral("PRODID:-//Hand written//Test//EN"),
                                              QStringLiteral("BEGIN:VTODO"), QStringLiteral("UID:") + uid}
            + properties + QStringList{QStringLiteral("END:VTODO"), QStringLiteral("END:VCALENDAR"), {}};
        ASSERT_TRUE(QDir().mkpath(listFolder()));
        ASSERT_TRUE(writeFile(listFolder() + u'/' + uid + QStringLiteral(".ics"), lines.join(u"\r\n").toUtf8()));
    }

    // Every to-do file below the list folder, with its text.
    QStringList todoFiles() const
    {
        QStringList texts;
        QDirIterator it(listFolder(), {QStringLiteral("*.ics")}, QDir::Files);
        while (it.hasNext())
            texts << QString::fromUtf8(readFile(it.next()));
        return texts;
    }
};

} // namespace kolu::test
