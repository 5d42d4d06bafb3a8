#pragma once

#include <QColor>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPalette>
#include <QPointer>

#include <functional>

class QStyle;
class QWidget;

namespace kolu {

class OrlixStyle;

// The colours of every pop-up menu and drop-down list, from the current
// theme and scheme. All opaque: a menu floats over whatever lies below it.
struct MenuColors {
    QColor background;
    QColor border;
    QColor text;
    QColor disabledText;
    QColor shortcutText;
    QColor separator;
    QColor highlight; // the theme's accent, behind the row under the pointer
    QColor highlightedText;
};
MenuColors menuColors(const OrlixStyle &style);

// `base` with the menu colours in every colour group.
QPalette menuPalette(const MenuColors &colors, QPalette base = {});

// Dresses every QMenu and combo-box pop-up of the application in the kit's
// look: it watches the application's widgets as they are polished and shown,
// gives menus the kit's menu style (rounded glass-like panel, accent
// highlight, thin separators, tinted symbols) and their palette, and
// repaints the menus it dressed when the theme or scheme changes.
//
// Rounded corners need see-through window corners, which only a compositor
// blends: a menu window is made translucent when the compositing probe says
// a compositor runs as it is first polished, and draws rounded only while
// that still holds; otherwise it is a square panel with a thin border.
// Without a probe (tests, the gallery) the style's glass tier decides.
class MenuLook : public QObject {
    Q_OBJECT
public:
    // Logical size of the symbols in menu rows.
    static constexpr int kIconSize = 16;

    // The application's one menu look, installed on first use (once the
    // QApplication exists, before menus are made); lives until the process
    // ends.
    static MenuLook &install();

    void setCompositingProbe(std::function<bool()> isCompositing);

    // The style given to menus (for tests and pictures of single widgets).
    QStyle *menuStyle() const { return m_style; }

    // A symbol for a menu row: a mask the menu tints with the row's text
    // colour (enabled, disabled, highlighted), so it follows theme changes.
    static QIcon symbolIcon(const QString &symbol);

    // Whether a compositor blends see-through window corners now (asked
    // by the kit's own pop-ups, which round where it does).
    bool composites() const;

    // Whether `menu` is drawn with rounded corners right now.
    bool roundedCorners(const QWidget *menu) const;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MenuLook();
    void dress(QWidget *widget);
    void refresh(QWidget *widget);
    void refreshAll();

    QStyle *m_style = nullptr;
    std::function<bool()> m_isCompositing;
    QList<QPointer<QWidget>> m_dressed;
};

} // namespace kolu
