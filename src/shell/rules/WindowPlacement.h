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

// The client size of a window designed `designed` large on `workArea`: its
// own where the frame fits, else no taller than the area less the frame (the
// window's pages scroll the rest). Never below `minimumHeight`.
QSize fittedClientSize(const QRect &workArea, const QSize &designed, const QMargins &frame, int minimumHeight = 0);

} // namespace kolu::windowplacement
