#pragma once

#include "settings/SettingsKit.h"

#include <QString>
#include <QWidget>

namespace kolu {

class AppState;
class OrlixSlider;
class OrlixSwitch;
class SegmentedPicker;
class SettingsDivider;
class SettingsRow;
class SettingsView;
class ElidedLabel;

// The General page: the "Application" card (name, developer, a summary of
// the rail's set-up and the rail's controls) and the "Quick Actions" card.
// Every control reads and writes the state; the page holds nothing itself.
class SettingsGeneralPage : public SettingsPageWidget {
    Q_OBJECT
public:
    SettingsGeneralPage(SettingsView &view, QWidget *parent = nullptr);

    // "10 visible tabs • Right Middle • 100% • 4s menu hold".
    static QString summaryLine(const AppState &state);
    // The menu hold as the page shows it: whole seconds within 1 to 10.
    static int shownHoldSeconds(double storedSeconds);

private:
    QWidget *buildApplicationSection();
    QWidget *buildMenuHoldControl();
    QWidget *buildMinimizeRow();
    QWidget *buildQuickActionsSection();
    void connectRailControls();
    void sync();

    SettingsView &m_view;
    SettingsRow *m_summary;
    SegmentedPicker *m_edge;
    SegmentedPicker *m_position;
    QWidget *m_positionRow;
    SettingsDivider *m_positionDivider;
    SegmentedPicker *m_size;
    OrlixSlider *m_hold;
    ElidedLabel *m_holdText;
    OrlixSwitch *m_minimize;
};

} // namespace kolu
