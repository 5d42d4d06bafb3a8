#include "SettingsViews.h"
#include "platform/net/backend/QtNetwork.h"

#include "GalleryState.h"
#include "KitViews.h"
#include "ManualClock.h"

#include "model/UserDefaults.h"
#include "services/info/OrlixUpdateController.h"
#include "settings/SettingsLogo.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "settings/onboarding/OnboardingView.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"

#include <QCoreApplication>
#include <QVariantAnimation>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

struct Updates {
    QtNetwork network;
    OrlixUpdateController controller{network, state().defaults(), std::nullopt, clock()};
};
Updates *updates = nullptr;

OrlixUpdateController &updateController()
{
    if (!updates) {
        updates = new Updates;
        // Goes before the shared state it reads (routines run last-added first).
        qAddPostRoutine([] {
            delete updates;
            updates = nullptr;
        });
    }
    return updates->controller;
}

// The window reads its look from the state's defaults: give them the look
// the gallery draws.
void copyLook(const Context &context)
{
    UserDefaults &defaults = state().defaults();
    defaults.set(SettingsKey::orlixTheme, rawValue(context.style.theme()));
    defaults.set(SettingsKey::orlixAppearanceMode,
                 context.style.colorScheme() == ColorScheme::dark ? u"dark"_s : u"light"_s);
}

// Pictures show the end of every page change.
void settle(QWidget *widget)
{
    // Laid out as shown, scroll bars included.
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->show();
    QCoreApplication::processEvents();
    for (auto *animation : widget->findChildren<QVariantAnimation *>())
        animation->setCurrentTime(animation->totalDuration());
}

QWidget *settingsWindow(const Context &context, OrlixSettingsPage page)
{
    copyLook(context);
    auto *view = new SettingsView(state(), updateController());
    view->setSelectedPage(page);
    settle(view);
    return view;
}

QWidget *onboardingPage(int index)
{
    auto *view = new OnboardingView([] {});
    auto *next = view->findChild<OrlixButton *>(u"onboardingPrimary"_s);
    for (int i = 0; i < index; ++i)
        next->click();
    settle(view);
    return view;
}

QWidget *rowKit()
{
    const OrlixStyle &style = OrlixStyle::current();
    auto *column = new QWidget;
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);

    auto *card = new SettingsSectionCard;
    card->contentLayout()->addWidget(settingLine(u"Reminder alerts"_s, u"Show an edge alert when a reminder is due."_s,
                                                 u"bell"_s, style.tint(RailModule::reminders)));
    card->contentLayout()->addWidget(new SettingsDivider);
    card->contentLayout()->addWidget(
        settingLine(u"Calendar sound"_s,
                    u"Played for event alerts. A long detail wraps onto a second line and stops there with an "
                    "ellipsis when it runs longer still."_s,
                    u"calendar"_s, style.tint(RailModule::calendar)));
    layout->addWidget(new SettingsGroup(u"Audio"_s, card));

    auto *rows = new QWidget;
    auto *rowsLayout = new QVBoxLayout(rows);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->setSpacing(10);
    rowsLayout->addWidget(settingsStatusRow(u"Calendar folder"_s,
                                            u"Events from ~/.local/share/calendars, read 2 minutes ago."_s,
                                            u"calendar"_s, style.tint(RailModule::calendar)));
    rowsLayout->addWidget(permissionActionRow(
        u"Reminders"_s, u"Choose the folder your reminders are kept in."_s, u"checklist"_s,
        style.tint(RailModule::reminders), u"Choose"_s, [] {}, [] {}));
    auto *info = new SettingsInfoCard;
    auto *logo = new OrlixSettingsLogo(78);
    info->contentLayout()->addWidget(logo, 0, Qt::AlignHCenter);
    rowsLayout->addWidget(info);
    layout->addWidget(new SettingsGroup(u"System Access"_s, rows));
    return column;
}

} // namespace

std::vector<View> settingsViews()
{
    std::vector<View> views;
    views.push_back({"settings-rows", {520, 560}, false, [](const Context &) { return onPanel(rowKit(), 24); }});
    static const auto names = [] {
        std::vector<std::string> all;
        for (OrlixSettingsPage page : allCases<OrlixSettingsPage>())
            all.push_back("settings-" + rawValue(page).toStdString());
        return all;
    }();
    for (OrlixSettingsPage page : allCases<OrlixSettingsPage>())
        views.push_back({names[std::size_t(page)].c_str(),
                         {SettingsView::kWidth, SettingsView::kHeight},
                         false,
                         [page](const Context &context) { return settingsWindow(context, page); }});
    static const char *const onboardingNames[] = {"onboarding-1", "onboarding-2", "onboarding-3", "onboarding-4",
                                                  "onboarding-5"};
    for (int index = 0; index < 5; ++index)
        views.push_back(
            {onboardingNames[index], {OnboardingView::kSide, OnboardingView::kSide}, false, [index](const Context &) {
                 return onboardingPage(index);
             }});
    return views;
}

} // namespace kolu::gallery
