// The rail window's alpha channel: given at creation where a compositor
// runs, and later, in a window made anew, where one starts after the panel
// was made without.
#include "shell/RailPanel.h"

#include "platform/windowing/PanelWindowing.h"
#include "shell/rules/RailFrame.h"

#include <QBackingStore>
#include <QImage>
#include <QTimer>
#include <QWindow>

namespace kolu {

void RailPanel::setAlphaChannel(bool alpha)
{
    setAttribute(Qt::WA_TranslucentBackground, alpha);
    setAttribute(Qt::WA_NoSystemBackground, alpha);
    // Without one the background is painted here, only where the slide shows.
    setAttribute(Qt::WA_OpaquePaintEvent, !alpha);
}

void RailPanel::becomeTranslucent()
{
    if (m_translucent)
        return;
    m_translucent = true;
    setAlphaChannel(true);
    watchPicture();
    // A window not yet made takes the alpha channel as it is made.
    if (!testAttribute(Qt::WA_WState_Created))
        return;
    // The X window keeps the depth it was made with, and so does the image
    // Qt paints it through: both are made anew. Until the new window has
    // been mapped and painted, a picture of the old one, cut as it was,
    // shows in its place.
    const auto old = static_cast<quint32>(winId());
    if (isVisible() && windowHandle() && windowHandle()->isExposed()) {
        QBackingStore *store = backingStore();
        const auto *image = store ? dynamic_cast<const QImage *>(store->paintDevice()) : nullptr;
        if (image && !image->isNull()) {
            const qreal ratio = devicePixelRatioF();
            const QRegion shape = m_sentShape
                                      ? toDevice(*m_sentShape)
                                      : QRegion(QRect(QPoint(), railframe::deviceRect(geometry(), ratio).size()));
            m_windowing.showStandIn(old, *image, shape);
            m_showsStandIn = true;
            const quint32 generation = ++m_standInGeneration;
            // A window manager that never maps the new window leaves no
            // picture frozen over the screen.
            QTimer::singleShot(kFrameWaitMs, this, [this, generation] {
                if (generation == m_standInGeneration)
                    dropStandIn(true);
            });
        }
    }
    // The new window shows as the old one did: the same hints, states,
    // shapes and place; the content and every connection stay with this
    // widget. Hidden and shown in one go: no event of the window's comes
    // in between, and the views are told of neither.
    const quint32 keyboardOwner = m_keyboardOwner;
    const bool shown = isVisible();
    m_remakesWindow = true;
    hide();
    destroy();
    m_windowing.forget(old);
    m_sentShape.reset();
    m_shapeWanted.reset();
    m_unpainted = QRegion();
    m_unsentPicture = QRegion();
    if (shown)
        showPanel();
    m_remakesWindow = false;
    m_keyboardOwner = keyboardOwner;
}

void RailPanel::dropStandIn(bool anyway)
{
    if (!m_showsStandIn || (!anyway && !(windowHandle() && windowHandle()->isExposed())))
        return;
    m_showsStandIn = false;
    ++m_standInGeneration;
    m_windowing.removeStandIn();
}

} // namespace kolu
