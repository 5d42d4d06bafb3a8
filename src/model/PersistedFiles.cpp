#include "model/PersistedFiles.h"

#include "model/AtomicFile.h"
#include "model/JsonCoding.h"
#include "model/RecordCoding.h"

namespace kolu {

namespace {

template<typename T>
std::optional<std::vector<T>> decodeListDocument(const QByteArray &bytes)
{
    const auto top = json::parseDocument(bytes);
    if (!top)
        return std::nullopt;
    return json::decodeList<T>(*top);
}

template<typename T>
std::optional<T> decodeObjectDocument(const QByteArray &bytes)
{
    const auto top = json::parseDocument(bytes);
    if (!top)
        return std::nullopt;
    return json::decode<T>(*top);
}

} // namespace

QByteArray LinksFile::encode(const Value &value)
{
    return json::encodeDocument(json::encodeList(value));
}

std::optional<LinksFile::Value> LinksFile::decode(const QByteArray &bytes)
{
    return decodeListDocument<SavedLink>(bytes);
}

QByteArray ClipboardItemsFile::encode(const Value &value)
{
    return json::encodeDocument(json::encodeList(value));
}

std::optional<ClipboardItemsFile::Value> ClipboardItemsFile::decode(const QByteArray &bytes)
{
    return decodeListDocument<ClipboardItem>(bytes);
}

QByteArray WebSearchProvidersFile::encode(const Value &value)
{
    return json::encodeDocument(json::encodeList(value));
}

std::optional<WebSearchProvidersFile::Value> WebSearchProvidersFile::decode(const QByteArray &bytes)
{
    return decodeListDocument<WebSearchProvider>(bytes);
}

QByteArray PomodoroFile::encode(const Value &value)
{
    return json::encodeDocument(json::encode(value));
}

std::optional<PomodoroFile::Value> PomodoroFile::decode(const QByteArray &bytes)
{
    return decodeObjectDocument<PomodoroState>(bytes);
}

QByteArray PrayerSettingsFile::encode(const Value &value)
{
    return json::encodeDocument(json::encode(value));
}

std::optional<PrayerSettingsFile::Value> PrayerSettingsFile::decode(const QByteArray &bytes)
{
    return decodeObjectDocument<PrayerSettings>(bytes);
}

QByteArray PrayerDayFile::encode(const Value &value)
{
    return json::encodeDocument(json::encode(value));
}

std::optional<PrayerDayFile::Value> PrayerDayFile::decode(const QByteArray &bytes)
{
    return decodeObjectDocument<PrayerDay>(bytes);
}

QByteArray PrayerNotificationStatesFile::encode(const Value &value)
{
    QJsonObject object;
    for (const auto &[key, enabled] : value)
        object.insert(key, enabled);
    return json::encodeDocument(object);
}

std::optional<PrayerNotificationStatesFile::Value> PrayerNotificationStatesFile::decode(const QByteArray &bytes)
{
    const auto top = json::parseDocument(bytes);
    if (!top || !top->isObject())
        return std::nullopt;
    Value states;
    const QJsonObject object = top->toObject();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it->isBool())
            return std::nullopt;
        states.emplace(it.key(), it->toBool());
    }
    return states;
}

PersistedFiles::PersistedFiles(QString directory, SaveDeviceWrapper wrap)
    : m_directory(std::move(directory))
    , m_wrap(std::move(wrap))
{
}

std::optional<PomodoroState> PersistedFiles::readPomodoroAtLaunch(const QDateTime &now) const
{
    auto state = read<PomodoroFile>();
    if (state) {
        state->migrateDefaultFocusDurationIfNeeded();
        state->reconcileAfterLaunch(now);
    }
    return state;
}

std::optional<QByteArray> PersistedFiles::readFile(const QString &path)
{
    return readWholeFile(path, kMaxFileSize);
}

bool PersistedFiles::writeFile(const QString &path, const QByteArray &bytes) const
{
    return writeFileAtomically(path, bytes, m_wrap);
}

} // namespace kolu
