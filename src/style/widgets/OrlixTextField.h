#pragma once

#include <QLineEdit>
#include <QTextEdit>

namespace kolu {

// The kit's one-line text field: 13 pt medium in the text colour, padding
// 10 x 8, on innerShade in a rounded rectangle (radius 9) with a hairline
// border (45 %, 0.8 wide). The placeholder uses mutedText.
//
// A bare field draws only its text, for a control that draws the frame
// around the field and its own buttons: no frame, no padding, and the
// desktop's selection colours.
class OrlixTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit OrlixTextField(QWidget *parent = nullptr);

    void setBare(bool bare);
    bool isBare() const { return m_bare; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyStyle();

    bool m_bare = false;
};

// The same look for several lines of text (notes, composers).
class OrlixTextArea : public QTextEdit {
    Q_OBJECT
public:
    explicit OrlixTextArea(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyStyle();
    void followParagraphDirections();
};

// Paints the field background shared by both: fill and hairline border.
void paintTextFieldFrame(QPainter &painter, const QRectF &rect);

} // namespace kolu
