#pragma once

#include <QColor>
#include <QWidget>

class QVariantAnimation;

namespace kolu {

// A small busy indicator: twelve spokes whose brightness runs round once a
// second. It animates only while visible.
class SmallSpinner : public QWidget {
    Q_OBJECT
public:
    explicit SmallSpinner(QWidget *parent = nullptr, int diameter = 16);

    // Colour of the spokes; invalid means the style's secondary text colour.
    void setColor(const QColor &color);
    bool isAnimating() const;
    // The spoke drawn brightest, 0...11.
    int phase() const { return m_phase; }

    QSize sizeHint() const override { return {m_diameter, m_diameter}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    int m_diameter;
    int m_phase = 0;
    QColor m_color;
    QVariantAnimation *m_animation;
};

} // namespace kolu
