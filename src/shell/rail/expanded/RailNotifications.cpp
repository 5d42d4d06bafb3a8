#include "shell/rail/expanded/RailNotifications.h"

#include "shell/rail/EdgeNotification.h"
#include "shell/rail/expanded/Glide.h"
#include "shell/rules/ExpandedRailGeometry.h"

#include <algorithm>

namespace kolu {

struct RailNotifications::Item {
    EdgeAlertKind kind;
    QPointer<EdgeNotification> widget;
    Glide *presence = nullptr; // 0 away, 1 in place
    bool leaving = false;
    bool menuOpen = false;
};

RailNotifications::RailNotifications(AppState &state, QWidget *host, QWidget *above, Placement placement)
    : QObject(host)
    , m_state(state)
    , m_host(host)
    , m_above(above)
    , m_placement(std::move(placement))
{
}

RailNotifications::~RailNotifications() = default;

void RailNotifications::show(const std::vector<EdgeAlertKind> &kinds, const MotionFor &motionFor)
{
    const auto wanted = [&](EdgeAlertKind kind) { return std::find(kinds.begin(), kinds.end(), kind) != kinds.end(); };
    // Leaving first, so a notification that goes and comes back gets a fresh widget.
    for (const auto &item : m_items) {
        if (item->leaving || wanted(item->kind))
            continue;
        item->leaving = true;
        setMenuOpen(*item, false);
        if (item->widget)
            item->widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        // One that goes at once is collected below, not from inside this loop.
        const Motion *motion = motionFor(item->kind);
        if (motion && item->presence->value() > 0)
            item->presence->moveTo(0, *motion);
    }
    for (const EdgeAlertKind kind : kinds) {
        if (notification(kind))
            continue;
        auto item = std::make_unique<Item>();
        Item *raw = item.get();
        raw->kind = kind;
        raw->widget = new EdgeNotification(kind, m_state, m_host);
        raw->widget->setCoversWhatIsBelow(true); // it may lie over the card
        connect(raw->widget, &EdgeNotification::menuActiveChanged, this,
                [this, raw](bool open) { setMenuOpen(*raw, open); });
        if (m_above)
            raw->widget->stackUnder(m_above);
        const Motion *motion = motionFor(kind);
        raw->presence = new Glide(
            motion ? 0.0 : 1.0, [this, raw] { placeItem(*raw); }, this);
        connect(raw->presence, &Glide::arrived, this, [this, raw] {
            if (raw->leaving && raw->presence->value() == 0)
                finishLeaving(raw);
        });
        m_items.push_back(std::move(item));
        placeItem(*raw);
        raw->widget->show();
        if (motion)
            raw->presence->moveTo(1, *motion);
    }
    // Gone at once: the widget may be inside its own click, so delete it later.
    std::vector<Item *> done;
    for (const auto &item : m_items)
        if (item->leaving && !item->presence->isMoving())
            done.push_back(item.get());
    for (Item *item : done)
        finishLeaving(item);
}

void RailNotifications::place()
{
    for (const auto &item : m_items)
        placeItem(*item);
}

EdgeNotification *RailNotifications::notification(EdgeAlertKind kind) const
{
    for (const auto &item : m_items)
        if (item->kind == kind && !item->leaving)
            return item->widget;
    return nullptr;
}

std::vector<QWidget *> RailNotifications::widgets() const
{
    std::vector<QWidget *> all;
    for (const auto &item : m_items)
        if (item->widget)
            all.push_back(item->widget);
    return all;
}

void RailNotifications::placeItem(Item &item)
{
    if (!item.widget)
        return;
    const double p = item.presence->value();
    const double shift =
        (1 - p) * (item.leaving ? expandedrail::notificationExitOffset : expandedrail::notificationEntryOffset);
    const QRectF rest = m_placement(item.kind);
    item.widget->setGeometry(rest.translated(shift, 0).toRect());
    fadeWhileMoving(item.widget, m_opacity * std::clamp(p, 0.0, 1.0), item.presence->isMoving() || m_opacity < 1);
}

void RailNotifications::setOpacity(double opacity)
{
    if (opacity == m_opacity)
        return;
    m_opacity = opacity;
    for (const auto &item : m_items) {
        if (item->widget)
            fadeWhileMoving(item->widget, m_opacity * std::clamp(item->presence->value(), 0.0, 1.0),
                            item->presence->isMoving() || m_opacity < 1);
    }
}

void RailNotifications::finishLeaving(Item *item)
{
    const auto it = std::find_if(m_items.begin(), m_items.end(), [item](const auto &i) { return i.get() == item; });
    if (it == m_items.end())
        return;
    if (item->widget) {
        item->widget->hide();
        item->widget->deleteLater();
    }
    item->presence->deleteLater();
    m_items.erase(it);
}

void RailNotifications::setMenuOpen(Item &item, bool open)
{
    if (item.menuOpen == open)
        return;
    item.menuOpen = open;
    m_openMenus += open ? 1 : -1;
    if (m_openMenus == (open ? 1 : 0))
        Q_EMIT menuActiveChanged(open);
}

} // namespace kolu
