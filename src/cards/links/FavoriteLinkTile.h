#pragma once

#include "model/Records.h"

#include <QAbstractButton>
#include <QPixmap>
#include <QWidget>

#include <optional>
#include <vector>

namespace kolu {

class AppState;
class ShrinkLabel;

// A link's square icon, 52 x 52: its brand image inset by 10, in its brand
// colour (shaded where the look needs it) on a faint tint of that colour, or
// a one- or two-letter monogram on a colour picked from its name.
class LargeLinkIcon : public QWidget {
    Q_OBJECT
public:
    explicit LargeLinkIcon(const SavedLink &link, QWidget *parent = nullptr);

    const SavedLink &link() const { return m_link; }
    QString monogram() const;
    // The brand colour as drawn when the brand image shows, else the colour
    // picked from the name.
    QColor iconColor() const;
    // Whether the brand image is drawn instead of the monogram.
    bool showsBrandImage() const;
    // The monogram's point size: 20 for two characters, 24 for one.
    qreal monogramPointSize() const;

    static constexpr int side = 52;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<QColor> listedBrandColor() const;
    QPixmap brandPixmap(const QImage &image, const QSizeF &size, qreal devicePixelRatio, const QColor &color) const;

    SavedLink m_link;
    mutable QPixmap m_brandPixmap;     // the brand image at the size and colour last drawn
    mutable QColor m_brandPixmapColor; // invalid: drawn in the file's own colours
};

// One favourite: the icon above its one-line name on a raised tile. A click
// opens the site (only http and https addresses); the context menu copies
// the address or deletes the link.
class FavoriteLinkTile : public QAbstractButton {
    Q_OBJECT
public:
    FavoriteLinkTile(AppState &state, const SavedLink &link, QWidget *parent = nullptr);

    const SavedLink &link() const { return m_link; }
    QString name() const;

    void open();
    void copyURL();
    void deleteLink();

    // Every tile is this high: padding, icon, gap and one line of name.
    static int preferredHeight();
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    AppState &m_state;
    SavedLink m_link;
    LargeLinkIcon *m_icon;
    ShrinkLabel *m_name;
};

// The favourites as a grid: as many columns of tiles at least 78 wide as fit,
// 10 apart, rows 10 apart; its height follows its width.
class FavoriteLinkGrid : public QWidget {
    Q_OBJECT
public:
    FavoriteLinkGrid(AppState &state, QWidget *parent = nullptr);

    void setLinks(const std::vector<SavedLink> &links);
    const std::vector<FavoriteLinkTile *> &tiles() const { return m_tiles; }
    int columns() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeTiles();

    AppState &m_state;
    std::vector<FavoriteLinkTile *> m_tiles;
};

} // namespace kolu
