#pragma once

#include "platform/calendar/CalendarReadQueue.h"

#include <QHash>
#include <QString>

#include <memory>

namespace kolu {

class CalendarFileCache;

// The parsed files of one root folder and the reads of them.
struct CalendarRootFiles {
    QString root;
    // Shared with the reads under way, so one still running when the last
    // store goes keeps it.
    std::shared_ptr<CalendarFileCache> cache;
    CalendarReadQueue reads;
};

// The roots read by a group of stores, so that stores reading the same root
// (the calendar and the to-dos are two stores, and usually one root) parse
// each file, and name a skipped one in the log, once for all of them. Whoever
// makes the stores makes one of these and hands it to each. Used on the one
// thread the stores are used on.
class SharedCalendarRoots {
public:
    // The files of `root`, shared with every store of the group that reads
    // it now; `kept` holds them for the asking store while it reads that root.
    CalendarRootFiles &filesOf(std::shared_ptr<CalendarRootFiles> &kept, const QString &root);

private:
    QHash<QString, std::weak_ptr<CalendarRootFiles>> m_roots;
};

} // namespace kolu
