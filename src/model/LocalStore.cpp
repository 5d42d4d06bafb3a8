#include "model/LocalStore.h"

#include "model/PrivateFiles.h"

#include <QDebug>
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

// Copies `legacy` whole to `target` through a side folder that is renamed
// into place only when the copy is complete, so an interrupted or failed copy
// leaves no half-filled data folder behind and the next launch tries again.
bool takeOver(const fs::path &legacy, const fs::path &target, const fs::path &side)
{
    std::error_code error;
    fs::remove_all(side, error); // what an interrupted earlier attempt left
    if (error)
        return false;
    // Links are copied as links, so the copy never leaves the legacy tree.
    fs::copy(legacy, side, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (!error)
        fs::rename(side, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove_all(side, ignored);
        return false;
    }
    return true;
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
    const bool madeNow = !somethingExists(target);
    if (madeNow) {
        for (const QString &legacyName : {u"Orlix"_s, u"OXRail"_s}) {
            const fs::path legacy = toPath(QDir::cleanPath(dataLocation + u'/' + legacyName));
            if (!somethingExists(legacy))
                continue;
            const fs::path side = toPath(QDir::cleanPath(dataLocation + u'/' + QLatin1StringView(kTakeOverFolderName)));
            // A failed copy leaves the data folder missing, so that the next
            // launch tries again instead of starting empty for good; until
            // then nothing is stored.
            m_takeOverFailed = !takeOver(legacy, target, side);
            break; // only one legacy folder is taken over
        }
    }
    if (!m_takeOverFailed) {
        if (auto opened = PrivateFolder::open(m_directory, {.create = true, .tighten = true})) {
            m_folder = std::make_shared<const PrivateFolder>(std::move(*opened));
            // The user's alone, whatever the umask was when earlier runs (or
            // the release taken over) wrote here. A folder found already
            // narrowed has been walked, and all written in it since is
            // private from the start: later launches go through none of it.
            if (madeNow || m_folder->wasNarrowed())
                m_folder->tightenTree();
        } else if (const QString reason = foreignFolderReason(m_directory); !reason.isEmpty()) {
            // A link or another user's folder in its place (planted where a
            // parent is open to others) would receive the user's data and
            // choose what is read back: neither read nor written.
            qWarning().noquote() << "Kolu does not use its data folder:" << m_directory << reason
                                 << u"(it runs without reading or saving its data)."_s;
            m_directory.clear();
            m_refused = true;
        }
    }
}

std::shared_ptr<const PrivateFolder> LocalStore::subfolder(const QString &name) const
{
    if (!m_folder)
        return nullptr;
    auto opened = m_folder->subfolder(name, {.create = true, .tighten = true});
    return opened ? std::make_shared<const PrivateFolder>(std::move(*opened)) : nullptr;
}

QString LocalStore::subdirectory(const QString &name) const
{
    if (m_refused)
        return {};
    const QString path = QDir::cleanPath(m_directory + u'/' + name);
    if (m_folder) {
        m_folder->subfolder(name, {.create = true, .tighten = true}); // an earlier run's, made under the umask
    } else if (m_takeOverFailed) {
        std::error_code error;
        fs::create_directory(toPath(path), error); // never the data folder itself
    }
    return path;
}

QString LocalStore::defaultDataLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace kolu
