#pragma once

// The common ground of the service tests: tasks awaited on an event loop, an
// injected clock, files written whole, and the short spellings.

#include "AwaitTask.h"
#include "EventWait.h"
#include "FailureText.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace kolu::test {

inline QDateTime utc(int year, int month, int day, int hour, int minute = 0, int second = 0, int ms = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms), Qt::UTC);
}

// One text taken from each element: ids, titles, names.
template<typename List, typename Field>
QStringList each(const List &list, Field field)
{
    QStringList texts;
    for (const auto &element : list)
        texts << QString(std::invoke(field, element));
    return texts;
}

} // namespace kolu::test
