#include "model/UserDefaults.h"

#include "model/AtomicFile.h"
#include "model/DamagedFile.h"
#include "model/JsonCoding.h"
#include "model/PrivateFiles.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr qint64 kMaxDefaultsFileSize = 8 * 1024 * 1024;

} // namespace

UserDefaults::UserDefaults(QString filePath, QObject *parent)
    : QObject(parent)
    , m_filePath(std::move(filePath))
{
    load();
}

UserDefaults::UserDefaults(QObject *parent)
    : UserDefaults(defaultFilePath(), parent)
{
}

QString UserDefaults::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/Kolu/defaults.json"_s;
}

void UserDefaults::refuseFolderIfForeign()
{
    if (m_refused)
        return;
    const QString folder = QFileInfo(m_filePath).absolutePath();
    const QString reason = foreignFolderReason(folder);
    if (reason.isEmpty())
        return;
    // Another user (where a parent folder is open to others) could have put
    // it there: its settings would steer Kolu, and the user's would land in
    // it.
    m_refused = true;
    m_values = {};
    qWarning().noquote() << "Kolu does not use its settings folder:" << folder << reason
                         << u"(it runs on default settings without saving them)."_s;
}

QString UserDefaults::fileName() const
{
    return QFileInfo(m_filePath).fileName();
}

// The settings say where Kolu reads and writes (the to-do and notes folders)
// and where searches go: an account that could change them could choose
// that. So the folder (0700) and the file (0600) are the user's alone, and
// an earlier run's, made under the umask, is narrowed.
const PrivateFolder *UserDefaults::folder(bool create)
{
    if (m_folder && m_folder->isGone())
        m_folder.reset(); // removed by the user: made again, and checked again, as at launch
    if (!m_folder) {
        const QString path = QDir::cleanPath(QFileInfo(m_filePath).absolutePath());
        m_folder = PrivateFolder::open(path, {.create = create, .tighten = true});
        if (m_folder)
            m_folder->tightenFile(fileName());
    }
    return m_folder ? &*m_folder : nullptr;
}

void UserDefaults::load()
{
    refuseFolderIfForeign();
    if (m_refused)
        return;
    const PrivateFolder *in = folder(false);
    if (!in)
        return;
    const auto bytes = in->readFile(fileName(), kMaxDefaultsFileSize);
    const auto top = bytes ? json::parseDocument(*bytes) : std::nullopt;
    if (top && top->isObject()) {
        m_values = top->toObject();
        return;
    }
    // Only a regular file is set aside; anything else is left to the save.
    m_loadFailed = in->holdsFile(fileName());
    m_damagedFileInPlace = m_loadFailed;
}

void UserDefaults::save()
{
    const PrivateFolder *in = m_refused ? nullptr : folder(true);
    if (!in)
        refuseFolderIfForeign(); // planted since the launch
    if (!in || m_refused) {
        m_lastSaveSucceeded = false;
        return;
    }
    if (m_damagedFileInPlace && in->holdsFile(fileName())) {
        if (!moveDamagedFileAside(in->descriptor(), fileName(), QDateTime::currentDateTimeUtc())) {
            m_lastSaveSucceeded = false;
            return;
        }
    }
    m_damagedFileInPlace = false;
    m_lastSaveSucceeded = in->saveFile(fileName(), json::encodeDocument(m_values)) == WriteOutcome::written;
}

bool UserDefaults::contains(SettingsKey key) const
{
    return contains(settingsKeyName(key));
}

QJsonValue UserDefaults::value(SettingsKey key) const
{
    return value(settingsKeyName(key));
}

QJsonValue UserDefaults::valueOrDefault(SettingsKey key) const
{
    const SettingsKeyRow &row = settingsKeyRow(key);
    const QJsonValue stored = value(QString(row.name));
    return isSettingOfType(stored, row.type) ? stored : row.defaultValue;
}

std::optional<bool> UserDefaults::boolean(SettingsKey key) const
{
    return boolean(settingsKeyName(key));
}

std::optional<qint64> UserDefaults::integer(SettingsKey key) const
{
    return integer(settingsKeyName(key));
}

