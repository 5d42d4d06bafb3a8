#include "RemindersViews.h"

#include "DetailPanelView.h"
#include "GalleryState.h"
#include "KitViews.h"
#include "ManualClock.h"

#include "cards/reminders/RemindersCard.h"
#include "model/UserDefaults.h"
#include "state/AppState.h"
#include "style/DateText.h"
#include "style/widgets/ChoicePopup.h"
#include "style/widgets/MonthPopup.h"
#include "style/widgets/OrlixDateField.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

std::vector<ReminderItem> sampleReminders()
{
    const QDateTime now = clock().now();
    const QString titles[] = {
        u"Call the insurance office about the renewal letter that arrived last week"_s,
        u"Pick up the dry cleaning"_s,
        u"Send the signed lease back to the landlord before the weekend"_s,
        u"Book flights for the family visit in the spring holidays"_s,
        u"Water the plants"_s,
        u"Review the quarterly budget spreadsheet and mark every line that changed"_s,
        u"Renew passport"_s,
        u"Buy a birthday present for Mira"_s,
        u"Return the library books"_s,
        u"Schedule the car service and ask about the winter tyres"_s,
        u"Pay the electricity bill"_s,
        u"Prepare the slides for Thursday's planning meeting with the whole team"_s,
    };
    const int dayOffsets[] = {-2, -1, 0, 0, 0, 1, 1, 2, 4, 9, 30, 400};
    std::vector<ReminderItem> items;
    for (int i = 0; i < 12; ++i) {
        ReminderItem item;
        item.id = u"gallery-"_s + QString::number(i);
        item.title = titles[i];
        item.dueDate = now.addDays(dayOffsets[i]).addSecs(i * 1800);
        item.includesTime = i % 3 != 0;
        item.priority = QList<int>{0, 1, 5, 9}[i % 4];
        item.isFlagged = i % 5 == 0;
        if (i % 2 == 0)
            item.notes =
                u"Bring the folder with last year's papers, the receipt and the reference number from the letter."_s;
        if (i % 3 == 0)
            item.url = QUrl(u"https://example.org/task"_s);
        items.push_back(item);
    }
    return items;
}

enum class Popup { none, date, time };

QWidget *card(const QString &filter, const RemindersConnectionState &connection, bool withReminders,
              bool composing = false, Popup popup = Popup::none)
{
    AppState &s = state();
    s.defaults().set(SettingsKey::orlixReminderFilter, filter);
    s.setRemindersConnection(connection);
    s.setReminders(withReminders ? sampleReminders() : std::vector<ReminderItem>{});
    QWidget *panel = inDetailPanel(RailModule::reminders, [composing](QWidget *built) {
        auto *view = static_cast<RemindersCard *>(built);
        if (composing) {
            view->composerAction();
            view->findChild<QLineEdit *>(u"reminderTitleField"_s)->setText(u"Buy milk"_s);
        }
    });
    if (popup == Popup::none)
        return panel;
    // The pop-up, a window of its own in the program, drawn in the picture
    // where it opens.
    const QDateTime now = clock().now().toLocalTime();
    auto *field =
        panel->findChild<OrlixDateField *>(popup == Popup::date ? u"reminderDatePicker"_s : u"reminderTimePicker"_s);
    KitPopup *shown = nullptr;
    if (popup == Popup::date) {
        shown = new MonthPopup(now.date(), now.date(), nullptr);
    } else {
        QStringList times;
        for (int minutes = 0; minutes < 24 * 60; minutes += 30)
            times << DateText::user().format(QDateTime(now.date(), QTime(minutes / 60, minutes % 60)), u"jmm"_s);
        shown = new ChoicePopup(times, now.time().hour() * 2 + now.time().minute() / 30, nullptr);
    }
    showMenuInPicture(panel, field, shown);
    return panel;
}

} // namespace

std::vector<View> remindersViews()
{
    const auto ready = RemindersConnectionState::ready();
    return {
        {"reminders-today",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [=](const Context &) { return card(u"today"_s, ready, true); }},
        {"reminders-overdue",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [=](const Context &) { return card(u"overdue"_s, ready, true); }},
        {"reminders-scheduled",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [=](const Context &) { return card(u"upcoming"_s, ready, true); }},
        {"reminders-empty",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [=](const Context &) { return card(u"today"_s, ready, false); }},
        {"reminders-blocked",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return card(u"today"_s, RemindersConnectionState::denied(), false); }},
        {"reminders-not-loaded",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return card(u"today"_s, RemindersConnectionState::notDetermined(), false); }},
        {"reminders-failed",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) {
             return card(u"today"_s, RemindersConnectionState::failed(u"The to-do folder could not be read."_s), false);
         }},
        {"reminders-composer",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [=](const Context &) { return card(u"today"_s, ready, true, true); }},
        {"reminders-date-popup",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [=](const Context &) { return card(u"today"_s, ready, true, true, Popup::date); }},
        {"reminders-time-popup",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [=](const Context &) { return card(u"today"_s, ready, true, true, Popup::time); }},
        {"reminders-one",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [=](const Context &) {
             QWidget *panel = card(u"upcoming"_s, ready, false);
             state().setReminders({sampleReminders()[2]});
             return panel;
         }},
    };
}

} // namespace kolu::gallery
