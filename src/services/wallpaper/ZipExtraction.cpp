#include "services/wallpaper/ZipExtraction.h"

#include "model/FileDescriptor.h"
#include "platform/system/SystemLibrary.h"

#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolu {

namespace {

// What is used of libarchive, looked up once: few runs unpack an archive,
// so the others never map it.
struct Libarchive {
    decltype(&archive_read_new) readNew = nullptr;
    decltype(&archive_read_free) readFree = nullptr;
    decltype(&archive_read_support_format_zip) supportZip = nullptr;
    decltype(&archive_read_open_filename) openFile = nullptr;
    decltype(&archive_read_next_header) nextHeader = nullptr;
    decltype(&archive_read_data) readData = nullptr;
    decltype(&archive_read_data_skip) skipData = nullptr;
    decltype(&archive_entry_pathname_utf8) pathnameUtf8 = nullptr;
    decltype(&archive_entry_pathname) pathname = nullptr;
    decltype(&archive_entry_size_is_set) sizeIsSet = nullptr;
    decltype(&archive_entry_size) size = nullptr;
    decltype(&archive_entry_filetype) filetype = nullptr;
};

const Libarchive *libarchive()
{
    using L = Libarchive;
    return systemLibraryTable<L>(
        "libarchive.so.13", "no wallpaper archive can be unpacked", libraryFunction(&L::readNew, "archive_read_new"),
        libraryFunction(&L::readFree, "archive_read_free"),
        libraryFunction(&L::supportZip, "archive_read_support_format_zip"),
        libraryFunction(&L::openFile, "archive_read_open_filename"),
        libraryFunction(&L::nextHeader, "archive_read_next_header"), libraryFunction(&L::readData, "archive_read_data"),
        libraryFunction(&L::skipData, "archive_read_data_skip"),
        libraryFunction(&L::pathnameUtf8, "archive_entry_pathname_utf8"),
        libraryFunction(&L::pathname, "archive_entry_pathname"),
        libraryFunction(&L::sizeIsSet, "archive_entry_size_is_set"), libraryFunction(&L::size, "archive_entry_size"),
        libraryFunction(&L::filetype, "archive_entry_filetype"));
}

struct ArchiveCloser {
    void operator()(archive *reader) const { libarchive()->readFree(reader); }
};

// Opens the folder `name` below `parent`, making it first when it is not
// there. A link in its place is never followed.
FileDescriptor enterFolder(int parent, const QByteArray &name)
{
    if (::mkdirat(parent, name.constData(), 0700) != 0 && errno != EEXIST)
        return FileDescriptor();
    return FileDescriptor(::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// Opens the folder that the path `segments` lead to below `root`, making the
// missing ones.
FileDescriptor enterFolders(int root, const QByteArrayList &segments)
{
    FileDescriptor folder(::fcntl(root, F_DUPFD_CLOEXEC, 0));
    for (const QByteArray &segment : segments) {
        if (!folder.isOpen())
            break;
        folder = enterFolder(folder.get(), segment);
    }
    return folder;
}

class Extraction {
public:
    Extraction(const Libarchive &lib, archive *reader, int root, const UnpackBounds &bounds, qint64 archiveBytes)
        : m_lib(lib)
        , m_reader(reader)
        , m_root(root)
        , m_bounds(bounds)
        , m_archiveBytes(std::max<qint64>(archiveBytes, 1))
    {
    }

    bool entry(archive_entry *entry)
    {
        const char *utf8 = m_lib.pathnameUtf8(entry);
        const char *raw = utf8 ? utf8 : m_lib.pathname(entry);
        if (raw == nullptr || !isSafeEntryName(QByteArrayView(raw)))
            return false;
        if (m_lib.sizeIsSet(entry) && m_lib.size(entry) > m_bounds.maxEntryBytes)
            return false;
        // Empty and "." segments name the folder they are in.
        QByteArrayList segments = QByteArray(raw).split('/');
        segments.removeIf([](const QByteArray &segment) { return segment.isEmpty() || segment == "."; });

        switch (m_lib.filetype(entry)) {
        case AE_IFDIR: return enterFolders(m_root, segments).isOpen();
        case AE_IFREG: {
            if (segments.isEmpty())
                return false;
            const QByteArray name = segments.takeLast();
            const FileDescriptor folder = enterFolders(m_root, segments);
            if (!folder.isOpen())
                return false;
            const FileDescriptor file(
                ::openat(folder.get(), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            return file.isOpen() && copyData(file.get());
        }
        default: return m_lib.skipData(m_reader) == ARCHIVE_OK;
        }
    }

private:
    // Copies the current entry's data to `fd`, within the bounds.
    bool copyData(int fd)
    {
        std::array<char, 64 * 1024> buffer;
        qint64 entryBytes = 0;
        for (;;) {
            const la_ssize_t read = m_lib.readData(m_reader, buffer.data(), buffer.size());
            if (read == 0)
                return true;
            if (read < 0)
                return false;
            entryBytes += read;
            m_totalBytes += read;
            if (entryBytes > m_bounds.maxEntryBytes || m_totalBytes > m_bounds.maxTotalBytes
                || m_totalBytes / m_archiveBytes > m_bounds.maxRatio)
                return false;
            if (!writeAll(fd, QByteArrayView(buffer.data(), qsizetype(read))))
                return false;
        }
    }

    const Libarchive &m_lib;
    archive *m_reader;
    int m_root;
    const UnpackBounds &m_bounds;
    qint64 m_archiveBytes;
    qint64 m_totalBytes = 0;
};

} // namespace

bool extractZipArchive(const QString &archivePath, const QString &folder, const UnpackBounds &bounds)
{
    const FileDescriptor root(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!root.isOpen())
        return false;
    const Libarchive *lib = libarchive();
    if (lib == nullptr)
        return false;
    const std::unique_ptr<archive, ArchiveCloser> reader(lib->readNew());
    if (!reader || lib->supportZip(reader.get()) != ARCHIVE_OK
        || lib->openFile(reader.get(), QFile::encodeName(archivePath).constData(), 64 * 1024) != ARCHIVE_OK)
        return false;

    Extraction extraction(*lib, reader.get(), root.get(), bounds, QFileInfo(archivePath).size());
    for (;;) {
        archive_entry *entry = nullptr;
        const int status = lib->nextHeader(reader.get(), &entry);
        if (status == ARCHIVE_EOF)
            return true;
        // A warning (a name in another encoding, say) still gives the entry.
        if ((status != ARCHIVE_OK && status != ARCHIVE_WARN) || !extraction.entry(entry))
            return false;
    }
}

} // namespace kolu
