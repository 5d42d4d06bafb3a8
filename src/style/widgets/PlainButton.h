#pragma once

#include <QAbstractButton>

namespace kolu {

// A button that draws nothing of its own: its children are its label, and
// what holds it draws the area it covers.
class PlainButton : public QAbstractButton {
    Q_OBJECT
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kolu
