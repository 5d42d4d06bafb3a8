#pragma once

#include "state/AppState.h"

#include <QWidget>

#include <functional>

namespace kolu {

class ElidedLabel;
class OrlixButton;
class OrlixSwitch;

// Where wallpapers come from (the web library or a local folder) and whether
// a wallpaper goes to every display; browsing and setting them is the
// Wallpapers module's.
class WallpapersPage : public QWidget {
    Q_OBJECT
public:
    explicit WallpapersPage(AppState &state, QWidget *parent = nullptr);

    // How the page's Open buttons open a module on the rail; the state's
    // own opening until a host sets one that also holds the rail out.
    void setModuleOpener(std::function<void(RailModule)> open) { m_openModule = std::move(open); }

    // The note beside the switch on desktops that always show one picture on
    // every display; empty elsewhere.
    static QString singlePictureNote();

private:
    void stateChanged(AppState::Field field);
    void updateSource();

    AppState &m_state;
    std::function<void(RailModule)> m_openModule;
    ElidedLabel *m_badge = nullptr;
    OrlixSwitch *m_allDisplays;
    OrlixButton *m_refresh;
    OrlixButton *m_useWeb;
    ElidedLabel *m_sourceLine;
};

} // namespace kolu
