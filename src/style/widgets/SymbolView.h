#pragma once

#include "style/IconProvider.h"
#include "style/Palette.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

namespace kolu {

// One symbol drawn centred in its frame. Its colour is fixed, asked for on
// every paint, or a palette role of the current style, and is drawn as the
// style's symbol ink: readable on the surface under it, a card's unless a
// fill is set. A change of style repaints it. It dims while disabled and
// lets the mouse through to what holds it.
class SymbolView : public QWidget {
    Q_OBJECT
public:
    using ColorSource = std::function<QColor()>;

    // Until a frame is set it asks for a square 1.3 times `pointSize` and
    // takes whatever room its layout gives it.
    SymbolView(const QString &symbol, qreal pointSize, QWidget *parent = nullptr);
    // Fixed to `frame` from the start.
    SymbolView(const QString &symbol, qreal pointSize, const QSize &frame, QWidget *parent = nullptr);

    const QString &symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);
    // The symbol and a fixed colour at once.
    void setSymbol(const QString &symbol, const QColor &color);
    qreal pointSize() const { return m_pointSize; }

    void setColor(const QColor &color);
    void setColorSource(ColorSource source);
    void setRole(PaletteRole role);
    // The colour asked for; the next paint draws it as symbol ink.
    QColor color() const;
    // The fill the symbol sits on (a button's, a badge's); invalid for a
    // card's own surface.
    void setSurface(const QColor &fill);

    // Bold unless set otherwise.
    void setWeight(IconWeight weight);
    IconWeight weight() const { return m_weight; }

    // Fixes the widget to `frame`.
    void setFrame(const QSize &frame);

    // Turns the symbol about its centre.
    void setRotation(qreal degrees);
    qreal rotation() const { return m_rotation; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    qreal m_pointSize;
    QColor m_color;
    QColor m_surface;
    ColorSource m_source;
    IconWeight m_weight = IconWeight::bold;
    QSize m_frame;
    qreal m_rotation = 0;
};

} // namespace kolu
