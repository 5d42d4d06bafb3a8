#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <optional>

namespace kolu::test {

// Points HOME and the XDG folders (data, config, cache, state, runtime) at a
// fresh folder for the life of the object, and puts the old values back after.
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();

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
