#include "shell/RailPanel.h"

#include "platform/windowing/PanelWindowing.h"
#include "platform/x11/WindowActivation.h"
#include "shell/RailFrameState.h"
#include "shell/rail/DrawnShape.h"
#include "shell/rail/RailTransition.h"
#include "state/AppState.h"

#include <QApplication>
#include <QEasingCurve>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVariantAnimation>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// Used when no screen can be found at all.
const QRect kFallbackFrame(0, 0, 1440, 900);

QRect screenFrame(const QScreen *screen)
{
    return screen ? screen->availableGeometry() : QRect();
}

Qt::Edge screenEdge(RailEdge edge)
{
    switch (edge) {
    case RailEdge::left: return Qt::LeftEdge;
    case RailEdge::right: return Qt::RightEdge;
    case RailEdge::top: break;
    }
    return Qt::TopEdge;
}

} // namespace

RailPanel::RailPanel(AppState &state, PanelWindowing &windowing, bool translucent, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint)
    , m_state(state)
    , m_windowing(windowing)
    , m_lastLayoutEdge(state.railEdge())
    , m_translucent(translucent)
    , m_shapesWindow(!translucent)
{
    setObjectName(u"railPanel"_s);
    setProperty(drawnshape::shapedWindowProperty, m_shapesWindow);
    setWindowTitle(u"Kolu Rail"_s);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAlphaChannel(translucent);
    // Until the rail's views arrive the panel holds an empty, clear area.
    auto *empty = new QWidget(this);
    empty->setObjectName(u"railContent"_s);
    if (translucent)
        watchPicture();
    setContent(empty);

    m_creationFrame = screenFrame(QGuiApplication::primaryScreen());
    if (m_creationFrame.isEmpty())
        m_creationFrame = kFallbackFrame;
    m_place.rest = railframe::frame(railFrameInput(state), m_creationFrame);
    setMinimumSize(1, 1);
    setGeometry(roomFor(m_place.rest));
    placeContent();

    m_slide = new QVariantAnimation(this);
    m_slide->setDuration(kSlideDurationMs);
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.2, 0.82), QPointF(0.18, 1.0), QPointF(1.0, 1.0));
    m_slide->setEasingCurve(curve);
    // Only a running slide shows its frames: setting the next slide's ends
    // on one that has stopped gives the value at its old time, the end.
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        if (m_slide->state() != QAbstractAnimation::Running)
            return;
        const QRect frame = value.toRect();
        // Blended, every new shape has the compositor blend (and blur
        // behind) the whole part shown anew: the slide's slow tail shows in
        // steps of a few pixels, not one a frame.
        if (composited() && m_place.reveal
            && !railframe::slideStepShows(*m_place.reveal, frame.translated(-pos()) & rect(),
                                          m_slideEnd.translated(-pos()) & rect(), kLeastBlendedSlideStep))
            return;
        showSlideFrame(frame);
    });
    connect(m_slide, &QVariantAnimation::finished, this, &RailPanel::endSlide);
    connect(&railmotion::MotionActivity::shared(), &railmotion::MotionActivity::movingChanged, this, [this] {
        if (!m_shapesWindow)
            applyShapes();
    });

    for (QScreen *screen : QGuiApplication::screens())
        watchScreen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watchScreen(screen);
        relayout();
    });
    // Runs after Qt has moved the panel off the screen that goes.
    connect(qApp, &QGuiApplication::screenRemoved, this,
            [this] { QMetaObject::invokeMethod(this, &RailPanel::relayout, Qt::QueuedConnection); });
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &RailPanel::relayout);
    qApp->installEventFilter(this);
}

RailPanel::~RailPanel()
{
    qApp->removeEventFilter(this);
    if (m_showsStandIn)
        m_windowing.removeStandIn();
    // The views' motions end as the views go, after this panel has gone.
    disconnect(&railmotion::MotionActivity::shared(), nullptr, this, nullptr);
}

void RailPanel::watchScreen(QScreen *screen)
{
    connect(screen, &QScreen::availableGeometryChanged, this, &RailPanel::relayout);
    connect(screen, &QScreen::geometryChanged, this, &RailPanel::relayout);
}

void RailPanel::setContent(QWidget *content)
{
    if (!content || content == m_content)
        return;
    if (m_content)
        m_content->deleteLater();
    m_content = content;
    content->setParent(this);
    content->setAutoFillBackground(false);
    placeContent();
    content->show();
    if (m_pictureWatch)
        m_pictureWatch->raise();
}

