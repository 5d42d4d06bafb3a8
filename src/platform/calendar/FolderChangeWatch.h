#pragma once

#include "platform/files/InotifyChannel.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <sys/types.h>

namespace kolu {

// Tells whether anything in a folder may have changed since its files were
// last looked at one by one, so that a folder of thousands of files that
// nobody touched needs no look at each of them. It asks the kernel to report
// every change in the folder (a file written in place, its times or mode
// changed, an entry added, removed or renamed), and only on file systems of
// this machine's own disks and memory, where every change passes through the
// kernel: on a network or user-space file system it never calls a folder
// quiet. A folder is quiet only after a full look that began with it watched
// already, and only until the next report about it (or a report that some
// were lost). Not safe to use from two threads at once.
class FolderChangeWatch {
public:
    FolderChangeWatch();
    ~FolderChangeWatch();
    FolderChangeWatch(const FolderChangeWatch &) = delete;
    FolderChangeWatch &operator=(const FolderChangeWatch &) = delete;

    // Takes in what was reported since the last call: call it at the start of
    // each pass, before anything is looked at. A pass after one where the
    // kernel gave no watching (too many in use, say) asks for it again.
    void collect();

    // Whether `folder` (a resolved path; `device` and `inode` as the folder
    // reads now) was looked at in full while watched and nothing was
    // reported about it since the last collect().
    bool isQuiet(const QString &folder, dev_t device, ino_t inode) const;

    // Watches `folder` from now on, if its file system allows. The files of a
    // folder asked about this way are then looked at in full, and
    // lookedAtInFull() says so when done.
    void watch(const QString &folder, dev_t device, ino_t inode);
    void lookedAtInFull(const QString &folder);

    // Stops watching every folder not among `folders`.
    void keepOnly(const QSet<QString> &folders);

private:
    struct Watched {
        int descriptor = -1;
        dev_t device = 0;
        ino_t inode = 0;
        bool lookedAt = false;
    };

    void forget(const QString &folder);

    InotifyChannel m_channel;
    bool m_openAsked = false; // in this pass
    QHash<QString, Watched> m_folders;
};

} // namespace kolu
