#pragma once

#include "style/widgets/KitPopup.h"

#include <QStringList>

namespace kolu {

// A list of choices in one column on the menu panel, rows as the menus
// draw theirs (the accent behind the current row, a tick at the choice in
// force). Taller lists scroll
// (wheel, keyboard, a thin thumb at the trailing edge); the current row is
// scrolled into the middle when the list opens. Up and Down move the
// current row, Page Up and Page Down a page, Home and End to the ends;
// Enter, Return or Space choose it, Escape closes.
class ChoicePopup : public KitPopup {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 24;
    static constexpr int kMargin = 5;
    static constexpr int kMostRows = 12; // the tallest it asks to be

    ChoicePopup(const QStringList &choices, int current, QWidget *parent);

    int current() const { return m_current; }
    // How far the rows are scrolled, in pixels.
    int scrollOffset() const { return m_offset; }
    int maximumOffset() const;
    // Where row `index` is drawn now.
    QRect rowRect(int index) const;
    // Brings the current row to the middle (as far as the ends allow).
    void centreCurrent();

    QSize sizeHint() const override;

Q_SIGNALS:
    void chosen(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setCurrent(int index);
    void scrollTo(int offset);
    int rowAt(const QPoint &point) const;
    int visibleRows() const;

    QStringList m_choices;
    int m_current;
    int m_marked; // the choice in force when the list opened, ticked
    int m_offset = 0;
};

} // namespace kolu
