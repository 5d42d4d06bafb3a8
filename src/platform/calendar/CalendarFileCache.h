#pragma once

#include "platform/calendar/CalendarStore.h"
#include "platform/calendar/FolderChangeWatch.h"
#include "platform/calendar/ICalendarReader.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

namespace kolu {

// What the file system tells about a file without reading it, enough to
// notice any change: a file replaced by a rename has a new inode, one written
// in place a new size or new times (kept to the nanosecond, as the file
// system keeps them).
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileStamp &other) const;
};

// The stamp of a regular file, or nothing when there is none there.
std::optional<FileStamp> fileStampOf(const QString &path);

// The stamp of a folder, or nothing when there is none there.
std::optional<FileStamp> folderStampOf(const QString &path);

// One item file as a pass read it: its calendar (the name of the folder the
// root lists), its file name and its parsed contents.
struct CalendarItemFile {
    QString collection;
    QString name;
    QString path;
    std::shared_ptr<const ICalFile> content;
};

// The parsed contents of calendar item files, kept between refreshes so that
// only files that are new or changed are parsed again. It holds the files of
// the last listing only: a file that is no longer listed is let go. The files
// of a folder that was watched since they were last looked at, with nothing
// reported about it since (see FolderChangeWatch), are not looked at one by
// one again. A file that is parsed and gives nothing is named in the log with
// the reason, once each time it changes.
class CalendarFileCache {
public:
    // `wallClock` tells the file system's time (tests set it).
    explicit CalendarFileCache(std::function<timespec()> wallClock = {});

    // Held for as long as contents are read, from the listing to the last use
    // of what `contents` gave: one refresh at a time uses the cache (parsed
    // time zones are not safe to use from two threads at once).
    std::mutex &guard() { return m_guard; }

    // The item files of each calendar folder of `folders` (resolved paths),
    // as calendarItemFiles lists them. A folder is listed again only when its
    // own times changed (any file added, removed or renamed in it changes
    // them) or when it holds symbolic links (what a link leads to can change
    // elsewhere). The caller holds `guard()`.
    std::vector<QStringList> itemFiles(const std::vector<QString> &folders);

    // The contents of `paths`, in their order (empty for a file that cannot
    // be read), parsing on all cores those not known yet. Once `stop` is
    // requested, files not begun are left unread and nothing is kept of this
    // call. The caller holds `guard()`.
    std::vector<std::shared_ptr<const ICalFile>> contents(const QStringList &paths, const std::stop_token &stop = {});

    // Whether this is the first time a read cut the file at `path` short,
    // as it was last read; remembered until the file changes. The caller
    // holds `guard()`.
    bool firstToldOfCut(const QString &path);

    // Which version of the contents the last call of contents() gave: it
    // changes whenever that call gave anything other than the call before (a
    // file parsed again, added, gone, or in another place of the list).
    quint64 revision() const { return m_revision; }

    // Whether the pass itemFiles() just listed is the last one over again:
    // the same folders, each listed as then and quiet since, and every file's
    // contents settled when they were last given. The contents are then the
    // ones contents() gave last, and need not be asked for: nothing of the
    // pass depends on the number of files.
    bool repeatsLastPass() const { return m_repeatsLastPass; }

    // The files of the last pass as the caller put them together, for it to
    // use again while passes repeat it; let go by a pass that does not. The
    // caller holds `guard()`.
    struct Pass {
        QStringList collectionNames;
        std::shared_ptr<const std::vector<CalendarItemFile>> files;
    };
    std::optional<Pass> &lastPass() { return m_lastPass; }

    // The occurrences that were last read from the contents for a window,
    // kept with what they were read from, for the caller to use again while
    // all of it is the same. The caller holds `guard()`.
    struct Occurrences {
        quint64 revision = 0;
        QString root;
        QDateTime from;
        QDateTime to;
        QTimeZone localZone;
        int limit = 0;
        StoredEventList events;
    };
    std::optional<Occurrences> &lastOccurrences() { return m_lastOccurrences; }

    // The open to-dos last read from the contents, kept the same way.
    struct OpenTodos {
        quint64 revision = 0;
        QString root;
        QTimeZone localZone;
        std::vector<ReminderItem> todos;
    };
    std::optional<OpenTodos> &lastOpenTodos() { return m_lastOpenTodos; }

    // How many files were parsed, files looked at one by one, and folders
    // listed, so far.
    qint64 parseCount() const { return m_parses; }
    qint64 checkCount() const { return m_checks; }
    qint64 listingCount() const { return m_listings; }

private:
    struct Entry {
        FileStamp stamp;
        // False while the file's times are so recent that a change within the
        // same tick of the file system's clock could go unseen: such a file is
        // parsed again next time.
        bool settled = false;
        std::shared_ptr<const ICalFile> content;
    };

    struct Listing {
        FileStamp stamp;
        bool reusable = false; // settled, and without links
        QStringList files;
    };

    std::function<timespec()> m_wallClock;
    std::mutex m_guard;
    QHash<QString, Entry> m_entries;
    QHash<QString, Listing> m_folders;
    FolderChangeWatch m_watch;
    // The folders of this pass's files (resolved), and whether each is quiet:
    // set by itemFiles(), used up by contents().
    QHash<QString, bool> m_passFolders;
    QStringList m_lastPaths;
    std::vector<QString> m_lastFolders;
    // Every file the last contents() gave came from a settled entry.
    bool m_lastAllSettled = false;
    bool m_repeatsLastPass = false;
    quint64 m_revision = 0;
    std::optional<Pass> m_lastPass;
    std::optional<Occurrences> m_lastOccurrences;
    std::optional<OpenTodos> m_lastOpenTodos;
    QHash<QString, FileStamp> m_toldOfCut;
    qint64 m_parses = 0;
    qint64 m_checks = 0;
    qint64 m_listings = 0;
};

} // namespace kolu
