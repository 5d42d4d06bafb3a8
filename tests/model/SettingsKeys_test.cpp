#include "model/SettingsKeys.h"
#include "model/UserDefaults.h"

#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// A value of every type but `type`'s own, to prove that it reads as absent.
QJsonValue valueNotOfType(SettingType type)
{
    return type == SettingType::string || type == SettingType::date ? QJsonValue(7) : QJsonValue(u"7"_s);
}

} // namespace

TEST(SettingsKeysTest, EveryKeyHasOneRowWithAUniqueNameAndADefaultOfItsType)
{
    const auto table = settingsKeyTable();
    ASSERT_EQ(std::size_t(SettingsKey::deliveredRemoteAppMessageIDs) + 1, table.size()); // the last key
    QSet<QString> names;
    const QRegularExpression lowerCamel(u"^[a-z][A-Za-z]*$"_s);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const SettingsKeyRow &row = table[i];
        const QString name = row.name;
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(std::size_t(row.key), i); // rows follow the enumeration
        EXPECT_TRUE(lowerCamel.match(name).hasMatch());
        EXPECT_FALSE(names.contains(name));
        names.insert(name);
        EXPECT_EQ(std::pair(settingsKeyName(row.key), settingsKeyNamed(name)), std::pair(name, std::optional(row.key)));
        EXPECT_TRUE(row.defaultValue.isNull() || isSettingOfType(row.defaultValue, row.type));
    }
    EXPECT_FALSE(settingsKeyNamed(u"RailEdge") || settingsKeyNamed(u""));
}

TEST(SettingsKeysTest, AValueOfTheWrongTypeReadsAsTheDefault)
{
    test::TemporaryHome home;
    UserDefaults defaults;
    for (const SettingsKeyRow &row : settingsKeyTable()) {
        SCOPED_TRACE(QString(row.name).toStdString());
        EXPECT_EQ(defaults.valueOrDefault(row.key), row.defaultValue); // absent
        defaults.set(row.key, valueNotOfType(row.type));
        EXPECT_TRUE(defaults.contains(row.key));
        EXPECT_EQ(defaults.valueOrDefault(row.key), row.defaultValue);
    }
    // The typed readers agree with the table.
    defaults.set(SettingsKey::clipboardHistoryLimit, 20.5);
    EXPECT_EQ(defaults.integerValue(SettingsKey::clipboardHistoryLimit), 40);
    defaults.set(SettingsKey::railModuleOrder, QJsonArray{u"links"_s, 3});
    EXPECT_EQ(defaults.stringListValue(SettingsKey::railModuleOrder), QStringList());
    defaults.setStringList(SettingsKey::railModuleOrder, {u"links"_s});
    EXPECT_EQ(defaults.stringListValue(SettingsKey::railModuleOrder), QStringList{u"links"_s});
    EXPECT_EQ(defaults.stringValue(SettingsKey::calendarFolderPath), QString()); // no default
    EXPECT_FALSE(defaults.string(SettingsKey::calendarFolderPath));
}

// Only the table spells a key's stored name: a second spelling would let the
// two drift apart and a setting silently read as absent.
TEST(SettingsKeysTest, EachStoredNameIsSpelledInOneSourceFileOnly)
{
    QHash<QString, QStringList> filesByName;
    QDirIterator files(QStringLiteral(KOLU_SOURCE_DIR), {u"*.h"_s, u"*.cpp"_s, u"*.in"_s}, QDir::Files,
                       QDirIterator::Subdirectories);
    int scanned = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        ++scanned;
        for (const SettingsKeyRow &row : settingsKeyTable()) {
            if (text.contains(u'"' + QString(row.name) + u'"'))
                filesByName[row.name].append(QDir(QStringLiteral(KOLU_SOURCE_DIR)).relativeFilePath(path));
        }
    }
    ASSERT_GT(scanned, 100);
    for (const SettingsKeyRow &row : settingsKeyTable())
        EXPECT_EQ(filesByName.value(row.name), QStringList{u"model/SettingsKeys.cpp"_s})
            << QString(row.name).toStdString();
}
