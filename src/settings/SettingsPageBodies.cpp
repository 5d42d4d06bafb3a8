#include "settings/SettingsPageBodies.h"

#include "settings/SettingsView.h"
#include "settings/pages/AppearancePage.h"
#include "settings/pages/DesktopAppsPage.h"
#include "settings/pages/GeneralPage.h"
#include "settings/pages/KoluTabsPage.h"
#include "settings/pages/LocalDataPage.h"
#include "settings/pages/ProfilePage.h"
#include "settings/pages/SoundscapesPage.h"
#include "settings/pages/UpdatesPage.h"
#include "settings/pages/WallpapersPage.h"
#include <QWidget>

#include <functional>
#include <map>

namespace kolu {

namespace {

using BodyBuilder = std::function<QWidget *(SettingsView &, QWidget *)>;

template<typename Page>
QWidget *body(SettingsView &view, QWidget *parent)
{
    return new Page(view, parent);
}

const std::map<OrlixSettingsPage, BodyBuilder> &bodyBuilders()
{
    static const std::map<OrlixSettingsPage, BodyBuilder> builders{
        {OrlixSettingsPage::general, body<SettingsGeneralPage>},
        {OrlixSettingsPage::profile, body<SettingsProfilePage>},
        {OrlixSettingsPage::appearance, body<SettingsAppearancePage>},
        {OrlixSettingsPage::tabs, body<SettingsKoluTabsPage>},
        {OrlixSettingsPage::updates, body<UpdatesPage>},
        {OrlixSettingsPage::soundscapes, body<SoundscapesPage>},
        {OrlixSettingsPage::appleApps, body<DesktopAppsPage>},
        {OrlixSettingsPage::wallpapers, body<WallpapersPage>},
        {OrlixSettingsPage::localData, body<LocalDataPage>},
    };
    return builders;
}

} // namespace

QWidget *createSettingsPageBody(OrlixSettingsPage page, SettingsView &view, QWidget *parent)
{
    const auto &builders = bodyBuilders();
    const auto it = builders.find(page);
    return it == builders.end() ? nullptr : it->second(view, parent);
}

} // namespace kolu
