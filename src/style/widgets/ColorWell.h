#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>

#include <QColorDialog>

namespace kolu {

// A small well showing a colour; clicking it opens a colour dialog without
// an opacity control. Each colour the user points at in the dialog is sent
// at once through colorPicked(); cancelling the dialog sends the colour the
// well had when it opened, so a cancelled pick leaves nothing changed.
class ColorWell : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorWell(QWidget *parent = nullptr);

    const QColor &color() const { return m_color; }
    // Shows `color` without emitting colorPicked().
    void setColor(const QColor &color);

    // The open dialog, if any (tests drive it).
    QColorDialog *dialog() const { return m_dialog; }
    void openDialog();

    QSize sizeHint() const override { return {44, 24}; }

Q_SIGNALS:
    void colorPicked(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void pick(const QColor &color);

    QColor m_color;
    QColor m_colorAtOpen;
    QPointer<QColorDialog> m_dialog;
};

} // namespace kolu
