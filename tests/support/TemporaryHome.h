#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <stdexcept>

namespace kolu::test {

// Points HOME and the XDG folders (data, config, cache, state, runtime) at a
// fresh folder for the life of the object, and puts the old values back after.
class TemporaryHome {
public:
    TemporaryHome()
    {
        if (!m_root.isValid())
            throw std::runtime_error("cannot create a temporary home");
        // Each variable and the folder below the temporary home it points at.
        const std::pair<const char *, const char *> folders[] = {
            {"HOME", ""},
            {"XDG_DATA_HOME", ".local/share"},
            {"XDG_CONFIG_HOME", ".config"},
            {"XDG_CACHE_HOME", ".cache"},
            {"XDG_STATE_HOME", ".local/state"},
            {"XDG_RUNTIME_DIR", "run"},
        };
        for (const auto &[name, folder] : folders) {
            m_saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
            const QString full = *folder ? path(QString::fromLatin1(folder)) : home();
            QDir().mkpath(full);
            qputenv(name, QFile::encodeName(full));
        }
        QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ~TemporaryHome()
    {
        for (const auto &[name, value] : m_saved)
            value ? qputenv(name.constData(), *value) : qunsetenv(name.constData());
    }
    TemporaryHome(const TemporaryHome &) = delete;
    TemporaryHome &operator=(const TemporaryHome &) = delete;

    QString home() const { return m_root.path(); }
    QString dataHome() const { return path(QStringLiteral(".local/share")); }
    QString configHome() const { return path(QStringLiteral(".config")); }
    QString runtimeDir() const { return path(QStringLiteral("run")); } // mode 0700
    // A path below home(); parents are not created.
    QString path(const QString &relative) const { return m_root.path() + u'/' + relative; }

private:
    QTemporaryDir m_root;
    std::map<QByteArray, std::optional<QByteArray>> m_saved;
};

} // namespace kolu::test
