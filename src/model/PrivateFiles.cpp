#include "model/PrivateFiles.h"

#include "model/FileDescriptor.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;
// Deep enough for anything Kolu keeps; a deeper tree is not its own.
constexpr int kMaxTreeDepth = 16;

int openFolder(const QByteArray &path)
{
    return ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool isPlainName(const QByteArray &name)
{
    return !name.isEmpty() && !name.contains('/') && name != "." && name != "..";
}

// The folder a link of `owner`'s at `path` leads to. The link is read
// through a descriptor of its own, so one put in its place meanwhile is
// never followed.
FileDescriptor openThroughOwnLink(const QByteArray &path, uid_t owner)
{
    const FileDescriptor link(::open(path.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info { };
    if (!link.isOpen() || ::fstat(link.get(), &info) != 0 || !S_ISLNK(info.st_mode) || info.st_uid != owner)
        return FileDescriptor();
    char target[PATH_MAX];
    const ssize_t length = ::readlinkat(link.get(), "", target, sizeof target);
    if (length <= 0 || length >= ssize_t(sizeof target))
        return FileDescriptor();
    QByteArray destination(target, length);
    if (!destination.startsWith('/'))
        destination.prepend(path.left(path.lastIndexOf('/') + 1));
    return FileDescriptor(::open(destination.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

enum class FolderCheck { refused, usable, narrowed };

// Whether the folder open at `fd` is `owner`'s alone (0700), or may be made
// so. One reached through a link that others may write to is refused all
// the same: it is nothing an earlier run made under the umask.
FolderCheck checkFolder(int fd, const PrivateFolder::Options &options, bool linked)
{
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != options.owner)
        return FolderCheck::refused;
    const mode_t mode = info.st_mode & 07777;
    if (mode == kFolderMode)
        return FolderCheck::usable;
    if (!options.tighten || (linked && (mode & (S_IWGRP | S_IWOTH)) != 0))
        return FolderCheck::refused;
    return ::fchmod(fd, kFolderMode) == 0 ? FolderCheck::narrowed : FolderCheck::refused;
}

// A name no other file of the folder has: the file itself is then made with
// O_EXCL, so a name taken meanwhile fails instead of being reused.
QByteArray temporaryName(const QByteArray &name)
{
    return '.' + name + '.' + QByteArray::number(QRandomGenerator::system()->generate64(), 36);
}

// Makes the missing folders of `path`, parents first, each 0700: a parent
// made open to all (~/.config under a umask of 0) would let another user
// swap the folder below it for one of their own.
void makeFolders(const QByteArray &path)
{
    // A umask narrower than 077 must not leave a folder Kolu cannot enter.
    const auto make = [](const QByteArray &folder) {
        if (::mkdir(folder.constData(), kFolderMode) == 0)
            ::chmod(folder.constData(), kFolderMode);
    };
    for (qsizetype slash = path.indexOf('/', 1); slash != -1; slash = path.indexOf('/', slash + 1)) {
        if (path.at(slash - 1) != '/')
            make(path.left(slash));
    }
    make(path); // one already there is checked by the caller
}

void tightenBelow(int folder, int depth)
{
    if (depth > kMaxTreeDepth)
        return;
    const int listed = ::dup(folder);
    if (listed < 0)
        return;
    DIR *entries = ::fdopendir(listed);
    if (!entries) {
        ::close(listed);
        return;
    }
    ::rewinddir(entries); // the offset is shared with `folder`, which may have been listed before
    const uid_t self = ::geteuid();
    while (const dirent *entry = ::readdir(entries)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat seen { };
        if (::fstatat(folder, name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || seen.st_uid != self
            || !(S_ISDIR(seen.st_mode) || S_ISREG(seen.st_mode)))
            continue; // links, pipes, devices and others' files stay as they are
        const bool isFolder = S_ISDIR(seen.st_mode);
        const FileDescriptor fd(
            ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (isFolder ? O_DIRECTORY : 0)));
        if (!fd.isOpen())
            continue;
        struct stat opened { };
        // What was opened is what was looked at, not something put there since.
        if (::fstat(fd.get(), &opened) == 0 && opened.st_ino == seen.st_ino && opened.st_dev == seen.st_dev) {
            const mode_t wanted = isFolder ? kFolderMode : kFileMode;
            if ((opened.st_mode & 07777) != wanted)
                ::fchmod(fd.get(), wanted);
            if (isFolder)
                tightenBelow(fd.get(), depth + 1);
        }
    }
    ::closedir(entries);
}

} // namespace

PrivateFolder::PrivateFolder(FileDescriptor fd, QString path, bool narrowed)
    : m_fd(std::move(fd))
    , m_path(std::move(path))
    , m_narrowed(narrowed)
{
}

std::optional<PrivateFolder> PrivateFolder::open(const QString &path, const Options &options)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return std::nullopt;
    const QString clean = QDir::cleanPath(path);
    const QByteArray native = QFile::encodeName(clean);
    if (options.create)
        makeFolders(native);
    FileDescriptor fd(openFolder(native));
    const bool linked = !fd.isOpen();
    if (linked)
        fd = openThroughOwnLink(native, options.owner);
    if (!fd.isOpen())
        return std::nullopt;
    const FolderCheck check = checkFolder(fd.get(), options, linked);
    if (check == FolderCheck::refused)
        return std::nullopt;
    return PrivateFolder(std::move(fd), clean, check == FolderCheck::narrowed);
}

std::optional<PrivateFolder> PrivateFolder::subfolder(const QString &name, const Options &options) const
{
    const QByteArray native = QFile::encodeName(name);
    if (!isPlainName(native))
        return std::nullopt;
    // Made 0700 whatever the umask, as makeFolders() does; nobody else can
    // act in this folder between the two steps.
    if (options.create && ::mkdirat(m_fd.get(), native.constData(), kFolderMode) == 0)
        ::fchmodat(m_fd.get(), native.constData(), kFolderMode, 0);
    FileDescriptor fd(::openat(m_fd.get(), native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.isOpen())
        return std::nullopt;
    const FolderCheck check = checkFolder(fd.get(), options, false);
    if (check == FolderCheck::refused)
        return std::nullopt;
    return PrivateFolder(std::move(fd), QString(m_path + u'/' + name), check == FolderCheck::narrowed);
}

bool PrivateFolder::isGone() const
{
    struct stat info { };
    return ::fstat(m_fd.get(), &info) != 0 || info.st_nlink == 0;
}

bool PrivateFolder::holds(const QString &name) const
{
    const QByteArray native = QFile::encodeName(name);
    struct stat info { };
    return isPlainName(native) && ::fstatat(m_fd.get(), native.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool PrivateFolder::holdsFile(const QString &name) const
{
    const QByteArray native = QFile::encodeName(name);
    struct stat info { };
    return isPlainName(native) && ::fstatat(m_fd.get(), native.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0
           && S_ISREG(info.st_mode);
}

WriteOutcome PrivateFolder::saveFile(const QString &name, const QByteArray &bytes, const SaveDeviceWrapper &wrap) const
{
    return writeOwnerOnlyFileIn(m_fd.get(), name, bytes, wrap);
}

bool PrivateFolder::removeFile(const QString &name) const
{
    const QByteArray native = QFile::encodeName(name);
    return isPlainName(native) && ::unlinkat(m_fd.get(), native.constData(), 0) == 0;
}

void PrivateFolder::tightenTree() const
{
    tightenBelow(m_fd.get(), 0);
}

bool PrivateFolder::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QByteArray target = QFile::encodeName(name);
    if (!isPlainName(target))
        return false;
    const QByteArray side = temporaryName(target);
    const int fd =
        ::openat(m_fd.get(), side.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode);
    if (fd < 0)
        return false;
    // The umask may have narrowed the mode further, never widened it; the
    // mode is set all the same so that a umask of 0 changes nothing.
    bool written = ::fchmod(fd, kFileMode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (written && ::renameat(m_fd.get(), side.constData(), m_fd.get(), target.constData()) == 0)
        return true;
    ::unlinkat(m_fd.get(), side.constData(), 0);
    return false;
}

std::optional<QByteArray> PrivateFolder::readFile(const QString &name, qint64 maxSize) const
{
    const QByteArray target = QFile::encodeName(name);
    if (target.isEmpty() || target.contains('/'))
        return std::nullopt;
    const FileDescriptor fd(::openat(m_fd.get(), target.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.isOpen())
        return std::nullopt;
    struct stat info { };
    std::optional<QByteArray> content;
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maxSize) {
        QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t chunk = ::read(fd.get(), bytes.data() + got, std::size_t(bytes.size() - got));
            if (chunk < 0 && errno == EINTR)
                continue;
            if (chunk <= 0)
                break;
            got += chunk;
        }
        if (got == bytes.size())
            content = std::move(bytes);
    }
    return content;
}

void PrivateFolder::tightenFile(const QString &name) const
{
    const QByteArray target = QFile::encodeName(name);
    if (target.isEmpty() || target.contains('/'))
        return;
    const FileDescriptor fd(::openat(m_fd.get(), target.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info { };
    if (fd.isOpen() && ::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & 07777) != kFileMode)
        ::fchmod(fd.get(), kFileMode);
}

QStringList regularFilesIn(int folder)
{
    QStringList names;
    const int listed = ::dup(folder);
    DIR *entries = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!entries) {
        if (listed >= 0)
            ::close(listed);
        return names;
    }
    ::rewinddir(entries); // the offset is shared with `folder`
    while (const dirent *entry = ::readdir(entries)) {
        struct stat info { };
        if (::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
            names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(entries);
    names.sort();
    return names;
}

QString foreignFolderReason(const QString &path)
{
    struct stat info { };
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    if (S_ISLNK(info.st_mode)) {
        // The user's own link to a folder no one else may write to is theirs
        // to keep (the folder is narrowed to 0700 when it is opened).
        const FileDescriptor target = openThroughOwnLink(QFile::encodeName(QDir::cleanPath(path)), ::geteuid());
        struct stat folder { };
        const bool own = target.isOpen() && ::fstat(target.get(), &folder) == 0 && S_ISDIR(folder.st_mode)
                         && folder.st_uid == ::geteuid() && (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0;
        return own ? QString() : u"is a symbolic link"_s;
    }
    if (info.st_uid != ::geteuid())
        return u"belongs to another user"_s;
    return {};
}

std::optional<QString> userRuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (const auto folder = PrivateFolder::open(runtime))
        return folder->path();
    return std::nullopt;
}

QString cacheFolderPath()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : QDir::cleanPath(cache + u"/Kolu"_s);
}

QString privateCacheFolder()
{
    const auto folder = PrivateFolder::open(cacheFolderPath(), {.create = true, .tighten = true});
    return folder ? folder->path() : QString();
}

void narrowCacheFolder()
{
    const QString folder = cacheFolderPath();
    if (const QString reason = foreignFolderReason(folder); !reason.isEmpty()) {
        qWarning().noquote() << "Kolu does not use its cache folder:" << folder << reason
                             << u"(it keeps no cached files there)."_s;
        return;
    }
    const auto opened = PrivateFolder::open(folder, {.create = false, .tighten = true});
    if (opened && opened->wasNarrowed())
        opened->tightenTree();
}

QString temporaryFilesFolder()
{
    if (auto runtime = userRuntimeFolder())
        return *runtime;
    return privateCacheFolder();
}

void tightenPrivateTree(const QString &folder)
{
    if (const auto root = PrivateFolder::open(folder, {.create = false, .tighten = true}))
        root->tightenTree();
}

} // namespace kolu
