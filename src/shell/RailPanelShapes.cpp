// The rail window's shapes: what of it shows and what takes clicks, and
// the order in which new shapes reach the server beside the pictures they
// show.
#include "shell/RailPanel.h"

#include "platform/windowing/PanelWindowing.h"
#include "shell/PictureRegion.h"
#include "shell/rail/DrawnShape.h"
#include "shell/rail/RailTransition.h"
#include "shell/rules/RailFrame.h"
#include "state/AppState.h"

#include <QBackingStore>
#include <QImage>
#include <QPaintEvent>
#include <QVariantAnimation>
#include <QWindow>

#include <functional>
#include <utility>

namespace kolu {

namespace {

// Painted last, above the rail's views: by then this paint's picture is
// whole in the window's backing store, and not yet sent to the server.
class PictureWatch final : public QWidget {
public:
    PictureWatch(QWidget *panel, std::function<void(const QRegion &)> painted)
        : QWidget(panel)
        , m_painted(std::move(painted))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent *event) override { m_painted(event->region()); }

private:
    std::function<void(const QRegion &)> m_painted;
};

} // namespace

void RailPanel::watchPicture()
{
    m_pictureWatch = new PictureWatch(this, [this](const QRegion &painted) { pictureDrawn(painted); });
    m_pictureWatch->setGeometry(rect());
    m_pictureWatch->show();
}

void RailPanel::pictureDrawn(const QRegion &painted)
{
    // Only a paint of the window itself that is about to be sent.
    if (!m_sendsPaint || m_repaintsForShape || m_shapesWindow || !isMoving())
        return;
    // The shape leaves right before the picture, in the same write: the
    // server takes the picture into the parts the shape adds, and takes
    // away what the picture no longer holds as it lands.
    const QRegion wanted = pictureShape();
    if (m_sentShape)
        m_unsentPicture += (wanted - *m_sentShape) - painted;
    m_shapeWanted = wanted;
    m_unpainted = QRegion();
    if (m_sentShape == wanted)
        return;
    m_windowing.holdRequests();
    m_holdsForPicture = true;
    sendShape(wanted);
}

void RailPanel::pictureSent()
{
    if (m_holdsForPicture) {
        m_holdsForPicture = false;
        m_windowing.sendHeld();
    }
    // What an earlier paint put where the shape did not reach yet: the
    // server took none of it then.
    if (!m_unsentPicture.isEmpty()) {
        if (QBackingStore *store = backingStore(); store && windowHandle())
            store->flush(m_unsentPicture, windowHandle());
        m_unsentPicture = QRegion();
    }
}

void RailPanel::setDrawnRegion(const QRegion &region)
{
    if (m_drawnRegion == region)
        return;
    m_drawnRegion = region;
    applyShapes();
}

QRegion RailPanel::drawnRegion() const
{
    const QRect window = windowRect();
    return m_place.toWindow(m_drawnRegion.value_or(QRegion(QRect(QPoint(), m_place.content(window).size()))), window);
}

void RailPanel::setShownRegion(const QRegion &region)
{
    // Kept where it stands in the window: a layout on its way out keeps its
    // place on screen while the content moves under it at a slide's end,
    // before the views say so.
    const QRegion inWindow = region.translated(m_place.content(windowRect()).topLeft());
    if (m_shownRegion == inWindow)
        return;
    m_shownRegion = inWindow;
    applyShapes();
}

QRegion RailPanel::shownRegion() const
{
    // What leaves shows only in the first half of a slide that reveals part
    // of the window: later the slide would cut it down to a sliver, and
    // after it (or after a jump) the window has no room for it.
    const bool firstHalf = m_place.reveal && m_slide->state() == QAbstractAnimation::Running
                           && m_slide->currentTime() * 2 < m_slide->duration();
    const QRegion shown =
        m_shownRegion && firstHalf ? *m_shownRegion & QRegion(m_place.shown(windowRect())) : drawnRegion();
    // What the slide's moving side cuts down to a sliver goes with the rest;
    // ornaments are thin by nature and keep every line of theirs.
    const QRegion ornaments = m_ornamentRegion.isEmpty() ? QRegion() : m_place.toWindow(m_ornamentRegion, windowRect());
    return (m_place.reveal ? picture::withoutSlivers(shown, kLeastSlidWidth) : shown) + ornaments;
}

void RailPanel::setOrnamentRegion(const QRegion &region)
{
    if (m_ornamentRegion == region)
        return;
    m_ornamentRegion = region;
    applyShapes();
}

void RailPanel::setCompositingProbe(std::function<bool()> isCompositing)
{
    m_isCompositing = std::move(isCompositing);
}

void RailPanel::setShapesWindow(bool shapes)
{
    if (shapes == m_shapesWindow)
        return;
    m_shapesWindow = shapes;
    // What blends over the desktop is drawn anew, solid or blended.
    setProperty(drawnshape::shapedWindowProperty, shapes);
    update();
}

bool RailPanel::composited() const
{
    return m_translucent && (!m_isCompositing || m_isCompositing());
}

QRegion RailPanel::toDevice(const QRegion &region) const
{
    const qreal ratio = devicePixelRatioF();
    if (qFuzzyCompare(ratio, 1.0) || region == QRegion(PanelWindowing::wholeAtAnySize()))
        return region;
    // Side by side on the screen, as the window's own frame is placed:
    // what reaches the screen's edge reaches its last device pixel,
    // wherever between two device pixels the window starts.
    const QPoint origin = pos();
    const QPoint deviceOrigin = railframe::deviceRect(geometry(), ratio).topLeft();
    QRegion scaled;
    for (const QRect &r : region)
        scaled += railframe::deviceRect(r.translated(origin), ratio).translated(-deviceOrigin);
    return scaled;
}

