#pragma once

#include "model/PrivateFiles.h"
#include "model/SettingsKeys.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace kolu {

// Small typed settings, kept as one JSON object in ~/.config/Kolu/defaults.json
// and written whole and atomically after every change. A getter gives nothing
// both when the key is absent and when it holds a value of another type, so
// callers fall back to their default in either case. A file that is missing
// or malformed reads as empty; a malformed one is moved aside before the first
// save writes over it. The file's folder is opened once (at launch, or at the
// first save when it is missing) and held: every later read and save goes
// through it, whatever is renamed on its path, and a link at the file's name
// is neither read nor written through. The user's own link to a folder of
// theirs that no one else may write to is followed. Any other link, or
// another user's folder, in place of the file's folder is refused with one
// line on standard error: nothing is read from it or saved, and every value
// is its default.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    // Uses the file at `filePath`.
    explicit UserDefaults(QString filePath, QObject *parent = nullptr);
    // Uses defaultFilePath().
    explicit UserDefaults(QObject *parent = nullptr);

    static QString defaultFilePath();
    const QString &filePath() const { return m_filePath; }

    // Reads and writes by key (see SettingsKeys.h). A getter gives nothing
    // when the key is absent or holds a value of another type than the one
    // it asks for; the ...Value getters give the key's default instead.
    bool contains(SettingsKey key) const;
    // The raw stored value; Undefined when absent.
    QJsonValue value(SettingsKey key) const;
    // The stored value when it is of the key's type, else the key's default.
    QJsonValue valueOrDefault(SettingsKey key) const;

    std::optional<bool> boolean(SettingsKey key) const;
    // An integral number that fits 64 bits.
    std::optional<qint64> integer(SettingsKey key) const;
    // Any number.
    std::optional<double> number(SettingsKey key) const;
    std::optional<QString> string(SettingsKey key) const;
    // An array whose every element is a string.
    std::optional<QStringList> stringList(SettingsKey key) const;
    std::optional<QJsonObject> object(SettingsKey key) const;
    // A date stored by setDate().
    std::optional<QDateTime> date(SettingsKey key) const;

    bool boolValue(SettingsKey key) const { return boolean(key).value_or(defaultOf(key).toBool()); }
    qint64 integerValue(SettingsKey key) const { return integer(key).value_or(defaultOf(key).toInteger()); }
    double numberValue(SettingsKey key) const { return number(key).value_or(defaultOf(key).toDouble()); }
    QString stringValue(SettingsKey key) const { return string(key).value_or(defaultOf(key).toString()); }
    QStringList stringListValue(SettingsKey key) const;
    QJsonObject objectValue(SettingsKey key) const { return object(key).value_or(defaultOf(key).toObject()); }

    // Stores `value` (Undefined or null removes the key), saves when that
    // changed what is stored, and emits changed(key) either way. A failed
    // save keeps the value in memory.
    void set(SettingsKey key, const QJsonValue &value);
    void setStringList(SettingsKey key, const QStringList &value);
    void setDate(SettingsKey key, const QDateTime &value);
    void remove(SettingsKey key);

    // The same by stored name, for tests and tools that check the stored
    // file itself; the program goes through the keys above. A name that is
    // not in the table is stored but announces no change.
    bool contains(const QString &name) const;
    QJsonValue value(const QString &name) const;
    std::optional<bool> boolean(const QString &name) const;
    std::optional<qint64> integer(const QString &name) const;
    std::optional<double> number(const QString &name) const;
    std::optional<QString> string(const QString &name) const;
    std::optional<QStringList> stringList(const QString &name) const;
    std::optional<QJsonArray> array(const QString &name) const;
    std::optional<QJsonObject> object(const QString &name) const;
    std::optional<QDateTime> date(const QString &name) const;
    void set(const QString &name, const QJsonValue &value);
    void setStringList(const QString &name, const QStringList &value);
    void setDate(const QString &name, const QDateTime &value);
    void remove(const QString &name);

    // Whether the last save reached the disk.
    bool lastSaveSucceeded() const { return m_lastSaveSucceeded; }
    // Whether a file was there at start that could not be read, so every
    // value read as absent. A one-time step keyed on a stored flag must not
    // run again because of it.
    bool loadFailed() const { return m_loadFailed; }
    // Whether the file's folder was refused as another user's or a link.
    bool isRefused() const { return m_refused; }

Q_SIGNALS:
    // A key was written, also with the value it already had.
    void changed(kolu::SettingsKey key);

private:
    static QJsonValue defaultOf(SettingsKey key) { return settingsKeyRow(key).defaultValue; }
    void load();
    void save();
    void refuseFolderIfForeign();
    // The folder, opened when it is not yet held (or was removed since).
    const PrivateFolder *folder(bool create);
    QString fileName() const;

    QString m_filePath;
    std::optional<PrivateFolder> m_folder;
    QJsonObject m_values;
    bool m_lastSaveSucceeded = true;
    bool m_loadFailed = false;
    bool m_damagedFileInPlace = false;
    bool m_refused = false;
};

} // namespace kolu
