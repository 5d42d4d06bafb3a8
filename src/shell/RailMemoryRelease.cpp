#include "shell/RailMemoryRelease.h"

#include "services/images/ImageLoader.h"
#include "model/Clock.h"
#include "state/AppState.h"
#include "style/IconProvider.h"
#include "style/LiquidGlassSurface.h"
#include "style/PanelPicture.h"

#include <QPixmapCache>

#include <malloc.h>

using namespace Qt::StringLiterals;

namespace kolu {

RailMemoryRelease::RailMemoryRelease(AppState &state, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_timer(clock.createTimer(this))
{
    connect(m_timer, &ClockTimer::timeout, this, &RailMemoryRelease::release);
    connect(&state, &AppState::expandedChanged, this, &RailMemoryRelease::follow);
}

bool RailMemoryRelease::isPending() const
{
    return m_timer->isActive();
}

void RailMemoryRelease::cancel()
{
    m_timer->stop();
}

void RailMemoryRelease::follow()
{
    if (m_state.isExpanded())
        m_timer->stop();
    else
        m_timer->start(kDelay, false);
}

void RailMemoryRelease::release()
{
    m_timer->stop();
    Q_EMIT releasing();
    // The collapsed rail's own few surfaces are painted again on its next
    // repaint; everything else here belonged to the opened rail's views.
    LiquidGlassSurface::clearCache();
    PanelPicture::clearCache();
    IconProvider::clearCache();
    QPixmapCache::clear();
    // The cards' decoded pictures, the tray's thumbnails among them.
    if (auto *loader = m_state.findChild<ImageLoader *>(u"imageLoader"_s, Qt::FindDirectChildrenOnly))
        loader->clearCache();
    // What the views and the caches freed stays with the allocator until
    // it is trimmed.
    malloc_trim(0);
    ++m_releases;
}

} // namespace kolu