void RailPanel::showPanel()
{
    // The window type and states must be on the window before the window
    // manager first sees it.
    const WId id = winId();
    m_windowing.prepare(static_cast<quint32>(id));
    m_passesClicks = !railframe::passesClicksThrough(railFrameInput(m_state));
    m_acceptsFocus = !m_state.isExpanded();
    m_laidOutExpanded = m_state.isExpanded();
    applyInputPolicy();
    show();
    m_windowing.requestStates(static_cast<quint32>(id));
    m_windowing.keepContentAt(static_cast<quint32>(id), screenEdge(m_state.railEdge()));
    placeInDevicePixels();
    setShapesWindow(!composited());
    applyShapes();
}

QRect RailPanel::visibleFrame() const
{
    const QWindow *window = windowHandle();
    QScreen *screen = window ? window->screen() : nullptr;
    if (!QGuiApplication::screens().contains(screen))
        screen = QGuiApplication::primaryScreen();
    const QRect frame = screenFrame(screen);
    return frame.isEmpty() ? m_creationFrame : frame;
}

QList<QRect> RailPanel::otherScreenFrames() const
{
    const QWindow *window = windowHandle();
    const QScreen *own = window ? window->screen() : nullptr;
    if (!QGuiApplication::screens().contains(own))
        own = QGuiApplication::primaryScreen();
    QList<QRect> frames;
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != own)
            frames.append(screen->geometry());
    }
    return frames;
}

QRect RailPanel::targetFrame() const
{
    return railframe::frame(railFrameInput(m_state), visibleFrame());
}

bool RailPanel::isAnimating() const
{
    return m_slide->state() == QAbstractAnimation::Running;
}

QRect RailPanel::shownFrame() const
{
    return m_place.onScreen(windowRect());
}

QRect RailPanel::roomFor(const QRect &frame) const
{
    // The window holds the rail opened and closed alike, so that an open or
    // a close only paints and shapes it: a change of the window's size goes
    // through the window manager, which gives the window and its frame the
    // new size in steps of its own, and every step can show a picture the
    // rail never drew.
    RailFrameInput in = railFrameInput(m_state);
    const QRect visible = visibleFrame();
    in.expanded = true;
    QRect room = railframe::frame(in, visible);
    in.expanded = false;
    room |= railframe::frame(in, visible);
    return room | frame;
}

QRect RailPanel::windowRect() const
{
    return {pos(), size()};
}

void RailPanel::placeContent()
{
    const QRect content = m_place.content(windowRect());
    if (m_content && m_content->geometry() != content) {
        // The views say what they draw in their new place as they take it,
        // one region after another: the shapes wait for all of them.
        m_placesContent = true;
        m_content->setGeometry(content);
        m_placesContent = false;
    }
}

void RailPanel::relayout()
{
    const RailFrameInput in = railFrameInput(m_state);
    const QRect target = railframe::frame(in, visibleFrame());
    setShapesWindow(!composited());
    applyInputPolicy();
    const bool slide = railframe::animatesBetween(m_lastLayoutEdge, in.edge) && isVisible();
    if (in.edge != m_lastLayoutEdge && testAttribute(Qt::WA_WState_Created))
        m_windowing.keepContentAt(static_cast<quint32>(winId()), screenEdge(in.edge));
    m_lastLayoutEdge = in.edge;
    if (slide && shownFrame() != target) {
        slideTo(target);
    } else {
        m_slide->stop();
        m_slideEnd = target;
        endSlide();
    }
    // Laid out for the new layout only once its slide is set up: a shape
    // asked for before (by a change of what takes clicks) would cut the new
    // layout to where the old one rests and show it there unpainted.
    m_laidOutExpanded = in.expanded;
    applyShapes();
}

void RailPanel::slideTo(const QRect &target)
{
    const QRect from = shownFrame();
    const bool revealing = m_slide->state() == QAbstractAnimation::Running && !m_place.slideMovesWindow;
    m_slide->stop();
    m_slideEnd = target;
    const bool movesWindow = !revealing && from.size() == target.size();
    if (movesWindow) {
        // To another edge: the window, the rail's own size, goes along.
        m_place.slideMovesWindow = true;
        if (geometry() != from)
            setFrame(from);
        placeContent();
    } else {
        m_place.slideMovesWindow = false;
        // One window for the whole way (and for what a slide cut short had
        // reached), the content filling it, made once.
        const QRect window = geometry().united(from).united(roomFor(target));
        if (geometry() != window)
            setFrame(window);
        m_place.reveal = from.translated(-window.topLeft());
        placeContent();
    }
    m_slide->setStartValue(from);
    m_slide->setEndValue(target);
    m_slide->start();
    showSlideFrame(from);
}

