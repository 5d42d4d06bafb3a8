#pragma once

#include "model/Enums.h"

#include <QHash>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QBoxLayout;
class QVariantAnimation;

namespace kolu {

class AppState;
class RailIconButton;
class ToolStripButton;

// What the strip's refresh button asks of the state, one call each, in order.
class RailRefreshCalls {
public:
    virtual ~RailRefreshCalls() = default;
    virtual void refreshCalendarEvents() = 0;
    virtual void refreshNowPlaying() = 0;
    virtual void refreshReminders() = 0;
    virtual void refreshTodayWeather(bool force) = 0;
    virtual void refreshNotes(bool force) = 0;
    virtual void refreshPrayerTimesIfNeeded() = 0;
};

// Runs the six refreshes of the refresh button.
void refreshEverything(RailRefreshCalls &calls);

// The expanded side rail's tool strip: a column of module buttons, then the
// minimise, refresh and settings actions, on the rail glass. One selection
// bubble sits behind the open module's button and slides to the next one.
class ExpandedToolStrip : public QWidget {
    Q_OBJECT
public:
    explicit ExpandedToolStrip(AppState &state, QWidget *parent = nullptr);
    ~ExpandedToolStrip() override;

    ToolStripButton *button(RailModule module) const;
    // The module buttons in their order.
    const std::vector<ToolStripButton *> &buttons() const { return m_ordered; }
    // Replaces the state as the receiver of the refresh button's calls.
    void setRefreshCalls(std::unique_ptr<RailRefreshCalls> calls);
    // Where the selection bubble is drawn, in the strip's coordinates.
    QRectF selectionRect() const { return m_bubble; }
    bool selectionAnimating() const;

Q_SIGNALS:
    void settingsRequested();
    // The rings of `button` moved on, started or stopped.
    void ringsChanged(ToolStripButton *button);

protected:
    ExpandedToolStrip(AppState &state, Qt::Orientation axis, QWidget *parent);
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    void rebuildButtons();
    void rebuildActions();
    void arrange();
    void moveSelection(bool animated);
    QRectF targetBubble() const;

    AppState &m_state;
    Qt::Orientation m_axis;
    QBoxLayout *m_buttons = nullptr;
    QBoxLayout *m_actions = nullptr;
    QHash<RailModule, ToolStripButton *> m_buttonFor;
    std::vector<ToolStripButton *> m_ordered;
    std::vector<QWidget *> m_actionButtons;
    QWidget *m_separator = nullptr;
    std::unique_ptr<RailRefreshCalls> m_refresh;
    QVariantAnimation *m_selection = nullptr;
    QRectF m_bubble;
    QRectF m_bubbleFrom;
    double m_bubbleOpacity = 1;
};

// The top rail's strip: the same buttons in a row, then a separator and the
// actions. The bubble scales and fades in at the new button.
class TopExpandedToolStrip : public ExpandedToolStrip {
    Q_OBJECT
public:
    explicit TopExpandedToolStrip(AppState &state, QWidget *parent = nullptr);
};

} // namespace kolu
