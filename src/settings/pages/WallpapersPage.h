#pragma once

#include <QWidget>

namespace kolu {

class ElidedLabel;
class OrlixButton;
class OrlixSwitch;
class SettingsView;

// Where wallpapers come from (the web library or a local folder) and whether
// a wallpaper goes to every display; browsing and setting them is the
// Wallpapers module's, which the Open button reaches through the window's
// opener.
class WallpapersPage : public QWidget {
    Q_OBJECT
public:
    explicit WallpapersPage(SettingsView &view, QWidget *parent = nullptr);

    // The note beside the switch on desktops that always show one picture on
    // every display; empty elsewhere.
    static QString singlePictureNote();

private:
    void sync();

    SettingsView &m_view;
    ElidedLabel *m_badge = nullptr;
    OrlixSwitch *m_allDisplays;
    OrlixButton *m_refresh;
    OrlixButton *m_useWeb;
    ElidedLabel *m_sourceLine;
};

} // namespace kolu
