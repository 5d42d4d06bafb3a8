#pragma once

#include "shell/rules/CollapsedRailRules.h"

#include <QObject>
#include <QPointer>
#include <QRectF>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace kolu {

class AppState;
class EdgeNotification;
class Glide;
struct Motion;

// The edge notifications an expanded rail shows beside its card. Each one
// enters from 14 points to the right and leaves 8 points to the right,
// fading, and is deleted once it has left; a notification that leaves takes
// no more clicks. The host says where each one rests.
class RailNotifications : public QObject {
    Q_OBJECT
public:
    using Placement = std::function<QRectF(EdgeAlertKind)>;
    // What motion a kind comes and goes with; null: it appears and goes at once.
    using MotionFor = std::function<const Motion *(EdgeAlertKind)>;

    // New notifications are children of `host`, stacked under `above`.
    RailNotifications(AppState &state, QWidget *host, QWidget *above, Placement placement);
    ~RailNotifications() override;

    // Shows exactly `kinds`: new ones enter, missing ones leave.
    void show(const std::vector<EdgeAlertKind> &kinds, const MotionFor &motionFor);
    // Puts every notification where the placement says, offset by its motion.
    void place();
    // Fades every notification further by `opacity` (the host's own fade);
    // 1 leaves them as their motions have them.
    void setOpacity(double opacity);

    // The notification of `kind` that is shown (not leaving), else null.
    EdgeNotification *notification(EdgeAlertKind kind) const;
    // Every notification widget alive, leaving ones included.
    std::vector<QWidget *> widgets() const;

Q_SIGNALS:
    // A menu of one of the notifications opened or closed.
    void menuActiveChanged(bool active);

private:
    struct Item;
    void placeItem(Item &item);
    void finishLeaving(Item *item);
    void setMenuOpen(Item &item, bool open);

    AppState &m_state;
    QPointer<QWidget> m_host;
    QPointer<QWidget> m_above;
    Placement m_placement;
    std::vector<std::unique_ptr<Item>> m_items;
    int m_openMenus = 0;
    double m_opacity = 1.0;
};

} // namespace kolu
