#pragma once

#include "model/AtomicFile.h"

#include <QIODevice>

#include <functional>

namespace kolu::test {

// Passes writes through to `target` until `budget` bytes have gone, then
// fails every write: a disk that fills up part way through a save. Runs
// `onClose` once the save has written its content, as another program
// saving the same file at that moment would.
class FailingDevice final : public QIODevice {
public:
    FailingDevice(QIODevice *target, qint64 budget, std::function<void()> onClose = {});

    void close() override
    {
        if (m_onClose)
            m_onClose();
        QIODevice::close();
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    QIODevice *m_target;
    qint64 m_budget;
    qint64 m_passed = 0;
    std::function<void()> m_onClose;
};

// A save wrapper whose device fails after `budget` bytes.
SaveDeviceWrapper failAfterBytes(qint64 budget);

} // namespace kolu::test
