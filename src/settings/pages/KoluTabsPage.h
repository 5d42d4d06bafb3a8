#pragma once

#include "settings/SettingsKit.h"

#include "model/Enums.h"

#include <QWidget>

#include <map>

namespace kolu {

class AppState;
class ElidedLabel;
class OrlixSwitch;
class SymbolView;
class SettingsView;

// One module's switch row on the Kolu Tabs page: its symbol in its tint,
// its title (shrinking to 0.82 before it is cut) and an amber switch.
class SettingsFeatureToggleRow : public QWidget {
    Q_OBJECT
public:
    SettingsFeatureToggleRow(RailModule module, AppState &state, QWidget *parent = nullptr);

    RailModule module() const { return m_module; }
    OrlixSwitch *toggle() const { return m_switch; }
    SymbolView *symbol() const { return m_symbol; }
    // Reads the switch, its enabling and the today symbol from the state.
    void sync();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    RailModule m_module;
    AppState &m_state;
    SymbolView *m_symbol;
    OrlixSwitch *m_switch;
};

// The Kolu Tabs page: the count of visible modules, a hint and one switch
// per module in two fixed columns, whatever the rail's order.
class SettingsKoluTabsPage : public SettingsPageWidget {
    Q_OBJECT
public:
    SettingsKoluTabsPage(SettingsView &view, QWidget *parent = nullptr);

    // The two columns, top to bottom.
    static const std::vector<RailModule> &firstColumn();
    static const std::vector<RailModule> &secondColumn();

private:
    void sync();

    AppState &m_state;
    ElidedLabel *m_count;
    std::map<RailModule, SettingsFeatureToggleRow *> m_rows;
};

} // namespace kolu
