#pragma once

#include <QWidget>

namespace kolu {

class ElidedLabel;
class OrlixButton;
class OrlixTextField;
class SettingsView;

// Adds, changes and removes the one radio station the user may add. The
// typed name and address and the last message live in the settings window,
// so they survive a change of page; the radio manager checks and stores the
// station.
class CustomRadioStationEditor : public QWidget {
    Q_OBJECT
public:
    explicit CustomRadioStationEditor(SettingsView &view, QWidget *parent = nullptr);

    // Both fields hold more than white space.
    bool isFormComplete() const;
    void save();
    void remove();

private:
    void refresh();

    SettingsView &m_view;
    ElidedLabel *m_badge;
    OrlixTextField *m_name;
    OrlixTextField *m_url;
    OrlixButton *m_save;
    OrlixButton *m_remove;
    ElidedLabel *m_message;
};

} // namespace kolu
