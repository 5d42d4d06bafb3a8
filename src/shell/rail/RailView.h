#pragma once

#include "shell/rules/CollapsedRailRules.h"

#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <array>
#include <functional>

namespace kolu {

class AppState;

// The rail panel's root view: one of four layouts by edge and expansion.
// The two collapsed layouts are built here; the expanded ones come from
// factories the expanded rails register, and until one is registered an
// expanded rail shows an empty canvas. Colours come from the style object
// (OrlixStyle), never from the widget palette, so a theme or appearance
// change repaints every layout at once.
//
// Swapping layouts: at the top edge the opened rail comes in from the top
// edge as it fades in and the collapsed one fades, both on
// railmotion::topExpansion(); at a side edge the two cross-fade on the
// smooth spring. A move
// between a side and the top fades the new layout in on the smooth spring
// (the panel jumps there, so the old one has nowhere to fade).
//
// Each layout is made once and kept, hidden, while another shows: a reveal
// only shows, hides and moves them. The memory release lets go of the
// hidden ones, which are made again when next wanted.
//
// It also tells the panel what it draws: the resting places of what the
// current layout shows, so that what fades away never takes a click; and
// what shows, which holds a layout on its way out too.
class RailView : public QWidget {
    Q_OBJECT
public:
    using LayoutFactory = std::function<QWidget *(AppState &, QWidget *parent)>;

    explicit RailView(AppState &state, QWidget *parent = nullptr);

    // Builds both expanded layouts in place of the ExpandedRail this view
    // makes when no factory is set.
    void setExpandedLayoutFactory(LayoutFactory factory);

    RailViewLayout currentLayout() const { return m_layout; }
    QWidget *content() const { return m_content; }

    // What the current layout draws at rest, in this view's coordinates.
    QRegion drawnRegion() const;
    // What shows now where nothing blends the panel over the desktop: each
    // layout, the current one and one on its way out, from a little before
    // halfway through its fade in until halfway through its fade out.
    QRegion shownRegion() const;
    // What the current layout shows besides, taking no clicks, while it
    // shows whole: rings drawn solid where nothing composites.
    QRegion ornamentRegion() const;

    // Lets go of the layouts kept hidden (the memory release).
    void releaseHiddenLayouts();
    // The layout kept for `layout`, shown or not; null when none is kept.
    QWidget *keptLayout(RailViewLayout layout) const;

Q_SIGNALS:
    // A file drag over the handle or a menu of the rail is in progress: the
    // hover hiding waits until it ends, or the rail would slide away under
    // the pointer.
    void interactionActiveChanged(bool active);
    // What is drawn changed: a layout swap, an item that came or went, a
    // move, a new size.
    void drawnRegionChanged(const QRegion &region);
    void shownRegionChanged(const QRegion &region);
    void ornamentRegionChanged(const QRegion &region);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // `animate`: the swap runs its transitions (not at start-up, nor when
    // a layout is rebuilt in place).
    void rebuild(bool animate);
    QWidget *build(RailViewLayout layout);
    void watch(QWidget *layout);
    // Publishes the regions again when `layout`'s fade passes the point
    // where it starts or stops showing.
    void followFade(QWidget *layout, bool leaving);
    bool isKept(const QObject *object) const;
    void setInteractionActive(bool active);
    void scheduleDrawnRegion();
    void publishDrawnRegion();
    // Only the ornaments changed: the rest stands as published.
    void scheduleOrnamentRegion();
    void publishOrnamentRegion();

    AppState &m_state;
    RailViewLayout m_layout = RailViewLayout::dock;
    QPointer<QWidget> m_content;
    // One of each layout, by RailViewLayout.
    std::array<QPointer<QWidget>, 4> m_layouts;
    // What each layout drew when it began to leave, in its own coordinates:
    // its picture stays as it was on the way out.
    std::array<QRegion, 4> m_leavingShapes;
    LayoutFactory m_expandedFactory;
    bool m_interactionActive = false;
    bool m_regionScheduled = false;
    bool m_ornamentsScheduled = false;
    QRegion m_publishedRegion;
    QRegion m_publishedShown;
    QRegion m_publishedOrnaments;
};

} // namespace kolu
