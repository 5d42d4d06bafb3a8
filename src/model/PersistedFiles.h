#pragma once

#include "model/AtomicFile.h"
#include "model/PomodoroState.h"
#include "model/Records.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace kolu {

// The seven JSON files kept directly in the data folder. Each format names its
// file and turns its value into the one shared encoding and back. decode()
// gives nothing for a document that is not wholly valid.
struct LinksFile {
    using Value = std::vector<SavedLink>;
    static constexpr char name[] = "links.json";
    static QByteArray encode(const Value &value);
    static std::optional<Value> decode(const QByteArray &bytes);
};

struct ClipboardItemsFile {
    using Value = std::vector<ClipboardItem>;
    static constexpr char name[] = "clipboardItems.json";
    static QByteArray encode(const Value &value);
    static std::optional<Value> decode(const QByteArray &bytes);
};

struct WebSearchProvidersFile {
    using Value = std::vector<WebSearchProvider>;
    static constexpr char name[] = "webSearchProviders.json";
    static QByteArray encode(const Value &value);
    static std::optional<Value> decode(const QByteArray &bytes);
};

struct PomodoroFile {
    using Value = PomodoroState;
    static constexpr char name[] = "pomodoro.json";
    static QByteArray encode(const Value &value);
    static std::optional<Value> decode(const QByteArray &bytes);
};

struct PrayerSettingsFile {
    using Value = PrayerSettings;
    static constexpr char name[] = "prayerSettings.json";
    static QByteArray encode(const Value &value);
    static std::optional<Value> decode(const QByteArray &bytes);
};

struct PrayerDayFile {
    using Value = PrayerDay;
    static constexpr char name[] = "prayerDay.json";
    static QByteArray encode(const Value &value);
    static std::optional<Value> decode(const QByteArray &bytes);
};

// A map from a prayer's raw name to whether its notification is on. Keys that
// name no prayer are kept as they are.
struct PrayerNotificationStatesFile {
    using Value = std::map<QString, bool>;
    static constexpr char name[] = "prayerNotificationStates.json";
    static QByteArray encode(const Value &value);
    static std::optional<Value> decode(const QByteArray &bytes);
};

// Reads and writes those files in one folder. A missing, unreadable or
// malformed file reads as absent and is left as it is; a failed write leaves
// the old file intact and is reported only through the result.
class PersistedFiles {
public:
    // `wrap`, for tests, stands between each save and its file.
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
        const auto bytes = readFile(pathOf<Format>());
        if (!bytes)
            return std::nullopt;
        return Format::decode(*bytes);
    }

    template<typename Format>
    bool write(const typename Format::Value &value) const
    {
        return writeFile(pathOf<Format>(), Format::encode(value));
    }

    // The focus timer as it stands at launch: read, moved off the old default
    // length, and brought up to `now`.
    std::optional<PomodoroState> readPomodoroAtLaunch(const QDateTime &now) const;

    // Files larger than this are not ours and read as absent.
    static constexpr qint64 kMaxFileSize = 32 * 1024 * 1024;

private:
    static std::optional<QByteArray> readFile(const QString &path);
    bool writeFile(const QString &path, const QByteArray &bytes) const;

    QString m_directory;
    SaveDeviceWrapper m_wrap;
};

} // namespace kolu