QRegion RailPanel::coveringDevicePixels(const QRegion &region) const
{
    if (qFuzzyCompare(devicePixelRatioF(), 1.0))
        return region;
    // The shape rounds to device pixels from the screen's origin, the
    // picture from the window's: where the window starts between two device
    // pixels, a part the shape adds may reach a device pixel past what the
    // picture's rounding of the same part covers. A logical pixel more on
    // every side covers it.
    QRegion grown;
    for (const QRect &r : region)
        grown += r.adjusted(-1, -1, 1, 1);
    return grown & rect();
}

void RailPanel::applyShapes()
{
    if (!testAttribute(Qt::WA_WState_Created) || m_placesContent)
        return;
    // While the panel lets every click through its input region stays empty.
    m_windowing.setInputRegion(static_cast<quint32>(winId()), m_passesClicks ? QRegion() : toDevice(drawnRegion()));
    // The views swap the rail's layouts before the panel is laid out for
    // the swap: until it is, what shows keeps showing, or the layout coming
    // would show in the place of the one still painted there.
    if (m_laidOutExpanded != m_state.isExpanded() && m_sentShape)
        return;
    if (!m_shapesWindow && isMoving())
        followPicture();
    else
        showShape(shownRegion());
}

bool RailPanel::isMoving() const
{
    return isAnimating() || railmotion::MotionActivity::shared().isMoving();
}

void RailPanel::followPicture()
{
    showShape(pictureShape());
}

QRegion RailPanel::pictureShape() const
{
    // Under a compositor, while anything moves, pictures on their way in or
    // out draw where nothing rests, and the views say where things rest a
    // step behind a part that glides: the window shows what its picture
    // holds, as read from the picture itself. Never the window whole: the
    // compositor would blur the desktop behind all of it on every frame,
    // which also holds every other client of the display.
    QBackingStore *store = backingStore();
    const auto *image = store ? dynamic_cast<const QImage *>(store->paintDevice()) : nullptr;
    const QRect shown = m_place.shown(windowRect());
    if (!image || image->isNull() || !isVisible())
        return shownRegion();
    // What the views say they draw or show takes every pixel its picture
    // holds there, however faint; elsewhere only a picture solid enough to
    // be no surface's soft shadow, which shows nothing of the desktop
    // beneath but its blur.
    const qreal ratio = devicePixelRatioF();
    const QRegion surfaces = drawnRegion() | shownRegion();
    const QRegion faint = picture::drawnParts(*image, surfaces.boundingRect() & shown, ratio) & surfaces;
    const QRegion solid = picture::drawnParts(*image, shown, ratio, picture::kDeeperThanShadows);
    // Nor a sliver of it: the edge of what a slide cuts, or of a shadow the
    // views' place for a gliding part still takes in, would stand alone as
    // a line.
    return picture::withoutSlivers((faint | solid) & QRegion(shown), kLeastSlidWidth);
}

void RailPanel::showShape(const QRegion &wanted)
{
    // Parts a shape newly shows hold the desktop, or nothing, until they are
    // painted: they show at once beside all that showed, and what goes
    // waits for the paint that fills them to be sent, so that no frame
    // shows neither what leaves nor what comes.
    m_shapeWanted = wanted;
    const bool paints = isVisible() && updatesEnabled();
    const QRegion added = m_sentShape ? (wanted - *m_sentShape) & rect() : QRegion();
    if (paints && !added.isEmpty()) {
        const bool nothingWaits = m_unpainted.isEmpty();
        m_unpainted += added;
        // A part newly shown holds the desktop until the window's picture
        // reaches it, and the picture must be this one, not what the window
        // last held there (maybe painted for another layout of the rail):
        // painted first, and sent again right behind the shape, where the
        // first sending fell outside the window.
        const QRegion painted = coveringDevicePixels(added);
        m_repaintsForShape = true;
        m_paintedForShape = QRegion();
        repaint(painted);
        m_repaintsForShape = false;
        // Once all it adds is painted, the shape asked for goes whole: what
        // leaves goes in the same write as what comes arrives. Otherwise
        // what leaves stays until the paint that fills the rest.
        const bool whole = nothingWaits && (painted - m_paintedForShape).isEmpty();
        if (whole)
            m_unpainted = QRegion();
        // The shape and that sending leave together, the shape first: the
        // server takes the picture into the parts it adds.
        m_windowing.holdRequests();
        sendShape(whole ? wanted : *m_sentShape | wanted);
        if (QBackingStore *store = backingStore(); store && windowHandle())
            store->flush(painted, windowHandle());
        m_windowing.sendHeld();
        return;
    }
    if (paints && !m_unpainted.isEmpty())
        return;
    m_unpainted = QRegion();
    sendShape(wanted);
}

void RailPanel::sendShape(const QRegion &shape)
{
    m_sentShape = shape;
    m_windowing.setVisibleRegion(static_cast<quint32>(winId()), toDevice(shape));
}

void RailPanel::shapePainted()
{
    if (m_unpainted.isEmpty())
        return;
    m_unpainted = QRegion();
    if (m_shapeWanted && m_sentShape != m_shapeWanted && testAttribute(Qt::WA_WState_Created))
        sendShape(*m_shapeWanted);
}

} // namespace kolu
