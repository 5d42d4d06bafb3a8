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

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void animatePress(bool down);

    Kind m_kind;
    QString m_symbol;
    qreal m_press = 0;
    QVariantAnimation *m_animation;
};

} // namespace kolu
