#include "style/widgets/KitPopup.h"

#include "style/MenuLook.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace kolu {

KitPopup::KitPopup(QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    MenuLook &look = MenuLook::install();
    // Only a window not yet made can get see-through corners.
    if (look.composites()) {
        setAttribute(Qt::WA_TranslucentBackground);
        setProperty("koluMenuBlended", true);
    }
    setPalette(menuPalette(menuColors(OrlixStyle::current()), palette()));
    onStyleChange(this, [this] { setPalette(menuPalette(menuColors(OrlixStyle::current()), palette())); });
    repaintOnStyleChange(this);
}

bool KitPopup::roundedCorners() const
{
    return MenuLook::install().roundedCorners(this);
}

void KitPopup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    MenuLook::install().menuStyle()->drawPrimitive(QStyle::PE_PanelMenu, &option, &painter, this);
}

void KitPopup::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kolu
