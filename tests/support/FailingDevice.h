#pragma once

#include "model/AtomicFile.h"

#include <QIODevice>

namespace kolu::test {

// Passes writes through to `target` until `budget` bytes have gone, then
// fails every write: a disk that fills up part way through a save.
class FailingDevice final : public QIODevice {
public:
    FailingDevice(QIODevice *target, qint64 budget);

    qint64 bytesPassed() const { return m_passed; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    QIODevice *m_target;
    qint64 m_budget;
    qint64 m_passed = 0;
};

// A save wrapper whose device fails after `budget` bytes.
SaveDeviceWrapper failAfterBytes(qint64 budget);

} // namespace kolu::test
