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

QSize fittedClientSize(const QRect &workArea, const QSize &designed, const QMargins &frame, int minimumHeight)
{
    const int room = workArea.height() - frame.top() - frame.bottom();
    return {designed.width(), std::max(std::min(designed.height(), room), minimumHeight)};
}

} // namespace kolu::windowplacement
