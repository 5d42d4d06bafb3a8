#include "platform/calendar/SharedCalendarRoots.h"

#include "platform/calendar/CalendarFileCache.h"

namespace kolu {

CalendarRootFiles &SharedCalendarRoots::filesOf(std::shared_ptr<CalendarRootFiles> &kept, const QString &root)
{
    if (kept && kept->root == root)
        return *kept;
    kept = m_roots.value(root).lock();
    if (!kept) {
        m_roots.removeIf([](const auto &entry) { return entry.value().expired(); });
        kept = std::make_shared<CalendarRootFiles>();
        kept->root = root;
        kept->cache = std::make_shared<CalendarFileCache>();
        m_roots.insert(root, kept);
    }
    return *kept;
}

} // namespace kolu
