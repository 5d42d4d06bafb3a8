#pragma once

#include "model/Enums.h"
#include "shell/rail/DrawnShape.h"
#include "shell/rules/ExpandedRailGeometry.h"

#include <QWidget>

namespace kolu {

// The short line and dot that tie the selected module's button to the card.
// It covers the whole canvas, draws in canvas coordinates and lets every
// press through to the canvas. It says what it draws, so that where nothing
// composites the panel the window shows it too.
class FloatingConnector : public QWidget, public DrawnShape {
    Q_OBJECT
public:
    explicit FloatingConnector(QWidget *parent = nullptr);

    // `shows`: whether the button it ties to shows (it draws nothing while
    // that is scrolled out of sight).
    void place(RailModule module, double y, const expandedrail::Canvas &canvas, bool shows = true);
    double y() const { return m_y; }
    bool shows() const { return m_shows; }
    QRegion drawnShape() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    RailModule m_module = RailModule::today;
    double m_y = 0;
    bool m_shows = true;
    expandedrail::Canvas m_canvas;
};

} // namespace kolu