std::optional<double> UserDefaults::number(SettingsKey key) const
{
    return number(settingsKeyName(key));
}

std::optional<QString> UserDefaults::string(SettingsKey key) const
{
    return string(settingsKeyName(key));
}

std::optional<QStringList> UserDefaults::stringList(SettingsKey key) const
{
    return stringList(settingsKeyName(key));
}

std::optional<QJsonObject> UserDefaults::object(SettingsKey key) const
{
    return object(settingsKeyName(key));
}

std::optional<QDateTime> UserDefaults::date(SettingsKey key) const
{
    return date(settingsKeyName(key));
}

QStringList UserDefaults::stringListValue(SettingsKey key) const
{
    if (auto stored = stringList(key))
        return *stored;
    QStringList list;
    for (const QJsonValue &element : defaultOf(key).toArray())
        list.append(element.toString());
    return list;
}

void UserDefaults::set(SettingsKey key, const QJsonValue &value)
{
    set(settingsKeyName(key), value);
}

void UserDefaults::setStringList(SettingsKey key, const QStringList &value)
{
    set(key, QJsonArray::fromStringList(value));
}

void UserDefaults::setDate(SettingsKey key, const QDateTime &value)
{
    set(key, json::encodeDate(value));
}

void UserDefaults::remove(SettingsKey key)
{
    set(key, QJsonValue(QJsonValue::Undefined));
}

bool UserDefaults::contains(const QString &key) const
{
    return m_values.contains(key);
}

QJsonValue UserDefaults::value(const QString &key) const
{
    return m_values.value(key);
}

std::optional<bool> UserDefaults::boolean(const QString &key) const
{
    const QJsonValue v = value(key);
    if (!v.isBool())
        return std::nullopt;
    return v.toBool();
}

std::optional<qint64> UserDefaults::integer(const QString &key) const
{
    const QJsonValue v = value(key);
    if (!isSettingOfType(v, SettingType::integer))
        return std::nullopt;
    return static_cast<qint64>(v.toDouble());
}

std::optional<double> UserDefaults::number(const QString &key) const
{
    const QJsonValue v = value(key);
    if (!v.isDouble())
        return std::nullopt;
    return v.toDouble();
}

std::optional<QString> UserDefaults::string(const QString &key) const
{
    const QJsonValue v = value(key);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

std::optional<QStringList> UserDefaults::stringList(const QString &key) const
{
    const QJsonValue v = value(key);
    if (!isSettingOfType(v, SettingType::stringList))
        return std::nullopt;
    QStringList list;
    for (const QJsonValue &element : v.toArray())
        list.append(element.toString());
    return list;
}

std::optional<QJsonArray> UserDefaults::array(const QString &key) const
{
    const QJsonValue v = value(key);
    if (!v.isArray())
        return std::nullopt;
    return v.toArray();
}

std::optional<QJsonObject> UserDefaults::object(const QString &key) const
{
    const QJsonValue v = value(key);
    if (!v.isObject())
        return std::nullopt;
    return v.toObject();
}

std::optional<QDateTime> UserDefaults::date(const QString &key) const
{
    const auto text = string(key);
    if (!text)
        return std::nullopt;
    return json::decodeDate(*text);
}

void UserDefaults::set(const QString &key, const QJsonValue &value)
{
    const bool removing = value.isUndefined() || value.isNull();
    // A value the file already holds is not written again: a slider sets the
    // same value many times over.
    const bool same = removing ? !m_values.contains(key) : m_values.value(key) == value;
    if (!same) {
        if (removing)
            m_values.remove(key);
        else
            m_values.insert(key, value);
        save();
    }
    if (const auto known = settingsKeyNamed(key))
        Q_EMIT changed(*known);
}

void UserDefaults::setStringList(const QString &key, const QStringList &value)
{
    set(key, QJsonArray::fromStringList(value));
}

void UserDefaults::setDate(const QString &key, const QDateTime &value)
{
    set(key, json::encodeDate(value));
}

void UserDefaults::remove(const QString &key)
{
    set(key, QJsonValue(QJsonValue::Undefined));
}

} // namespace kolu
