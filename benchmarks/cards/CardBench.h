#pragma once

#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QWidget>

namespace kolu::bench {

// Shows `card` off screen at `width` and the full height of its content, as
// the detail panel's scroll area gives it.
inline void showAtWidth(QWidget &card, int width)
{
    card.setAttribute(Qt::WA_DontShowOnScreen);
    card.resize(width, card.hasHeightForWidth() ? card.heightForWidth(width) : card.sizeHint().height());
    card.show();
}

// Paints what of `card` falls inside `image` (the visible part of the panel).
inline void paintInto(QWidget &card, QImage &image)
{
    if (card.layout())
        card.layout()->activate();
    image.fill(Qt::transparent);
    QPainter painter(&image);
    card.render(&painter, QPoint(), QRegion(image.rect()));
}

} // namespace kolu::bench
