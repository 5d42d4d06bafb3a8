#include "TemporaryHome.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {
// Each variable and the folder below the temporary home it points at.
const std::pair<const char *, QLatin1StringView> kFolders[] = {
    {"HOME", ""_L1},
    {"XDG_DATA_HOME", ".local/share"_L1},
    {"XDG_CONFIG_HOME", ".config"_L1},
    {"XDG_CACHE_HOME", ".cache"_L1},
    {"XDG_STATE_HOME", ".local/state"_L1},
    {"XDG_RUNTIME_DIR", "run"_L1},
};
} // namespace

TemporaryHome::TemporaryHome()
{
    if (!m_root.isValid())
        throw std::runtime_error("cannot create a temporary home");
    for (const auto &[name, folder] : kFolders) {
        m_saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        const QString full = folder.isEmpty() ? home() : path(folder);
        QDir().mkpath(full);
        qputenv(name, QFile::encodeName(full));
    }
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TemporaryHome::~TemporaryHome()
{
    for (const auto &[name, value] : m_saved) {
        if (value)
            qputenv(name.constData(), *value);
        else
            qunsetenv(name.constData());
    }
}

} // namespace kolu::test
