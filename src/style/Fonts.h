#pragma once

#include <QFont>
#include <QString>

namespace kolu {

// Fonts of the kit. Sizes are points, drawn as logical pixels.
struct OrlixFonts {
    // The desktop's interface font at `size` and `weight`.
    static QFont system(qreal size, QFont::Weight weight = QFont::Normal);
    // The rounded design where a view asks for it: Linux desktops ship no
    // rounded companion of their interface font, so it is the system font.
    static QFont rounded(qreal size, QFont::Weight weight = QFont::Normal);
    // Same as system() with digits of equal width (timers, day numbers).
    static QFont monospacedDigits(qreal size, QFont::Weight weight = QFont::Normal);

    // Registers the packed display font with the font database (once) and
    // returns the family it registered, empty when it could not be loaded.
    static QString registerDisplayFont();
    // The display font at `size`, or the system font when it is missing.
    static QFont display(qreal size);
};

} // namespace kolu
