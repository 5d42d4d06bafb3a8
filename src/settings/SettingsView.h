#pragma once

#include "model/Enums.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsViewSettings.h"
#include "style/Theme.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QScrollArea;
class QVariantAnimation;
class QVBoxLayout;

namespace kolu {

class AppState;
class ElidedLabel;
class OrlixUpdateController;
class SettingsSidebar;

// The form entries the pages share while the window lives; hiding and
// showing the window keeps them.
struct SettingsFormEntries {
    QString searchText;
    QString newSearchProviderTitle;
    QString newSearchProviderTemplate;
    QString customRadioName;
    QString customRadioStreamURL;
    QString customRadioMessage;
    bool customRadioMessageIsError = false;
};

// The settings window: a fixed 860 x 640 pt window titled "Kolu Settings",
// the sidebar of nine pages on the left and the selected page under its
// large title on the right. It draws in its own colour scheme (the theme's,
// else the appearance mode's, else the system's) and starts on General.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 860;
    static constexpr int kHeight = 640;

    SettingsView(AppState &state, OrlixUpdateController &updateController, QWidget *parent = nullptr);
    ~SettingsView() override;

    AppState &state() const { return m_state; }
    OrlixUpdateController &updateController() const { return m_updateController; }
    SettingsViewSettings &viewSettings() { return m_settings; }
    SettingsFormEntries &formEntries() { return m_entries; }

    OrlixSettingsPage selectedPage() const { return m_page; }
    void setSelectedPage(OrlixSettingsPage page);

    // The scheme the window asks for; nothing means it follows the system.
    std::optional<ColorScheme> preferredColorScheme() const { return m_settings.preferredColorScheme(); }
    // The scheme the window is drawn in.
    ColorScheme colorScheme() const;

    // Fills the custom station entries from the saved custom station; with
    // none saved they keep what was typed.
    void loadCustomRadioDraft();

    // Opens `module` on the rail from a page's Open button; this window stays
    // open. The host's opener also holds the rail out; without one the
    // state opens the module as it would anywhere.
    void setModuleOpener(std::function<void(RailModule)> open);
    void openModule(RailModule module);

    // The content column's widest extent for the shown page.
    int contentMaximumWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showPage(bool animated);
    void applyLook();

    AppState &m_state;
    OrlixUpdateController &m_updateController;
    SettingsViewSettings m_settings;
    SettingsFormEntries m_entries;
    std::function<void(RailModule)> m_openModule;
    OrlixSettingsPage m_page = OrlixSettingsPage::general;
    SettingsSidebar *m_sidebar;
    QScrollArea *m_scroll;
    QWidget *m_column;
    ElidedLabel *m_header;
    QVBoxLayout *m_columnLayout;
    QPointer<QWidget> m_body;
    QVariantAnimation *m_swap;
    qreal m_fade = 0;
    QWidget *m_fadeCover;
};

} // namespace kolu
