#include "settings/SettingsPageBodies.h"

#include <QWidget>

#include <functional>
#include <map>

namespace kolu {

namespace {

using BodyBuilder = std::function<QWidget *(SettingsView &, QWidget *)>;

const std::map<OrlixSettingsPage, BodyBuilder> &bodyBuilders()
{
    static const std::map<OrlixSettingsPage, BodyBuilder> builders;
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
