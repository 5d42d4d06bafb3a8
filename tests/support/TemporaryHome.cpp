#include "TemporaryHome.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {
const char *const kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                                  "XDG_RUNTIME_DIR"};
}

TemporaryHome::TemporaryHome()
{
    if (!m_root.isValid())
        throw std::runtime_error("cannot create a temporary home");
    for (const char *name : kVariables) {
        m_saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    }
    QDir().mkpath(dataHome());
    QDir().mkpath(configHome());
    QDir().mkpath(path(u".cache"_s));
    QDir().mkpath(path(u".local/state"_s));
    QDir().mkpath(runtimeDir());
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    qputenv("HOME", QFile::encodeName(home()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(path(u".cache"_s)));
    qputenv("XDG_STATE_HOME", QFile::encodeName(path(u".local/state"_s)));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir()));
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

QString TemporaryHome::home() const
{
    return m_root.path();
}

QString TemporaryHome::dataHome() const
{
    return path(u".local/share"_s);
}

QString TemporaryHome::configHome() const
{
    return path(u".config"_s);
}

QString TemporaryHome::runtimeDir() const
{
    return path(u"run"_s);
}

QString TemporaryHome::path(const QString &relative) const
{
    return m_root.path() + u'/' + relative;
}

} // namespace kolu::test
