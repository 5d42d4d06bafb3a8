#include "shell/rules/WindowPlacement.h"

#include <algorithm>

namespace kolu::windowplacement {

QPoint centredFrameOrigin(const QRect &workArea, const QSize &client, const QMargins &frame)
{
    const int w = client.width() + frame.left() + frame.right();
    const int h = client.height() + frame.top() + frame.bottom();
    const int x = workArea.x() + (workArea.width() - w) / 2;
    const int y = workArea.y() + (workArea.height() - h) / 2;
    return {x, std::max(y, workArea.y())};
}

} // namespace kolu::windowplacement
