#include "settings/SettingsPageBodies.h"

#include "platform/desktop/UrlOpener.h"
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
#include "state/AppState.h"

#include <QUrl>
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

// A page whose Open buttons go through the window's opener.
template<typename Page>
QWidget *opening(SettingsView &view, Page *page)
{
    page->setModuleOpener([&view](RailModule module) { view.openModule(module); });
    return page;
}

const std::map<OrlixSettingsPage, BodyBuilder> &bodyBuilders()
{
    static const std::map<OrlixSettingsPage, BodyBuilder> builders{
        {OrlixSettingsPage::general, body<SettingsGeneralPage>},
        {OrlixSettingsPage::profile, body<SettingsProfilePage>},
        {OrlixSettingsPage::appearance, body<SettingsAppearancePage>},
        {OrlixSettingsPage::tabs, body<SettingsKoluTabsPage>},
        {OrlixSettingsPage::updates,
         [](SettingsView &view, QWidget *parent) -> QWidget * {
             AppState &state = view.state();
             return new UpdatesPage(
                 view.updateController(), [&state](const QUrl &url) { state.urlOpener().openUrl(url); }, parent);
         }},
        {OrlixSettingsPage::soundscapes,
         [](SettingsView &view, QWidget *parent) -> QWidget * { return new SoundscapesPage(view, parent); }},
        {OrlixSettingsPage::appleApps,
         [](SettingsView &view, QWidget *parent) { return opening(view, new DesktopAppsPage(view.state(), parent)); }},
        {OrlixSettingsPage::wallpapers,
         [](SettingsView &view, QWidget *parent) { return opening(view, new WallpapersPage(view.state(), parent)); }},
        {OrlixSettingsPage::localData,
         [](SettingsView &view, QWidget *parent) {
             return opening(view, new LocalDataPage(view.state(), view.formEntries(), parent));
         }},
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
