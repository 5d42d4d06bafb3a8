#pragma once

#include "model/Enums.h"

#include <QHash>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QBoxLayout;
class QScrollArea;
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
    // The side strip's module buttons scroll where the strip is too short
    // for them all: by the wheel, and by a drag that starts on a button.
    QScrollArea *moduleList() const { return m_list; }
    bool isModuleListScrolling() const { return m_listScrolls; }
    // How far the open module's button stands below its place at rest,
    // while the list is scrolled by hand (0 where it does not scroll), and
    // whether it shows in the list (its middle inside what the list shows):
    // the card's connector follows it, and goes while it is out of sight.
    int selectionScrollShift() const;
    bool selectionShows() const;

Q_SIGNALS:
    void settingsRequested();
    // The module list scrolled: its buttons moved.
    void moduleListScrolled();
    // The rings of `button` moved on, started or stopped.
    void ringsChanged(ToolStripButton *button);

protected:
    ExpandedToolStrip(AppState &state, Qt::Orientation axis, QWidget *parent);
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuildButtons();
    void rebuildActions();
    void arrange();
    void moveSelection(bool animated);
    QRectF targetBubble() const;
    void listScrolled();
    void scrollToSelection();
    // Where the list rests for the open module's button (see scrollToSelection).
    std::optional<int> restingScroll() const;
    bool dragList(QWidget *button, QEvent *event);

    AppState &m_state;
    Qt::Orientation m_axis;
    QBoxLayout *m_buttons = nullptr;
    QScrollArea *m_list = nullptr;
    QWidget *m_listColumn = nullptr;
    QWidget *m_fadeTop = nullptr;
    QWidget *m_fadeBottom = nullptr;
    bool m_listScrolls = false;
    int m_listShown = 0;   // buttons the list shows whole
    double m_listStep = 0; // from one button to the next
    // A press on a module button that may become a drag of the list.
    std::optional<QPointF> m_dragFrom;
    int m_dragStartValue = 0;
    bool m_dragging = false;
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
