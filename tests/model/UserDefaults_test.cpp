#include "model/UserDefaults.h"

#include "model/DamagedFile.h"

#include "TemporaryHome.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class UserDefaultsTest : public ::testing::Test {
protected:
    test::TemporaryHome home;

    QByteArray fileBytes() const { return test::readFile(UserDefaults::defaultFilePath()); }
};

} // namespace

TEST_F(UserDefaultsTest, ValuesSurviveARestart)
{
    {
        UserDefaults defaults;
        defaults.set(u"railSize"_s, u"large"_s);
        defaults.set(u"clipboardHistoryLimit"_s, 40);
        defaults.set(u"soundOn"_s, true);
        defaults.setStringList(u"railModuleOrder"_s, {u"links"_s, u"today"_s});
        defaults.setDate(u"lastCheck"_s, QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC));
        EXPECT_TRUE(defaults.lastSaveSucceeded());
    }
    EXPECT_EQ(UserDefaults::defaultFilePath(), home.configHome() + u"/Kolu/defaults.json"_s);
    const UserDefaults r;
    EXPECT_EQ(std::tuple(r.string(u"railSize"_s), r.integer(u"clipboardHistoryLimit"_s), r.boolean(u"soundOn"_s),
                         r.stringList(u"railModuleOrder"_s), r.date(u"lastCheck"_s)),
              std::tuple(u"large"_s, 40, true, QStringList{u"links"_s, u"today"_s},
                         QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC)));
}

TEST_F(UserDefaultsTest, AValueOfTheWrongTypeCountsAsAbsent)
{
    UserDefaults defaults;
    defaults.set(u"s"_s, u"12"_s);
    defaults.set(u"n"_s, 2.5);
    defaults.set(u"b"_s, 1);
    defaults.set(u"mixed"_s, QJsonArray{u"a"_s, 3});

    // A fraction is no integer, a number no Boolean.
    EXPECT_FALSE(defaults.integer(u"s"_s) || defaults.boolean(u"s"_s) || defaults.integer(u"n"_s)
                 || defaults.boolean(u"b"_s) || defaults.string(u"b"_s) || defaults.stringList(u"mixed"_s)
                 || defaults.object(u"mixed"_s) || defaults.date(u"s"_s) || defaults.string(u"missing"_s));
    EXPECT_EQ(defaults.number(u"n"_s), 2.5);
    EXPECT_TRUE(defaults.array(u"mixed"_s) && defaults.value(u"missing"_s).isUndefined());
}

TEST_F(UserDefaultsTest, ChangesAreSignalledAlsoWhenTheValueIsTheSameAndNullRemoves)
{
    UserDefaults defaults;
    QSignalSpy spy(&defaults, &UserDefaults::changed);
    defaults.set(SettingsKey::railSize, u"large"_s);
    defaults.set(u"railSize"_s, u"large"_s);
    defaults.set(SettingsKey::railSize, QJsonValue::Null);
    defaults.set(u"notAKey"_s, 1); // stored, but no key announces it
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(2).at(0).value<SettingsKey>(), SettingsKey::railSize);
    EXPECT_FALSE(defaults.contains(SettingsKey::railSize) || UserDefaults().contains(u"railSize"_s));
    EXPECT_EQ(UserDefaults().integer(u"notAKey"_s), 1);
}

TEST_F(UserDefaultsTest, AMalformedFileReadsAsEmptyAndIsNotRewrittenByReading)
{
    for (const QByteArray &bad : {QByteArray("{\"railSize\": "), QByteArray("[1,2]"), QByteArray("\x00\x01", 2)}) {
        ASSERT_TRUE(test::writeFile(UserDefaults::defaultFilePath(), bad));
        const UserDefaults defaults;
        EXPECT_FALSE(defaults.contains(u"railSize"_s));
        EXPECT_EQ(fileBytes(), bad);
    }
}

TEST_F(UserDefaultsTest, AFailedSaveKeepsTheValueInMemoryAndAMalformedFileIsMovedAsideBeforeTheFirstSave)
{
    const QString blocker = home.path(u"blocker"_s);
    ASSERT_TRUE(test::writeFile(blocker));
    UserDefaults defaults(blocker + u"/defaults.json"_s);
    defaults.set(u"k"_s, u"v"_s);
    EXPECT_TRUE(!defaults.lastSaveSucceeded() && defaults.string(u"k"_s) == u"v"_s);

    // A malformed file is moved aside before the first save.
    const QByteArray typo = R"({"railSize": "large",})";
    ASSERT_TRUE(test::writeFile(UserDefaults::defaultFilePath(), typo));
    UserDefaults typed;
    EXPECT_TRUE(typed.loadFailed());
    typed.set(u"railSize"_s, u"small"_s);
    EXPECT_TRUE(typed.lastSaveSucceeded());
    const QStringList copies = damagedCopies(UserDefaults::defaultFilePath());
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(test::readFile(copies.front()), typo);
    EXPECT_TRUE(UserDefaults().string(u"railSize"_s) == u"small"_s && !UserDefaults().loadFailed());
}

TEST_F(UserDefaultsTest, SettingWhatIsStoredWritesNothing)
{
    UserDefaults defaults;
    defaults.set(u"railSize"_s, u"large"_s);
    defaults.set(u"a"_s, 2);
    EXPECT_LT(fileBytes().indexOf("\"a\""), fileBytes().indexOf("\"railSize\"")) << "keys sorted";
    defaults.remove(u"absent"_s);
    // Replaced by hand: a save now would put the value back.
    ASSERT_TRUE(test::writeFile(UserDefaults::defaultFilePath(), "{}"));
    defaults.set(u"railSize"_s, u"large"_s);
    defaults.remove(u"absent"_s);
    EXPECT_EQ(fileBytes(), "{}");
    defaults.set(u"railSize"_s, u"small"_s);
    EXPECT_TRUE(fileBytes().contains("small"));
}
