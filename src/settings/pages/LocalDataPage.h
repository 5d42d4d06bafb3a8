#pragma once

#include "state/AppState.h"

#include <QWidget>

#include <functional>

namespace kolu {

class OrlixButton;
class SegmentedPicker;
class SettingsRow;
struct SettingsFormEntries;

// What Kolu keeps on this computer: saved links, captured copies and the
// Tray's held files; how many copies the clipboard history keeps; the web
// search sites; and shortcuts to the links and Tray modules.
class LocalDataPage : public QWidget {
    Q_OBJECT
public:
    LocalDataPage(AppState &state, SettingsFormEntries &entries, QWidget *parent = nullptr);

    // How the page's Open buttons open a module on the rail; the state's
    // own opening until a host sets one that also holds the rail out.
    void setModuleOpener(std::function<void(RailModule)> open) { m_openModule = std::move(open); }

private:
    void stateChanged(AppState::Field field);
    void updateCounts();
    void updateLimit();

    AppState &m_state;
    std::function<void(RailModule)> m_openModule;
    SettingsRow *m_linksRow;
    SettingsRow *m_trayRow;
    SegmentedPicker *m_limit;
    OrlixButton *m_clearTray;
};

// The rounded panel the web search section sits on.
class WebSearchPanel : public QWidget {
    Q_OBJECT
public:
    explicit WebSearchPanel(QWidget *content, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kolu
