#pragma once

#include "model/AtomicFile.h"

#include <QIODevice>

#include <algorithm>
#include <functional>

namespace kolu::test {

// Passes writes through to `target` until `budget` bytes have gone, then
// fails every write: a disk that fills up part way through a save. Runs
// `onClose` once the save has written its content, as another program
// saving the same file at that moment would.
class FailingDevice final : public QIODevice {
public:
    FailingDevice(QIODevice *target, qint64 budget, std::function<void()> onClose = {})
        : m_target(target)
        , m_budget(budget)
        , m_onClose(std::move(onClose))
    {
    }

    void close() override
    {
        if (m_onClose)
            m_onClose();
        QIODevice::close();
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 allowed = std::min(size, m_budget - m_passed);
        if (allowed <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 written = m_target->write(data, allowed);
        m_passed += std::max<qint64>(written, 0);
        return written;
    }

private:
    QIODevice *m_target;
    qint64 m_budget;
    qint64 m_passed = 0;
    std::function<void()> m_onClose;
};

// A save wrapper whose device fails after `budget` bytes.
inline SaveDeviceWrapper failAfterBytes(qint64 budget)
{
    return [budget](QIODevice *target) { return std::make_unique<FailingDevice>(target, budget); };
}

} // namespace kolu::test
