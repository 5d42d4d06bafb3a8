#pragma once

#include "platform/media/OutputMute.h"
#include "platform/system/ProcessRunner.h"

namespace kolu {

// The output mute through the sound server's command-line client, one child
// process per read: the way when no connection of our own is possible.
class PactlOutputMute final : public OutputMute {
public:
    explicit PactlOutputMute(ProcessRunner &processes);

    QCoro::Task<bool> isMuted() override;
    QCoro::Task<> toggle() override;

private:
    ProcessRunner &m_processes;
};

} // namespace kolu
