#include "FailingDevice.h"

#include <algorithm>

namespace kolu::test {

FailingDevice::FailingDevice(QIODevice *target, qint64 budget, std::function<void()> onClose)
    : m_target(target)
    , m_budget(budget)
    , m_onClose(std::move(onClose))
{
}

qint64 FailingDevice::writeData(const char *data, qint64 size)
{
    const qint64 allowed = std::min(size, m_budget - m_passed);
    if (allowed <= 0) {
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
    const qint64 written = m_target->write(data, allowed);
    if (written > 0)
        m_passed += written;
    return written;
}

SaveDeviceWrapper failAfterBytes(qint64 budget)
{
    return [budget](QIODevice *target) { return std::make_unique<FailingDevice>(target, budget); };
}

} // namespace kolu::test
