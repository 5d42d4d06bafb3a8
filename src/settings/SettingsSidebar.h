#pragma once

#include "settings/SettingsPage.h"

#include <QAbstractButton>
#include <QWidget>

#include <map>

class QVariantAnimation;

namespace kolu {

// One page's button: its symbol and title, on a raised rounded fill while
// its page is shown.
class SettingsSidebarButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit SettingsSidebarButton(OrlixSettingsPage page, QWidget *parent = nullptr);
    OrlixSettingsPage page() const { return m_page; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    // How much of the selected row's highlight shows, 0 to 1: it fades in
    // and out with the content swap when the selection moves on screen.
    qreal highlight() const { return m_highlight; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OrlixSettingsPage m_page;
    bool m_selected = false;
    qreal m_highlight = 0;
    QVariantAnimation *m_fade = nullptr;
};

// The left column: the logo and name, then the three titled groups of page
// buttons in a scrolling list.
class SettingsSidebar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 225;

    explicit SettingsSidebar(QWidget *parent = nullptr);
    void setSelectedPage(OrlixSettingsPage page);
    SettingsSidebarButton *button(OrlixSettingsPage page) const;

Q_SIGNALS:
    void pageChosen(OrlixSettingsPage page);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::map<OrlixSettingsPage, SettingsSidebarButton *> m_buttons;
};

} // namespace kolu
