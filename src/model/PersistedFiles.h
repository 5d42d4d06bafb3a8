#pragma once

#include "model/AtomicFile.h"
#include "model/JsonCoding.h"
#include "model/PrivateFiles.h"
#include "model/PomodoroState.h"
#include "model/RecordCoding.h"
#include "model/Records.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace kolu {

// A file name as a template argument.
template<std::size_t N>
struct FileName {
    constexpr FileName(const char (&text)[N]) { std::copy_n(text, N, value); }
    char value[N];
};

// One JSON file kept directly in the data folder, holding a `T`: a list of
// records, one record or a flag map, in the one shared encoding. decode()
// gives nothing for a document that is not wholly valid.
template<typename T, FileName Name>
struct JsonFile {
    using Value = T;
    static constexpr const char *name = Name.value;

    static QByteArray encode(const Value &value) { return json::encodeDocument(json::encodeValue(value)); }

    static std::optional<Value> decode(const QByteArray &bytes)
    {
        const auto top = json::parseDocument(bytes);
        if (!top)
            return std::nullopt;
        return json::decodeValue<Value>(*top);
    }
};

using LinksFile = JsonFile<std::vector<SavedLink>, "links.json">;
using ClipboardItemsFile = JsonFile<std::vector<ClipboardItem>, "clipboardItems.json">;
using WebSearchProvidersFile = JsonFile<std::vector<WebSearchProvider>, "webSearchProviders.json">;
using PomodoroFile = JsonFile<PomodoroState, "pomodoro.json">;
using PrayerSettingsFile = JsonFile<PrayerSettings, "prayerSettings.json">;
using PrayerDayFile = JsonFile<PrayerDay, "prayerDay.json">;
// A prayer's raw name to whether its notification is on. Keys that name no
// prayer are kept as they are.
using PrayerNotificationStatesFile = JsonFile<json::FlagMap, "prayerNotificationStates.json">;

// Reads and writes those files in one folder of the user's alone, through
// the folder's descriptor: a link at a file's name is neither read nor
// written through. A missing, unreadable or malformed file reads as absent
// and is left as it is until it would be overwritten: then it is first moved
// aside (see moveDamagedFileAside). A write whose bytes the file already
// holds is skipped; a file written is the user's alone (mode 0600). A failed
// write leaves the old file intact and is reported only through the result.
class PersistedFiles {
public:
    // `wrap`, for tests, stands between each save and its file. Without a
    // folder nothing is read or written.
    explicit PersistedFiles(std::shared_ptr<const PrivateFolder> folder, SaveDeviceWrapper wrap = {});
    // The folder at `directory`, opened as a private folder when first used
    // and held from then on; an empty `directory` is no folder.
    explicit PersistedFiles(QString directory, SaveDeviceWrapper wrap = {});

    const QString &directory() const { return m_directory; }

    template<typename Format>
    QString pathOf() const
    {
        return m_directory + u'/' + QLatin1StringView(Format::name);
    }

    template<typename Format>
    std::optional<typename Format::Value> read() const
    {
        const QString name = QLatin1StringView(Format::name);
        const auto bytes = readFile(name);
        std::optional<typename Format::Value> value;
        if (bytes)
            value = Format::decode(*bytes);
        noteRead(name, bytes, value.has_value());
        return value;
    }

    // Whether the content of the file is in place (also when it already was).
    template<typename Format>
    bool write(const typename Format::Value &value) const
    {
        return writeFile(QLatin1StringView(Format::name), Format::encode(value)) == WriteOutcome::written;
    }

    // Whether the last read found the file there but could not read it, and
    // no write has replaced it since (the write that does moves it aside).
    template<typename Format>
    bool foundUnreadable() const
    {
        return m_known.value(QLatin1StringView(Format::name)).damaged;
    }

    // The focus timer as it stands at launch: read, moved off the old default
    // length, and brought up to `now`.
    std::optional<PomodoroState> readPomodoroAtLaunch(const QDateTime &now) const;

    // Files larger than this are not ours and read as absent.
    static constexpr qint64 kMaxFileSize = 32 * 1024 * 1024;

private:
    const PrivateFolder *folder() const;
    std::optional<QByteArray> readFile(const QString &name) const;
    void noteRead(const QString &name, const std::optional<QByteArray> &bytes, bool decoded) const;
    WriteOutcome writeFile(const QString &name, const QByteArray &bytes) const;

    // What is known of each file from the last read or write.
    struct Known {
        QByteArray digest;    // of the bytes the file holds; empty when unknown
        bool damaged = false; // there but not readable: moved aside before a write
    };

    QString m_directory;
    mutable std::shared_ptr<const PrivateFolder> m_folder;
    SaveDeviceWrapper m_wrap;
    // By file name.
    mutable QHash<QString, Known> m_known;
};

} // namespace kolu
