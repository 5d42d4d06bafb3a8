#pragma once

#include "TestFiles.h"

// Builds small zip archives in memory for the tests: stored (uncompressed)
// entries, regular files and symbolic links, with any entry name, including
// names a careful unpacker must refuse ("../x", "/x").

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <cstdint>

namespace kolu::test {

// Bytes that start like an image of the kind the file name's extension says.
inline QByteArray pictureBytes(const QString &name)
{
    const QString lower = name.toLower();
    QByteArray head;
    if (lower.endsWith(u".png"))
        head = QByteArray("\x89PNG\r\n\x1a\n", 8);
    else if (lower.endsWith(u".webp"))
        head = QByteArray("RIFF\0\0\0\0WEBP", 12);
    else if (lower.endsWith(u".heic"))
        head = QByteArray("\0\0\0\x18" "ftypheic", 12);
    else
        head = QByteArray("\xff\xd8\xff\xe0", 4);
    return head + "picture " + name.toUtf8();
}

class ZipWriter {
public:
    void addFile(const QString &name, const QByteArray &content) { m_entries.append({name.toUtf8(), content, false, 0, {}, {}}); }
    // A deflated entry, as archive bombs are made.
    void addDeflatedFile(const QString &name, const QByteArray &content)
    {
        // qCompress gives a 4-byte length, a 2-byte zlib header, the raw
        // deflate stream and a 4-byte checksum.
        const QByteArray zlib = qCompress(content, 9);
        const Entry entry{name.toUtf8(), zlib.mid(6, zlib.size() - 10), false, 8, quint32(content.size()), crc32(content)};
        m_entries.append(entry);
    }
    // A deflated entry whose raw deflate stream was made elsewhere (an
    // archive bomb too large to build in memory): `size` and `crc` are the
    // unpacked content's.
    void addPackedFile(const QString &name, const QByteArray &deflated, quint32 size, quint32 crc)
    {
        m_entries.append(Entry{name.toUtf8(), deflated, false, 8, size, crc});
    }
    // An entry that claims `declaredSize` bytes but holds none: only a
    // listing may look at it.
    void addClaimedFile(const QString &name, quint32 declaredSize)
    {
        const Entry entry{name.toUtf8(), {}, false, 0, declaredSize, {}};
        m_entries.append(entry);
    }
    // A link whose target is `target`, as unzip restores it on Unix.
    void addSymlink(const QString &name, const QString &target)
    {
        m_entries.append({name.toUtf8(), target.toUtf8(), true, 0, {}, {}});
    }

    QByteArray bytes() const
    {
        QByteArray out;
        QByteArray central;
        for (const Entry &entry : m_entries) {
            const quint32 offset = quint32(out.size());
            const quint32 crc = entry.crc ? *entry.crc : crc32(entry.content);
            const quint32 packed = quint32(entry.content.size());
            const quint32 size = entry.size ? *entry.size : packed;

            out += le32(0x04034b50);
            out += le16(10);           // version needed
            out += le16(0x0800);       // UTF-8 names
            out += le16(entry.method);
            out += le16(0) + le16(0x21); // time, date (1980-01-01)
            out += le32(crc) + le32(packed) + le32(size);
            out += le16(quint16(entry.name.size())) + le16(0);
            out += entry.name + entry.content;

            const quint32 mode = entry.isLink ? 0120777u : 0100644u;
            central += le32(0x02014b50);
            central += le16((3 << 8) | 20); // made on Unix, so the mode counts
            central += le16(10) + le16(0x0800) + le16(entry.method) + le16(0) + le16(0x21);
            central += le32(crc) + le32(packed) + le32(size);
            central += le16(quint16(entry.name.size())) + le16(0) + le16(0);
            central += le16(0) + le16(0);
            central += le32(mode << 16);
            central += le32(offset);
            central += entry.name;
        }
        const quint32 centralOffset = quint32(out.size());
        out += central;
        out += le32(0x06054b50);
        out += le16(0) + le16(0);
        out += le16(quint16(m_entries.size())) + le16(quint16(m_entries.size()));
        out += le32(quint32(central.size())) + le32(centralOffset);
        out += le16(0);
        return out;
    }

    bool write(const QString &path) const { return kolu::test::writeFile(path, bytes()); }

private:
    struct Entry {
        QByteArray name;
        QByteArray content; // as stored in the archive
        bool isLink;
        quint16 method = 0; // stored
        std::optional<quint32> size;
        std::optional<quint32> crc;
    };

    static QByteArray le16(quint16 value)
    {
        const char bytes[2] = {char(value & 0xff), char(value >> 8)};
        return QByteArray(bytes, 2);
    }
    static QByteArray le32(quint32 value)
    {
        return le16(quint16(value & 0xffff)) + le16(quint16(value >> 16));
    }
    static quint32 crc32(const QByteArray &data)
    {
        static const std::array<quint32, 256> table = [] {
            std::array<quint32, 256> t{};
            for (quint32 i = 0; i < 256; ++i) {
                quint32 c = i;
                for (int k = 0; k < 8; ++k)
                    c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
                t[i] = c;
            }
            return t;
        }();
        quint32 crc = 0xffffffffu;
        for (const char byte : data)
            crc = table[(crc ^ quint8(byte)) & 0xff] ^ (crc >> 8);
        return crc ^ 0xffffffffu;
    }

    QList<Entry> m_entries;
};

} // namespace kolu::test
