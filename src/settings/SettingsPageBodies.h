#pragma once

#include "settings/SettingsPage.h"

class QWidget;

namespace kolu {

class SettingsView;

// The body under a page's header, built when the page is shown; nullptr
// for a page whose body is not built yet (it shows its header alone). A
// page adds one line to the table in the source file.
QWidget *createSettingsPageBody(OrlixSettingsPage page, SettingsView &view, QWidget *parent);

} // namespace kolu
