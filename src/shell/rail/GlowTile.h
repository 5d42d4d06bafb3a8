#pragma once

#include "model/Enums.h"
#include "shell/rail/EdgeAlertPicture.h"
#include "style/GlassProfile.h"

#include <QWidget>

namespace kolu {

// The glass tile with a module symbol in the module's tint that sits on top
// of an alert's or the clipboard pulse's rings (the rings grow out from
// behind it). Clicks pass through to the owner.
class GlowTile : public QWidget {
    Q_OBJECT
public:
    struct Look {
        RailModule module;
        QString symbol;
        QSizeF glass; // the tile's glass, centred in the widget
        OrlixGlassShadow shadow;
        double strokeOpacity;
        double strokeWidth;
    };
    GlowTile(const Look &look, QWidget *parent = nullptr);
    // The tile's glass without its glow, in the parent's coordinates.
    QRegion glassShape() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Look m_look;
    EdgeAlertPicture m_picture;
};

} // namespace kolu
