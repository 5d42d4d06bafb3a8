#include "state/AppSettings.h"

#include "model/UserDefaults.h"

#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    test::TemporaryHome home;
    UserDefaults defaults;

    void store(SettingsKey key, const QJsonValue &value) { defaults.set(key, value); }
};

} // namespace

TEST_F(AppSettingsTest, HistoryLimitTakesOnlyTheOfferedChoices)
{
    for (const auto &[stored, expected] : std::vector<std::pair<QJsonValue, int>>{
             {25, 40}, {10, 10}, {30, 30}, {0, 40}, {u"20"_s, 40}, {20.5, 40}}) {
        store(SettingsKey::clipboardHistoryLimit, stored);
        EXPECT_EQ(AppSettings::load(defaults).clipboardHistoryLimit, expected);
    }
}

TEST_F(AppSettingsTest, ValuesOfTheWrongTypeKeepTheirDefault)
{
    store(SettingsKey::showMinimizeAllAppsButton, u"no"_s);
    store(SettingsKey::reminderAlertsEnabled, false);
    store(SettingsKey::railModuleOrder, QJsonArray{u"links"_s, 3});
    store(SettingsKey::hiddenRailModules, QJsonArray{u"notes"_s});
    const AppSettings s = AppSettings::load(defaults);
    EXPECT_TRUE(s.showMinimizeAllAppsButton);
    EXPECT_FALSE(s.reminderAlertsEnabled);
    EXPECT_EQ(s.railModuleOrder.front(), RailModule::today);
    EXPECT_EQ(s.hiddenRailModules, RailModuleSet{RailModule::notes});
}

TEST_F(AppSettingsTest, StoredNamesAreCaseSensitive)
{
    store(SettingsKey::railEdge, u"Left"_s);
    store(SettingsKey::railSize, u"compact"_s);
    store(SettingsKey::railVerticalPosition, u"bottom"_s);
    store(SettingsKey::wallpaperLibrary, u"Frontier"_s);
    const AppSettings s = AppSettings::load(defaults);
    EXPECT_EQ(s.railEdge, RailEdge::right);
    EXPECT_EQ(s.railSize, RailSize::standard);
    EXPECT_EQ(s.railVerticalPosition, RailVerticalPosition::bottom);
    EXPECT_EQ(s.wallpaperLibrary, WallpaperLibrary::noir);
}

TEST_F(AppSettingsTest, HoldDurationIsTakenAsStoredButClampedOnChange)
{
    store(SettingsKey::statusMenuOpenHoldDuration, 20);
    EXPECT_EQ(AppSettings::load(defaults).statusMenuOpenHoldDuration, 20);
    EXPECT_EQ(clampedStatusMenuHoldDuration(0.5), 1.0);
    EXPECT_EQ(clampedStatusMenuHoldDuration(12), 10.0);
    EXPECT_EQ(clampedStatusMenuHoldDuration(std::nan("")), 1.0);
}

TEST_F(AppSettingsTest, LeadMinutesNeedEveryValueToBeAnInteger)
{
    store(SettingsKey::calendarAlertLeadMinutesByEventID, QJsonObject{{u"a"_s, 5}, {u"b"_s, 15}});
    EXPECT_EQ(AppSettings::load(defaults).calendarAlertLeadMinutesByEventID,
              (QHash<QString, int>{{u"a"_s, 5}, {u"b"_s, 15}}));
    store(SettingsKey::calendarAlertLeadMinutesByEventID, QJsonObject{{u"a"_s, 5}, {u"b"_s, u"soon"_s}});
    EXPECT_TRUE(AppSettings::load(defaults).calendarAlertLeadMinutesByEventID.isEmpty());
}
