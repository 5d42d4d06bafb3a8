#pragma once

#include "platform/system/ProcessRunner.h"

#include <QString>

#include <qcoro/qcorotask.h>

#include <optional>

namespace kolu {

// Sends files to a paired phone or computer through KDE Connect's
// command-line tool. Each call runs the tool once; a run that cannot even be
// started counts as a failed one.
class DeviceShareService {
public:
    explicit DeviceShareService(ProcessRunner &runner);

    // Whether the tool is installed.
    bool isAvailable() const;
    // The id of the first paired device in reach; nothing when none is, or
    // when the tool fails.
    QCoro::Task<std::optional<QString>> firstDeviceInReach();
    // Sends the file at `path` to `device`; whether the tool reported success.
    QCoro::Task<bool> sendFile(QString device, QString path);

    static constexpr std::chrono::seconds toolTimeout{30};

private:
    ProcessRunner &m_runner;
};

} // namespace kolu