void RailPanel::showSlideFrame(const QRect &frame)
{
    if (m_place.slideMovesWindow) {
        move(frame.topLeft());
        return;
    }
    m_place.reveal = frame.translated(-pos()) & rect();
    // What the content draws outside the part shown is cut away; only the
    // newly shown strip is painted again.
    if (m_content)
        m_content->setMask(QRegion(m_place.reveal->translated(-m_content->pos())));
    applyShapes();
}

void RailPanel::endSlide()
{
    const bool revealed = m_place.reveal.has_value();
    m_place.reveal.reset();
    m_place.slideMovesWindow = false;
    if (m_content && revealed)
        m_content->clearMask();
    if (!m_slideEnd.isNull())
        m_place.rest = m_slideEnd;
    const QRect window = roomFor(m_place.rest);
    if (geometry() != window)
        setFrame(window);
    else
        placeInDevicePixels();
    placeContent();
    applyShapes();
}

void RailPanel::setFrame(const QRect &frame)
{
    expectFrame(frame);
    setGeometry(frame);
    placeInDevicePixels();
}

void RailPanel::expectFrame(const QRect &frame)
{
    if (!isVisible() || !testAttribute(Qt::WA_WState_Created) || frame.size() == size())
        return;
    // The window manager applies the new size some time after it is asked
    // for. Until then nothing is painted for it: a picture put on the window
    // at its old size would show from its corner, away from the screen
    // edge. The shapes wait in the window layer.
    if (!m_holdsPaint) {
        m_holdsPaint = true;
        setUpdatesEnabled(false);
    }
    const quint32 generation = ++m_frameGeneration;
    const qreal ratio = devicePixelRatioF();
    const auto window = static_cast<quint32>(winId());
    m_windowing.expectFrame(window, railframe::deviceRect(geometry(), ratio), railframe::deviceRect(frame, ratio),
                            [panel = QPointer<RailPanel>(this), generation] {
                                if (panel && panel->m_frameGeneration == generation)
                                    panel->frameLanded();
                            });
    // A window manager that keeps the old size says nothing to wait for.
    QTimer::singleShot(kFrameWaitMs, this, [this, generation, window] {
        if (generation != m_frameGeneration)
            return;
        m_windowing.stopExpectingFrame(window);
        frameLanded();
    });
}

void RailPanel::frameLanded()
{
    if (!m_holdsPaint)
        return;
    m_holdsPaint = false;
    m_paintsNewSize = true;
    setUpdatesEnabled(true);
}

void RailPanel::placeInDevicePixels()
{
    const qreal ratio = devicePixelRatioF();
    if (qFuzzyCompare(ratio, 1.0) || !isVisible() || !testAttribute(Qt::WA_WState_Created))
        return;
    m_windowing.placeWindow(static_cast<quint32>(winId()), railframe::deviceRect(geometry(), ratio));
}

void RailPanel::raisePanel()
{
    // Through the window layer: hovering never asks for activation.
    if (testAttribute(Qt::WA_WState_Created))
        m_windowing.raise(static_cast<quint32>(winId()));
}

void RailPanel::applyInputPolicy()
{
    // Through the window layer rather than Qt's window flags: changing a
    // flag on a mapped window makes Qt rewrite the window type, and the
    // window manager would stop treating the panel as a dock.
    const RailFrameInput in = railFrameInput(m_state);
    const bool passesClicks = railframe::passesClicksThrough(in);
    const bool acceptsFocus = in.expanded;
    if (acceptsFocus != m_acceptsFocus && testAttribute(Qt::WA_WState_Created)) {
        m_windowing.setAcceptsFocus(static_cast<quint32>(winId()), acceptsFocus);
        if (acceptsFocus) {
            // The user's window has the keyboard now; it gets it back when
            // the rail collapses.
            const quint32 active = activeWindowId();
            m_keyboardOwner = active == static_cast<quint32>(winId()) ? 0 : active;
        } else if (isActiveWindow()) {
            // A collapsed rail keeps no keyboard: what is typed next goes
            // where it went before one of its fields was used.
            handKeyboardTo(m_keyboardOwner);
        }
    }
    m_acceptsFocus = acceptsFocus;
    if (passesClicks != m_passesClicks) {
        m_passesClicks = passesClicks;
        applyShapes();
    }
}

