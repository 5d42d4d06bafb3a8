#include "services/wallpaper/ZipListing.h"

#include <QFile>

#include <algorithm>
#include <limits>

namespace kolu {

namespace {

constexpr quint32 kEndSignature = 0x06054b50;
constexpr quint32 kZip64EndSignature = 0x06064b50;
constexpr quint32 kZip64LocatorSignature = 0x07064b50;
constexpr quint32 kCentralSignature = 0x02014b50;
constexpr qint64 kEndRecordSize = 22;
constexpr qint64 kMaxCommentSize = 0xffff;
constexpr qint64 kCentralHeaderSize = 46;
// A central directory is about 100 bytes an entry.
constexpr qint64 kMaxCentralBytesPerEntry = 4096;

// Little-endian reads that fail instead of reading past the end.
class Reader {
public:
    Reader(const QByteArray &bytes, qint64 at)
        : m_bytes(bytes)
        , m_at(at)
    {
    }
    bool ok() const { return m_ok; }
    qint64 at() const { return m_at; }
    void skip(qint64 count) { m_at += count; }
    quint64 read(int size)
    {
        if (m_at < 0 || m_at + size > m_bytes.size()) {
            m_ok = false;
            return 0;
        }
        quint64 value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | quint8(m_bytes.at(m_at + i));
        m_at += size;
        return value;
    }
    quint16 u16() { return quint16(read(2)); }
    quint32 u32() { return quint32(read(4)); }
    quint64 u64() { return read(8); }
    QByteArray take(qint64 count)
    {
        if (m_at + count > m_bytes.size()) {
            m_ok = false;
            return {};
        }
        const QByteArray part = m_bytes.mid(m_at, count);
        m_at += count;
        return part;
    }

private:
    const QByteArray &m_bytes;
    qint64 m_at;
    bool m_ok = true;
};

QByteArray readAt(QFile &file, qint64 offset, qint64 size)
{
    if (offset < 0 || size < 0 || !file.seek(offset))
        return {};
    return file.read(size);
}

struct Directory {
    quint64 entries = 0;
    quint64 size = 0;
    quint64 offset = 0;
};

std::optional<Directory> findDirectory(QFile &file, qint64 fileSize)
{
    const qint64 tailSize = std::min(fileSize, kEndRecordSize + kMaxCommentSize);
    const QByteArray tail = readAt(file, fileSize - tailSize, tailSize);
    if (tail.size() != tailSize)
        return std::nullopt;
    for (qint64 at = tailSize - kEndRecordSize; at >= 0; --at) {
        Reader end(tail, at);
        if (end.u32() != kEndSignature)
            continue;
        end.skip(6); // disk numbers, entries on this disk
        Directory directory;
        directory.entries = end.u16();
        directory.size = end.u32();
        directory.offset = end.u32();
        if (directory.entries != 0xffff && directory.size != 0xffffffff && directory.offset != 0xffffffff)
            return directory;
        // Zip64: a locator just before this record points at the real one.
        Reader locator(tail, at - 20);
        if (locator.u32() != kZip64LocatorSignature)
            return std::nullopt;
        locator.skip(4);
        const quint64 recordAt = locator.u64();
        const QByteArray record = readAt(file, qint64(recordAt), 56);
        Reader zip64(record, 0);
        if (recordAt > quint64(fileSize) || zip64.u32() != kZip64EndSignature)
            return std::nullopt;
        zip64.skip(8 + 4 + 4 + 8); // record size, versions, disks, entries on this disk
        directory.entries = zip64.u64();
        directory.size = zip64.u64();
        directory.offset = zip64.u64();
        if (!zip64.ok())
            return std::nullopt;
        return directory;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::vector<ZipEntry>> readZipListing(const QString &path, qsizetype maxEntries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 fileSize = file.size();
    const std::optional<Directory> directory = findDirectory(file, fileSize);
    if (!directory || directory->entries > quint64(maxEntries) || directory->offset > quint64(fileSize)
        || directory->size > quint64(fileSize) - directory->offset
        || directory->size > (directory->entries + 1) * quint64(kMaxCentralBytesPerEntry))
        return std::nullopt;
    const QByteArray central = readAt(file, qint64(directory->offset), qint64(directory->size));
    if (central.size() != qint64(directory->size))
        return std::nullopt;

    std::vector<ZipEntry> entries;
    entries.reserve(directory->entries);
    Reader reader(central, 0);
    for (quint64 i = 0; i < directory->entries; ++i) {
        if (reader.u32() != kCentralSignature)
            return std::nullopt;
        reader.skip(16); // versions, flags, method, time, date, crc
        quint64 compressed = reader.u32();
        quint64 uncompressed = reader.u32();
        const quint16 nameSize = reader.u16();
        const quint16 extraSize = reader.u16();
        const quint16 commentSize = reader.u16();
        reader.skip(kCentralHeaderSize - 34);
        ZipEntry entry;
        entry.name = reader.take(nameSize);
        const QByteArray extra = reader.take(extraSize);
        reader.skip(commentSize);
        if (!reader.ok())
            return std::nullopt;
        // Sizes that do not fit 32 bits are in the Zip64 extra field, in
        // this order, each only when its short field is all ones.
        Reader field(extra, 0);
        while (field.ok() && field.at() + 4 <= extra.size()) {
            const quint16 id = field.u16();
            const quint16 size = field.u16();
            if (id == 0x0001) {
                Reader zip64(extra, field.at());
                if (uncompressed == 0xffffffff)
                    uncompressed = zip64.u64();
                if (compressed == 0xffffffff)
                    compressed = zip64.u64();
                if (!zip64.ok())
                    return std::nullopt;
            }
            field.skip(size);
        }
        if (uncompressed > quint64(std::numeric_limits<qint64>::max())
            || compressed > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        entry.compressedSize = qint64(compressed);
        entry.uncompressedSize = qint64(uncompressed);
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool isSafeEntryName(QByteArrayView name)
{
    if (name.isEmpty() || name.contains('\0') || name.startsWith('/') || name.startsWith('-'))
        return false;
    for (qsizetype start = 0; start <= name.size();) {
        qsizetype end = name.indexOf('/', start);
        if (end < 0)
            end = name.size();
        if (name.sliced(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool mayUnpack(const std::vector<ZipEntry> &entries, qint64 archiveBytes, const UnpackBounds &bounds)
{
    qint64 total = 0;
    for (const ZipEntry &entry : entries) {
        if (!isSafeEntryName(entry.name) || entry.uncompressedSize > bounds.maxEntryBytes)
            return false;
        total += entry.uncompressedSize;
        if (total > bounds.maxTotalBytes)
            return false;
    }
    return total / std::max<qint64>(archiveBytes, 1) <= bounds.maxRatio;
}

} // namespace kolu
