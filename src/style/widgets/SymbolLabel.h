#pragma once

#include "style/Palette.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace kolu {

class ElidedLabel;
class SymbolView;

// A symbol followed by a text, 6 pt apart, in the text's colour: a palette
// role of the current style (the text kept readable on light surfaces) or a
// fixed colour. The symbol is bold when the font is.
class SymbolLabel : public QWidget {
    Q_OBJECT
public:
    // Where the symbol sits and how large it is drawn.
    enum class Fit {
        // Beside the first line, in a square as tall as a line, a little
        // smaller than the text: for texts that may take several lines.
        firstLine,
        // At the text's size, centred on the line in a square 1.25 times
        // that size.
        line,
        // As `line`, in a square 1.3 times the text's size.
        wideLine,
    };

    SymbolLabel(const QString &text, const QString &symbol, const QFont &font, PaletteRole role = PaletteRole::text,
                Fit fit = Fit::firstLine, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    void setMaximumLines(int lines);
    // An invalid colour goes back to the palette role.
    void setColor(const QColor &color);
    QColor color() const;

    SymbolView *symbolView() const { return m_symbol; }
    ElidedLabel *label() const { return m_label; }

private:
    void applyColor();

    PaletteRole m_role;
    QColor m_fixed;
    SymbolView *m_symbol;
    ElidedLabel *m_label;
};

} // namespace kolu
