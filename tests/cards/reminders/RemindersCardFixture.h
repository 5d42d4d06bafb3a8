#pragma once

#include "cards/reminders/ReminderComposer.h"
#include "cards/reminders/ReminderRow.h"
#include "cards/reminders/RemindersCard.h"
#include "style/widgets/ElidedLabel.h"
#include "state/AppState.h"

#include "EventWait.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QDirIterator>
#include <QTest>

#include <memory>

namespace kolu::test {

// A reminders card on a state with real services over a temporary home.
class RemindersCardTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    TestAppServices services{defaults, clock, home};
    std::unique_ptr<AppState> state = std::make_unique<AppState>(defaults, clock, services.take());

    QString listFolder() const { return home.path(QStringLiteral(".local/share/calendars/Tasks")); }

    std::unique_ptr<RemindersCard> makeCard()
    {
        auto card = std::make_unique<RemindersCard>(*state);
        card->resize(318, 620);
        card->show();
        return card;
    }

    template<typename T = QWidget>
    static T *child(const QWidget &parent, const QString &name)
    {
        T *found = parent.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    static void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

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
