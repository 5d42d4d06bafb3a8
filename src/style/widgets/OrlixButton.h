#pragma once

#include <QAbstractButton>
#include <QString>

class QVariantAnimation;

namespace kolu {

// The kit's text buttons, label 12 pt bold on a rounded rectangle (radius 9):
//   primary    the theme's fixed fill (the hero colour under heroLight) with
//              the style's primary label colour; 78 % fill while pressed
//   secondary  surfaceRaised with a hairline border and the text colour;
//              70 % fill while pressed
// Both shrink to 97 % about their centre while pressed, easing out over
// 0.12 s each way. An optional symbol goes before the label.
class OrlixButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Kind { primary, secondary };

    OrlixButton(Kind kind, const QString &text, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    void setSymbol(const QString &symbol);
    const QString &symbol() const { return m_symbol; }

    // How far the press has gone, 0 (released) to 1 (pressed), animated.
    qreal pressProgress() const { return m_press; }

    // A shrinkable button may be laid out narrower than its size hint: it
    // drops its symbol first, then ends its label with "…". Off by default.
    // With a minimum scale factor as well, it keeps its symbol while the
    // label fits whole beside it at its smallest, and its minimum width
    // holds the whole label at that scale without the symbol.
    void setShrinkable(bool shrinkable);
    // Whether the symbol is drawn at the current width.
    bool showsSymbol() const;
    // Lets the label shrink to fit a narrower button, down to `factor` of
    // its size, and be cut with "…" past that, the symbol kept; the button
    // then accepts any width its layout gives it. 1 (the default) keeps the
    // label whole.
    void setMinimumScaleFactor(qreal factor);
    qreal minimumScaleFactor() const { return m_minimumScale; }
    // The scale the label is drawn at in the current width, and its text.
    qreal labelScale() const;
    // The narrowest width that draws the whole label at its smallest scale,
    // with or without the symbol beside it.
    int smallestWholeWidth(bool withSymbol) const;
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void animatePress(bool down);
    qreal labelRoom() const;

    Kind m_kind;
    QString m_symbol;
    bool m_shrinkable = false;
    qreal m_press = 0;
    qreal m_minimumScale = 1;
    QVariantAnimation *m_animation;
};

} // namespace kolu
