#pragma once

#include "model/PrivateFiles.h"

#include <QString>

#include <memory>

namespace kolu {

// The one folder Kolu keeps its files in: "Kolu" in the user's data folder
// (~/.local/share/Kolu). On the first run it takes over the folder of an
// earlier release, "Orlix" or else "OXRail", by copying it whole into a side
// folder that is renamed into place when complete. A copy that fails leaves
// no data folder, so the next run tries again. The folder and every folder
// in it are 0700, and every file 0600: what earlier runs left wider is
// narrowed when the store is made (at launch), and missing parents are made
// 0700. A symbolic link or another user's folder in the data folder's place
// is refused with one line on standard error: the store then has no folder,
// and nothing is read or written. Nothing else here fails: a folder that
// cannot be made is still used, and every read then finds nothing.
class LocalStore {
public:
    // Uses the per-user data folder of the desktop.
    LocalStore();
    // Uses `dataLocation` in place of the per-user data folder.
    explicit LocalStore(const QString &dataLocation);

    // The data folder, without a trailing separator; empty when refused.
    const QString &directory() const { return m_directory; }
    // The data folder as opened at launch; none when refused or missing.
    const std::shared_ptr<const PrivateFolder> &folder() const { return m_folder; }
    // The folder `name` in it, made when missing, held as folder() is; none
    // without a data folder.
    std::shared_ptr<const PrivateFolder> subfolder(const QString &name) const;
    // Whether the data folder was refused as another's or a link.
    bool isRefused() const { return m_refused; }

    // `directory`/`name`, created with its parents when missing. A failure to
    // create it is ignored and the path is returned all the same. Empty when
    // the data folder was refused.
    QString subdirectory(const QString &name) const;

    static QString defaultDataLocation();

    // The side folder, beside the data folder, that a take-over copies into.
    static constexpr char kTakeOverFolderName[] = ".Kolu-takeover";

    // Whether this run's take-over of a legacy folder failed; the data folder
    // is then left missing for the next run to try again.
    bool takeOverFailed() const { return m_takeOverFailed; }

private:
    QString m_directory;
    std::shared_ptr<const PrivateFolder> m_folder;
    bool m_takeOverFailed = false;
    bool m_refused = false;
};

} // namespace kolu
