#include "style/widgets/StyledWidget.h"

#include "style/OrlixStyle.h"

namespace kolu {

void repaintOnStyleChange(QWidget *widget)
{
    onStyleChange(widget, [widget] { widget->update(); });
}

void onStyleChange(QObject *receiver, std::function<void()> restyle)
{
    QObject::connect(&OrlixStyle::current(), &OrlixStyle::changed, receiver, std::move(restyle));
}

} // namespace kolu
