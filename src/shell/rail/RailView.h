#pragma once

#include "shell/rules/CollapsedRailRules.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace kolu {

class AppState;

// The rail panel's root view: one of four layouts by edge and expansion.
// The two collapsed layouts are built here; the expanded ones come from
// factories the expanded rails register, and until one is registered an
// expanded rail shows an empty canvas. Colours come from the style object
// (OrlixStyle), never from the widget palette, so a theme or appearance
// change repaints every layout at once.
class RailView : public QWidget {
    Q_OBJECT
public:
    using LayoutFactory = std::function<QWidget *(AppState &, QWidget *parent)>;

    explicit RailView(AppState &state, QWidget *parent = nullptr);

    // Builds the expanded layout for `layout` (expanded or topExpanded).
    void setExpandedLayoutFactory(RailViewLayout layout, LayoutFactory factory);

    RailViewLayout currentLayout() const { return m_layout; }
    QWidget *content() const { return m_content; }

Q_SIGNALS:
    // A file drag over the handle or a menu of the rail is in progress: the
    // hover hiding waits until it ends, or the rail would slide away under
    // the pointer.
    void interactionActiveChanged(bool active);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void rebuild(bool force);
    void setInteractionActive(bool active);

    AppState &m_state;
    RailViewLayout m_layout = RailViewLayout::dock;
    QPointer<QWidget> m_content;
    LayoutFactory m_expanded;
    LayoutFactory m_topExpanded;
    bool m_interactionActive = false;
};

} // namespace kolu
