#pragma once

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
// save writes over it.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    // Uses the file at `filePath`.
    explicit UserDefaults(QString filePath, QObject *parent = nullptr);
    // Uses defaultFilePath().
    explicit UserDefaults(QObject *parent = nullptr);

    static QString defaultFilePath();
    const QString &filePath() const { return m_filePath; }

    bool contains(const QString &key) const;
    // The raw stored value; Undefined when absent.
    QJsonValue value(const QString &key) const;

    std::optional<bool> boolean(const QString &key) const;
    // An integral number that fits 64 bits.
    std::optional<qint64> integer(const QString &key) const;
    // Any number.
    std::optional<double> number(const QString &key) const;
    std::optional<QString> string(const QString &key) const;
    // An array whose every element is a string.
    std::optional<QStringList> stringList(const QString &key) const;
    std::optional<QJsonArray> array(const QString &key) const;
    std::optional<QJsonObject> object(const QString &key) const;
    // A date stored by setDate().
    std::optional<QDateTime> date(const QString &key) const;

    // Stores `value` (Undefined or null removes the key), saves when that
    // changed what is stored, and emits changed(key) either way. A failed
    // save keeps the value in memory.
    void set(const QString &key, const QJsonValue &value);
    void setStringList(const QString &key, const QStringList &value);
    void setDate(const QString &key, const QDateTime &value);
    void remove(const QString &key);

    // Whether the last save reached the disk.
    bool lastSaveSucceeded() const { return m_lastSaveSucceeded; }
    // Whether a file was there at start that could not be read, so every
    // value read as absent. A one-time step keyed on a stored flag must not
    // run again because of it.
    bool loadFailed() const { return m_loadFailed; }

Q_SIGNALS:
    void changed(const QString &key);

private:
    void load();
    void save();

    QString m_filePath;
    QJsonObject m_values;
    bool m_lastSaveSucceeded = true;
    bool m_loadFailed = false;
    bool m_damagedFileInPlace = false;
};

} // namespace kolu
