#pragma once

#include <QWidget>

namespace kolu {

class OrlixButton;
class SegmentedPicker;
class SettingsRow;
class SettingsView;

// What Kolu keeps on this computer: saved links, captured copies and the
// Tray's held files; how many copies the clipboard history keeps; the web
// search sites; and shortcuts to the links and Tray modules, which go
// through the window's opener.
class LocalDataPage : public QWidget {
    Q_OBJECT
public:
    explicit LocalDataPage(SettingsView &view, QWidget *parent = nullptr);

private:
    void sync();

    SettingsView &m_view;
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
