#include "style/widgets/StyledWidget.h"

#include "style/OrlixStyle.h"

namespace kolu {

void repaintOnStyleChange(QWidget *widget)
{
    QObject::connect(&OrlixStyle::current(), &OrlixStyle::changed, widget, [widget] { widget->update(); });
}

} // namespace kolu
