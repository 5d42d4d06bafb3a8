#include "platform/media/PactlOutputMute.h"

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
// pactl answers at once or not at all; a stuck sound server must not hold a
// refresh open.
constexpr std::chrono::milliseconds pactlTimeout{1500};
} // namespace

OutputMute::~OutputMute() = default;

PactlOutputMute::PactlOutputMute(ProcessRunner &processes)
    : m_processes(processes)
{
}

QCoro::Task<bool> PactlOutputMute::isMuted()
{
    const QString pactl = m_processes.findExecutable(u"pactl"_s);
    if (pactl.isEmpty())
        co_return false;
    // pactl translates its "yes"; the C locale keeps the answer readable.
    const QStringList arguments = {u"LC_ALL=C"_s, pactl, u"get-sink-mute"_s, u"@DEFAULT_SINK@"_s};
    const ProcessResult result = co_await m_processes.run(u"env"_s, arguments, pactlTimeout);
    if (!result.succeeded())
        co_return false;
    const QString answer = QString::fromUtf8(result.standardOutput).trimmed();
    co_return answer.compare(u"Mute: yes"_s, Qt::CaseInsensitive) == 0;
}

QCoro::Task<> PactlOutputMute::toggle()
{
    const QStringList arguments = {u"set-sink-mute"_s, u"@DEFAULT_SINK@"_s, u"toggle"_s};
    co_await m_processes.run(u"pactl"_s, arguments, pactlTimeout);
}

} // namespace kolu
