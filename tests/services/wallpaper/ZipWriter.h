#pragma once

#include "TestFiles.h"

// Small zip archives built in memory: stored, deflated and claimed entries and symbolic links, under
// any entry name, including names a careful unpacker must refuse ("../x", "/x").

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace kolu::test {

// Bytes that start like an image of the kind the file name's extension says.
inline QByteArray pictureBytes(const QString &name)
{
    const QString lower = name.toLower();
    QByteArray head("\xff\xd8\xff\xe0", 4);
    if (lower.endsWith(u".png"))
        head = QByteArray("\x89PNG\r\n\x1a\n", 8);
    else if (lower.endsWith(u".webp"))
        head = QByteArray("RIFF\0\0\0\0WEBP", 12);
    else if (lower.endsWith(u".heic"))
        head = QByteArray::fromHex("00000018") + "ftypheic";
    return head + "picture " + name.toUtf8();
}

class ZipWriter {
public:
    void addFile(const QString &name, const QByteArray &content)
    {
        m_entries.append({name.toUtf8(), content, false, 0, {}, {}});
    }
    // A deflated entry, as archive bombs are made. qCompress gives a 4-byte
    // length, a 2-byte zlib header, the raw deflate stream and a checksum.
    void addDeflatedFile(const QString &name, const QByteArray &content)
    {
        const QByteArray zlib = qCompress(content, 9);
        m_entries.append(
            {name.toUtf8(), zlib.mid(6, zlib.size() - 10), false, 8, quint32(content.size()), crc32(content)});
    }
    // A deflated entry whose raw deflate stream was made elsewhere (an
    // archive bomb too large to build in memory): `size` and `crc` are the
    // unpacked content's.
    void addPackedFile(const QString &name, const QByteArray &deflated, quint32 size, quint32 crc)
    {
        m_entries.append({name.toUtf8(), deflated, false, 8, size, crc});
    }
    // An entry that claims `declaredSize` bytes but holds none: only a
    // listing may look at it.
    void addClaimedFile(const QString &name, quint32 declaredSize)
    {
        m_entries.append({name.toUtf8(), {}, false, 0, declaredSize, {}});
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
            const quint32 packed = quint32(entry.content.size());
            // Version needed, UTF-8 names, method, time and date (1980-01-01), sizes, name length.
            const QByteArray common = le16(10) + le16(0x0800) + le16(entry.method) + le16(0) + le16(0x21)
                                      + le32(entry.crc.value_or(crc32(entry.content))) + le32(packed)
                                      + le32(entry.size.value_or(packed)) + le16(quint16(entry.name.size())) + le16(0);
            out += le32(0x04034b50) + common + entry.name + entry.content;
            // Made on Unix, so the mode counts.
            const quint32 mode = entry.isLink ? 0120777u : 0100644u;
            central += le32(0x02014b50) + le16((3 << 8) | 20) + common + le16(0) + le16(0) + le16(0) + le32(mode << 16)
                       + le32(offset) + entry.name;
        }
        const quint16 count = quint16(m_entries.size());
        return out + central + le32(0x06054b50) + le16(0) + le16(0) + le16(count) + le16(count)
               + le32(quint32(central.size())) + le32(quint32(out.size())) + le16(0);
    }

private:
    struct Entry {
        QByteArray name;
        QByteArray content; // as stored in the archive
        bool isLink = false;
        quint16 method = 0; // stored
        std::optional<quint32> size;
        std::optional<quint32> crc;
    };

    static QByteArray le16(quint16 value)
    {
        const char bytes[2] = {char(value & 0xff), char(value >> 8)};
        return QByteArray(bytes, 2);
    }
    static QByteArray le32(quint32 value) { return le16(quint16(value & 0xffff)) + le16(quint16(value >> 16)); }
    static quint32 crc32(const QByteArray &data)
    {
        static const auto table = [] {
            std::array<quint32, 256> t{};
            for (quint32 i = 0; i < 256; ++i) {
                t[i] = i;
                for (int k = 0; k < 8; ++k)
                    t[i] = (t[i] & 1) ? 0xedb88320u ^ (t[i] >> 1) : t[i] >> 1;
            }
            return t;
        }();
        quint32 crc = ~0u;
        for (const char byte : data)
            crc = table[(crc ^ quint8(byte)) & 0xff] ^ (crc >> 8);
        return ~crc;
    }

    QList<Entry> m_entries;
};

} // namespace kolu::test
