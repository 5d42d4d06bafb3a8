#include "cards/focus/FocusRules.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "style/OrlixStyle.h"
#include "style/widgets/MenuPicker.h"

#include "ShellFixture.h"

#include <QAbstractButton>
#include <QLabel>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

using OpenViewsFollowSettingsTest = test::RailStateTest;

template<typename T>
T *child(const QWidget &view, const QString &name)
{
    T *found = view.findChild<T *>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

} // namespace

// A setting written from elsewhere (the settings window, another card) while
// a view that shows it is open: the view shows the new value at once.
TEST_F(OpenViewsFollowSettingsTest, EveryShownSettingIsFollowedWhileTheViewIsOpen)
{
    OrlixStyle style{defaults};
    const auto colorSheet = [](const QColor &color) { return u"color: %1;"_s.arg(color.name(QColor::HexArgb)); };
    // The value each view should then show: a sound, a filter chip, or for
    // the look nothing but its header in the new colours.
    const std::tuple<RailModule, SettingsKey, QJsonValue, QString> cases[] = {
        {RailModule::focus, SettingsKey::focusAlertSound, u"chime"_s, u"chime"_s},
        {RailModule::focus, SettingsKey::focusAlertSound, u"off"_s, u"off"_s},
        {RailModule::focus, SettingsKey::focusAlertSound, 7, u"calendar"_s}, // of the wrong type
        {RailModule::reminders, SettingsKey::orlixReminderFilter, u"upcoming"_s, u"upcoming"_s},
        {RailModule::reminders, SettingsKey::orlixReminderFilter, u"overdue"_s, u"overdue"_s},
        {RailModule::calendar, SettingsKey::orlixAppearanceMode, u"dark"_s, {}},
        {RailModule::notes, SettingsKey::orlixAppearanceMode, u"light"_s, {}},
        {RailModule::today, SettingsKey::orlixTheme, u"activeDark"_s, {}},
        {RailModule::links, SettingsKey::orlixTheme, u"heroLight"_s, {}},
        {RailModule::focus, SettingsKey::orlixHeroColorHex, u"#AA2244"_s, {}}};
    for (const auto &[module, key, value, shown] : cases) {
        SCOPED_TRACE(testing::Message() << int(key) << " " << value.toVariant().toString().toStdString());
        ModuleDetailPanel view(*state, module);
        view.resize(360, 560);
        view.show();
        const QString titleBefore = child<QLabel>(view, u"detailTitle"_s)->styleSheet();
        defaults.set(key, value);
        if (key == SettingsKey::focusAlertSound) {
            EXPECT_EQ(child<MenuPicker>(view, u"focusAlertSoundPicker"_s)->currentIndex(),
                      focus::alertSoundIndex(shown));
        } else if (key == SettingsKey::orlixReminderFilter) {
            EXPECT_TRUE(child<QAbstractButton>(view, u"reminderFilter_"_s + shown)->isChecked());
        } else if (key != SettingsKey::orlixHeroColorHex) {
            EXPECT_NE(child<QLabel>(view, u"detailTitle"_s)->styleSheet(), titleBefore); // a real change
        }
        // The header stays in the look's colours whatever changed.
        EXPECT_TRUE(child<QLabel>(view, u"detailTitle"_s)->styleSheet().startsWith(colorSheet(style.text())));
        EXPECT_TRUE(
            child<QLabel>(view, u"detailTagline"_s)->styleSheet().startsWith(colorSheet(style.secondaryText())));
    }
}
