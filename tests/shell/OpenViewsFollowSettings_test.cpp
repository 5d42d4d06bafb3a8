#include "cards/focus/FocusRules.h"
#include "shell/rail/expanded/ModuleDetailPanel.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"
#include "style/widgets/MenuPicker.h"

#include "ShellFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>

#include <functional>
#include <memory>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {
// A setting written from elsewhere (the settings window, another card) while
// a view that shows it is open: the view shows the new value at once.
class OpenViewsFollowSettingsTest : public test::RailStateTest {
protected:
    OrlixStyle style{defaults};
};

template<typename T>
T *child(const QWidget &view, const QString &name)
{
    T *found = view.findChild<T *>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

QString colorSheet(const QColor &color)
{
    return u"color: %1;"_s.arg(color.name(QColor::HexArgb));
}

} // namespace

TEST_F(OpenViewsFollowSettingsTest, EveryShownSettingIsFollowedWhileTheViewIsOpen)
{
    struct Case {
        const char *what;
        RailModule module;
        SettingsKey key;
        QJsonValue value;
        std::function<bool(const QWidget &)> shows;
    };
    const auto soundPickerShows = [](const QString &stored) {
        return [stored](const QWidget &view) {
            return child<MenuPicker>(view, u"focusAlertSoundPicker"_s)->currentIndex()
                   == focus::alertSoundIndex(stored);
        };
    };
    const auto chipChecked = [](const QString &raw) {
        return [raw](const QWidget &view) {
            return child<QAbstractButton>(view, u"reminderFilter_"_s + raw)->isChecked();
        };
    };
    const auto headerInStyle = [this](const QWidget &view) {
        return child<QLabel>(view, u"detailTitle"_s)->styleSheet().startsWith(colorSheet(style.text()))
               && child<QLabel>(view, u"detailTagline"_s)->styleSheet().startsWith(colorSheet(style.secondaryText()));
    };
    const std::vector<Case> cases{
        {"focus sound", RailModule::focus, SettingsKey::focusAlertSound, u"chime"_s, soundPickerShows(u"chime"_s)},
        {"focus sound off", RailModule::focus, SettingsKey::focusAlertSound, u"off"_s, soundPickerShows(u"off"_s)},
        {"focus sound of the wrong type", RailModule::focus, SettingsKey::focusAlertSound, 7,
         soundPickerShows(u"calendar"_s)},
        {"reminder filter", RailModule::reminders, SettingsKey::orlixReminderFilter, u"upcoming"_s,
         chipChecked(u"upcoming"_s)},
        {"reminder filter back", RailModule::reminders, SettingsKey::orlixReminderFilter, u"overdue"_s,
         chipChecked(u"overdue"_s)},
        {"dark appearance", RailModule::calendar, SettingsKey::orlixAppearanceMode, u"dark"_s, headerInStyle},
        {"light appearance", RailModule::notes, SettingsKey::orlixAppearanceMode, u"light"_s, headerInStyle},
        {"dark theme", RailModule::today, SettingsKey::orlixTheme, u"activeDark"_s, headerInStyle},
        {"hero theme", RailModule::links, SettingsKey::orlixTheme, u"heroLight"_s, headerInStyle},
        {"hero colour", RailModule::focus, SettingsKey::orlixHeroColorHex, u"#AA2244"_s, headerInStyle}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ModuleDetailPanel view(*state, c.module);
        view.resize(360, 560);
        view.show();
        const QString titleBefore = child<QLabel>(view, u"detailTitle"_s)->styleSheet();
        defaults.set(c.key, c.value);
        EXPECT_TRUE(c.shows(view));
        // The header stays in the look's colours whatever changed.
        EXPECT_TRUE(headerInStyle(view));
        if (c.key == SettingsKey::orlixAppearanceMode || c.key == SettingsKey::orlixTheme) {
            EXPECT_NE(child<QLabel>(view, u"detailTitle"_s)->styleSheet(), titleBefore); // a real change
        }
    }
}
