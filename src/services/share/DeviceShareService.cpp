#include "services/share/DeviceShareService.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QString kShareTool = u"kdeconnect-cli"_s;

// Nothing after the run may touch the service: it may be gone by then.
QCoro::Task<ProcessResult> runShareTool(ProcessRunner &runner, QStringList arguments)
{
    try {
        co_return co_await runner.run(kShareTool, std::move(arguments), DeviceShareService::toolTimeout);
    } catch (...) {
        co_return ProcessResult{};
    }
}

} // namespace

DeviceShareService::DeviceShareService(ProcessRunner &runner)
    : m_runner(runner)
{
}

bool DeviceShareService::isAvailable() const
{
    return !m_runner.findExecutable(kShareTool).isEmpty();
}

QCoro::Task<std::optional<QString>> DeviceShareService::firstDeviceInReach()
{
    // Paired devices that are in reach now, one id a line.
    QStringList arguments;
    arguments << u"--list-available"_s << u"--id-only"_s;
    const ProcessResult listed = co_await runShareTool(m_runner, std::move(arguments));
    if (!listed.succeeded())
        co_return std::nullopt;
    const QStringList lines = QString::fromUtf8(listed.standardOutput).split(u'\n');
    for (const QString &line : lines) {
        const QString device = line.trimmed();
        if (!device.isEmpty())
            co_return device;
    }
    co_return std::nullopt;
}

QCoro::Task<bool> DeviceShareService::sendFile(QString device, QString path)
{
    QStringList arguments;
    arguments << u"--device"_s << device << u"--share"_s << path;
    const ProcessResult sent = co_await runShareTool(m_runner, std::move(arguments));
    co_return sent.succeeded();
}

} // namespace kolu
