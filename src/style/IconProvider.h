#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

namespace kolu {

// Stroke weight of an icon. Names ending in ".fill" are always drawn filled.
enum class IconWeight { regular, bold };

// Draws the program's symbols by name ("sun.max", "checkmark.circle.fill",
// ...) from the packed icon set, recoloured at paint time. Each recoloured
// rendering is cached per name, weight, pixel size, colour and device
// pixel ratio. "exclamationmark", ".2" and ".3" are one, two or three bold
// exclamation marks. An unknown name draws nothing.
class IconProvider {
public:
    // Every symbol name the table knows, sorted.
    static QStringList symbolNames();
    static bool hasSymbol(const QString &symbol);

    // The packed icon file drawn for `symbol` in `weight` (a resource path),
    // empty for an unknown name. Filled names give the filled file.
    static QString iconFile(const QString &symbol, IconWeight weight = IconWeight::regular);

    // The icon square `size` logical pixels wide in `color`, at `devicePixelRatio`.
    static QPixmap pixmap(const QString &symbol, qreal size, const QColor &color, qreal devicePixelRatio,
                          IconWeight weight = IconWeight::regular);

    // Paints the symbol centred in `rect` at point size `size` (as a symbol
    // font of that size would: its square is a little larger), crisp at the
    // painter's device scale.
    static void paint(QPainter &painter, const QRectF &rect, const QString &symbol, qreal size, const QColor &color,
                      IconWeight weight = IconWeight::regular);

    // Drops the rendered icons and the parsed icon files; they are made
    // again when next drawn.
    static void clearCache();
};

} // namespace kolu
