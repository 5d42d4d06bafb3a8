#pragma once

#include <QWidget>

namespace kolu {

// A pop-up window of the kit (month, list of choices) on the panel of the
// application's menus: the menu colours, a thin border, rounded where a
// compositor blends the corners and square otherwise. It closes on Escape
// or a press outside, and deletes itself when closed.
class KitPopup : public QWidget {
    Q_OBJECT
public:
    explicit KitPopup(QWidget *parent);

    // Whether the panel is drawn with rounded corners.
    bool roundedCorners() const;

protected:
    // Paints the panel; subclasses paint their content over it.
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace kolu
