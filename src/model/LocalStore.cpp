#include "model/LocalStore.h"

#include <QDir>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

namespace fs = std::filesystem;

fs::path toPath(const QString &path)
{
    return fs::path(path.toStdU16String());
}

// Something is there, a dangling symbolic link included.
bool somethingExists(const fs::path &path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

void createFolder(const fs::path &path)
{
    std::error_code error;
    fs::create_directories(path, error); // an existing folder is not an error; others are dropped
}

} // namespace

LocalStore::LocalStore()
    : LocalStore(defaultDataLocation())
{
}

LocalStore::LocalStore(const QString &dataLocation)
    : m_directory(QDir::cleanPath(dataLocation + u"/Kolu"_s))
{
    const fs::path target = toPath(m_directory);
    if (!somethingExists(target)) {
        for (const QString &legacyName : {u"Orlix"_s, u"OXRail"_s}) {
            const fs::path legacy = toPath(QDir::cleanPath(dataLocation + u'/' + legacyName));
            if (!somethingExists(legacy))
                continue;
            // Links are copied as links, so the copy never leaves the legacy tree.
            std::error_code error;
            fs::copy(legacy, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
            break; // only one legacy folder is taken over, whether or not the copy worked
        }
    }
    createFolder(target);
}

QString LocalStore::subdirectory(const QString &name) const
{
    const QString path = QDir::cleanPath(m_directory + u'/' + name);
    createFolder(toPath(path));
    return path;
}

QString LocalStore::defaultDataLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace kolu
