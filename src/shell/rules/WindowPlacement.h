#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace kolu::windowplacement {

// Where the frame of a window `client` large, with the window manager's
// decorations `frame` around it, goes so that the whole frame is centred on
// `workArea`: its top-left corner. A frame taller than the area keeps its
// title bar on it.
QPoint centredFrameOrigin(const QRect &workArea, const QSize &client, const QMargins &frame);

} // namespace kolu::windowplacement