void RailPanel::paintEvent(QPaintEvent *event)
{
    if (m_repaintsForShape)
        m_paintedForShape += event->region();
    // This paint reaches the server before anything sent after it.
    if (!m_unpainted.isEmpty())
        QMetaObject::invokeMethod(this, &RailPanel::shapePainted, Qt::QueuedConnection);
    if (m_paintsNewSize) {
        // What this paint puts on the window reaches the server before
        // anything sent after it: only then does the shape asked for alone
        // show.
        m_paintsNewSize = false;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_holdsPaint && testAttribute(Qt::WA_WState_Created))
                    m_windowing.stopExpectingFrame(static_cast<quint32>(winId()));
            },
            Qt::QueuedConnection);
    }
    if (m_translucent)
        return;
    // As the window's own background would be, but not where the slide's
    // mask has just cut the content away: that is outside the shapes, and
    // painting it would cost every frame of the slide as much again.
    QRegion region = event->region();
    if (m_place.reveal)
        region &= QRegion(*m_place.reveal);
    // Nor where the shape asked for no longer shows: a part on its way out
    // keeps its picture until it goes.
    if (m_shapeWanted)
        region &= *m_shapeWanted;
    if (region.isEmpty())
        return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QBrush background = palette().brush(QPalette::Window);
    // Each rectangle clipped to itself alone: inside a clip of several, the
    // raster engine fills span by span on a pool of threads (ClipRects.h).
    for (const QRect &rect : region) {
        painter.setClipRect(rect);
        painter.fillRect(rect, background);
    }
}

void RailPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_pictureWatch)
        m_pictureWatch->setGeometry(rect());
    placeContent();
    // The shapes do not follow the window's size by themselves.
    applyShapes();
    // What the window held before keeps its place in the new backing store,
    // at the top-left, and a slide paints only the part it shows: composited,
    // the rest is cleared now, or the old picture would show there, away
    // from the screen edge.
    if (!m_shapesWindow)
        update();
}

bool RailPanel::event(QEvent *event)
{
    if (event->type() == QEvent::UpdateRequest) {
        // Where a compositor blends a motion, the shape follows each
        // picture as it is sent.
        const bool sends = m_sendsPaint;
        m_sendsPaint = true;
        const bool done = QWidget::event(event);
        m_sendsPaint = sends;
        if (!sends)
            pictureSent();
        return done;
    }
    // Only what the panel draws takes the pointer, so entering and leaving
    // the window is entering and leaving the rail; the old window going
    // while a new one is made leaves nothing.
    if (event->type() == QEvent::Enter)
        Q_EMIT pointerInsideChanged(true);
    else if (event->type() == QEvent::Leave && !m_remakesWindow)
        Q_EMIT pointerInsideChanged(false);
    return QWidget::event(event);
}

bool RailPanel::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // The expose is answered by painting the whole window and sending it;
    // the next turn of the event loop comes after.
    if (type == QEvent::Expose && m_showsStandIn && watched == windowHandle())
        QMetaObject::invokeMethod(
            this, [this] { dropStandIn(false); }, Qt::QueuedConnection);
    // The views stay shown while their window is made anew: the hiding and
    // showing of the old and new windows is none of theirs (a card would
    // refresh what it shows as it is shown).
    if (m_remakesWindow && (type == QEvent::Show || type == QEvent::Hide) && watched != this && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this)
        return true;
    // A click into one of the rail's text fields gives the panel the
    // keyboard; hovering never does, so the user's window keeps it.
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) && watched->isWidgetType()
        && m_acceptsFocus && static_cast<QWidget *>(watched)->window() == this) {
        auto *widget = static_cast<QWidget *>(watched);
        if (type == QEvent::MouseButtonPress && widget->testAttribute(Qt::WA_InputMethodEnabled)) {
            takeKeyboard();
        } else if (type == QEvent::MouseButtonRelease) {
            // A button that opens a composer puts its first field in focus
            // once the click has been handled: the keyboard follows it there.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    const QWidget *focused = focusWidget();
                    if (m_acceptsFocus && focused && focused->testAttribute(Qt::WA_InputMethodEnabled))
                        takeKeyboard();
                },
                Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RailPanel::takeKeyboard()
{
    // Qt can count the panel active while the window manager has given the
    // keyboard to a window of its own (KWin does): the manager's word holds.
    if (isActiveWindow() && activeWindowId() == static_cast<quint32>(winId()))
        return;
    activateWindow();
    // Some window managers refuse the plain request of a dock that was not
    // clicked through them; this one they honour.
    requestUserActivation(windowHandle());
}

} // namespace kolu
