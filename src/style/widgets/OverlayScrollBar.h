#pragma once

#include <QPointer>
#include <QWidget>

class QAbstractScrollArea;
class QScrollBar;

namespace kolu {

// The kit's thin scroll bar: a rounded thumb in the theme's secondary text
// colour, with no arrows and no groove, laid over the trailing edge of a
// scroll area's viewport. It takes no room from the content, so a page is
// as wide whether it scrolls or not. It drives the area's own (hidden)
// vertical scroll bar: dragging the thumb moves the content, a press beside
// it pages, the wheel scrolls the area. Hidden while there is nothing to scroll.
class OverlayScrollBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 10; // the strip that takes the pointer
    static constexpr int kThumb = 5;  // the thumb, wider while hovered
    static constexpr int kMinThumb = 28;

    // Lays a thin bar over `area`, whose stock vertical bar is hidden.
    static OverlayScrollBar *attach(QAbstractScrollArea *area);

    // The thumb's rectangle, in this widget's coordinates.
    QRect thumbRect() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    explicit OverlayScrollBar(QAbstractScrollArea *area);
    void follow();

    // The area's viewport, not the area: while the area is torn down its
    // viewport still sends events here, when the area is no longer one.
    QPointer<QWidget> m_viewport;
    QScrollBar *m_bar;
    int m_dragOffset = -1; // pointer's distance from the thumb's top while dragging
    bool m_hovered = false;
};

} // namespace kolu
