#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <optional>

namespace kolu {

// The accent of the current theme: a fixed colour for each theme, the hero
// colour under heroLight. Read anew on each call.
QColor themeAccentColor();

// The application icon for the logo, first hit wins: a "KoluLogo.png" in
// `folder` (when that file exists the search ends there, decoded or not),
// then a "KoluIcon.png" or "KoluIcon.svg" there, then the application's own
// window icon. Nothing when none gives an image.
std::optional<QPixmap> settingsLogoImage(const QString &folder, int side, qreal devicePixelRatio);

// The application icon on a 62 pt glass tile, centred in whatever frame the
// caller gives it (58 pt in the sidebar, 78 pt in the onboarding header);
// the monogram "K" when there is no icon. The tile and its shadow may reach
// past the frame: inside a parent they are painted by a companion widget
// above the frame, so nothing is cut at the frame's edges.
class OrlixSettingsLogo : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTileSide = 62;

    // `frame` is the caller's square frame.
    explicit OrlixSettingsLogo(int frame, QWidget *parent = nullptr);

    // Where the icon files are looked for: the installed data folder.
    static QString iconFolder();
    // For the gallery and tests: look in `folder` instead.
    void setIconFolder(const QString &folder);

    bool showsMonogram() const;
    // The monogram's colour: white on the dark tiles; the text colour on
    // the light ones, where white would all but vanish.
    static QColor monogramColor();
    QRectF tileRect() const;

    // Paints the tile, shadow and icon or monogram with the frame's top-left
    // corner at `origin`.
    void paintTile(QPainter &painter, QPointF origin) const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void placeSpill();

    QString m_folder;
    QWidget *m_spill = nullptr; // paints the tile beyond the frame
};

} // namespace kolu
