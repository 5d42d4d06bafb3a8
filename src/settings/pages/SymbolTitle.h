#pragma once

#include "style/Palette.h"

#include <QWidget>

namespace kolu {

class ElidedLabel;

// A symbol and a bold title side by side in one palette role, as the
// headers of the audio page and of its station editor show them.
class SymbolTitle : public QWidget {
    Q_OBJECT
public:
    SymbolTitle(const QString &symbol, const QString &title, qreal pointSize, PaletteRole role,
                QWidget *parent = nullptr);
    ElidedLabel *label() const { return m_label; }

private:
    ElidedLabel *m_label;
};

} // namespace kolu
