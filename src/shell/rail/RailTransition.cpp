#include "shell/rail/RailTransition.h"

#include "shell/rail/DrawnShape.h"
#include "style/WidgetSnapshot.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const char *const kMotionName = "railMotion";
const char *const kLeavingProperty = "railLeaving";

QPointF anchorPoint(const QRectF &rect, Qt::Alignment anchor)
{
    const double x = anchor & Qt::AlignLeft ? rect.left() : anchor & Qt::AlignRight ? rect.right() : rect.center().x();
    const double y = anchor & Qt::AlignTop ? rect.top() : anchor & Qt::AlignBottom ? rect.bottom() : rect.center().y();
    return {x, y};
}

// Runs from `from` to `to` on the motion's curve.
QVariantAnimation *startMotion(QObject *owner, const Motion &motion, double from, double to)
{
    auto *animation = new QVariantAnimation(owner);
    animation->setObjectName(QLatin1String(kMotionName));
    animation->setDuration(motion.durationMs);
    animation->setEasingCurve(motion.curve);
    animation->setStartValue(from);
    animation->setEndValue(to);
    QObject::connect(animation, &QAbstractAnimation::stateChanged, &railmotion::MotionActivity::shared(),
                     [](QAbstractAnimation::State now, QAbstractAnimation::State before) {
                         if ((now == QAbstractAnimation::Running) != (before == QAbstractAnimation::Running))
                             railmotion::MotionActivity::shared().runningChanged(now == QAbstractAnimation::Running);
                     });
    return animation;
}

// A finished motion waits for deletion; only a running one counts.
QVariantAnimation *runningMotion(const QWidget *widget)
{
    const auto motions =
        widget->findChildren<QVariantAnimation *>(QLatin1String(kMotionName), Qt::FindDirectChildrenOnly);
    for (QVariantAnimation *motion : motions) {
        if (motion->state() == QAbstractAnimation::Running)
            return motion;
    }
    return nullptr;
}

// Puts every part of a widget that fades by parts at rest; answers the
// widget as one, else null.
FadesByParts *restParts(QWidget *widget)
{
    auto *parts = dynamic_cast<FadesByParts *>(widget);
    if (parts)
        parts->setPartsOpacity(1.0);
    return parts;
}

// What `source` and its children paint, over clear pixels: the window
// colour behind them would show as a pale box where the rail is clear.
// Its fully clear margins are cut; `origin` says where it starts.
QPixmap paintedPicture(QWidget *source, QPointF &origin)
{
    const qreal ratio = source->devicePixelRatioF();
    QPixmap picture((QSizeF(source->size()) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    source->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    origin = QPointF();
    cropToPainted(picture, origin);
    return picture;
}

// The picture of an item on its way out. It takes no clicks, keeps to the
// side of its parent it was anchored to while the parent changes size, and
// goes when its motion ends.
class LeavingPicture : public QWidget {
public:
    LeavingPicture(QWidget *source, double from, const RailTransition &transition, const Motion &motion,
                   Qt::Alignment anchor)
        : QWidget(source->parentWidget())
        , m_effect(transition)
        , m_anchor(anchor)
    {
        setObjectName(u"leavingPicture"_s);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        m_effect.drawAtRestIn(this);
        m_picture = paintedPicture(source, m_pictureOrigin);
        m_source = QRectF(QPointF(), source->size());
        m_parentSize = parentWidget()->size();
        // Room for the whole way, from rest to the far end.
        m_effect.setProgress(0.0);
        const QRectF reach = m_effect.boundingRectFor(m_source).united(m_source);
        m_effect.setProgress(from);
        m_effect.setPictureBounds(m_source);
        m_origin = -reach.topLeft();
        setGeometry(reach.translated(source->pos()).toAlignedRect());
        parentWidget()->installEventFilter(this);
        lower();
        show();

        QVariantAnimation *animation = startMotion(this, motion, from, 0.0);
        connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
            if (m_effect.setProgress(value.toDouble()))
                update();
        });
        connect(animation, &QVariantAnimation::finished, this, [this] {
            hide();
            deleteLater();
        });
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.translate(m_origin);
        if (!m_picture.isNull())
            m_effect.paintAt(painter, m_source, m_picture, m_pictureOrigin);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Resize) {
            const QSize size = parentWidget()->size();
            const QSize delta = size - m_parentSize;
            m_parentSize = size;
            const int dx = m_anchor & Qt::AlignRight     ? delta.width()
                           : m_anchor & Qt::AlignHCenter ? delta.width() / 2
                                                         : 0;
            const int dy = m_anchor & Qt::AlignBottom    ? delta.height()
                           : m_anchor & Qt::AlignVCenter ? delta.height() / 2
                                                         : 0;
            move(pos() + QPoint(dx, dy));
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    RailTransitionEffect m_effect;
    Qt::Alignment m_anchor;
    QPixmap m_picture;
    // Where the picture's top-left is in the item: its clear margins are cut.
    QPointF m_pictureOrigin;
    QRectF m_source;
    QPointF m_origin;
    QSize m_parentSize;
};

} // namespace

Qt::Alignment screenEdgeAnchor(RailEdge edge)
{
    switch (edge) {
    case RailEdge::left: return Qt::AlignLeft | Qt::AlignVCenter;
    case RailEdge::right: return Qt::AlignRight | Qt::AlignVCenter;
    case RailEdge::top: break;
    }
    return Qt::AlignTop | Qt::AlignHCenter;
}

RailTransitionEffect::RailTransitionEffect(const RailTransition &transition, QObject *parent)
    : QGraphicsEffect(parent)
    , m_transition(transition)
{
}

bool RailTransitionEffect::setProgress(double progress)
{
    if (progress == m_progress)
        return false;
    m_progress = progress;
    const QRectF bounds = source() ? sourceBoundingRect(Qt::LogicalCoordinates) : m_pictureBounds;
    if (!looksDifferent(m_shownProgress, progress, bounds))
        return false;
    const bool moves = m_transition.scale != 1.0 || m_transition.fromTopEdge || !m_transition.offset.isNull();
    m_shownProgress = progress;
    // A new bounding rectangle repaints all of the parent: only for a move.
    if (moves)
        updateBoundingRect();
    update();
    return true;
}

double RailTransitionEffect::shownProgress() const
{
    return m_restIn && drawnshape::inShapedWindow(m_restIn) ? 1.0 : m_progress;
}

QPointF RailTransitionEffect::offsetAt(double progress, const QRectF &bounds) const
{
    const QPointF far = m_transition.fromTopEdge ? QPointF(0, -bounds.height()) : m_transition.offset;
    return far * (1.0 - progress);
}

double RailTransitionEffect::scaleAt(double progress) const
{
    return m_transition.scale + (1.0 - m_transition.scale) * progress;
}

bool RailTransitionEffect::looksDifferent(double a, double b, const QRectF &bounds) const
{
    // Where the motion starts or ends the picture goes or comes whole.
    if (a == 1.0 || b == 1.0 || a == 0.0 || b == 0.0)
        return true;
    // Half a step of the 8-bit alpha; a 64th of a pixel, the rasteriser's.
    constexpr double alphaStep = 0.5 / 255;
    constexpr double still = 1.0 / 64;
    if (m_transition.fades && std::abs(std::clamp(a, 0.0, 1.0) - std::clamp(b, 0.0, 1.0)) >= alphaStep)
        return true;
    const QPointF moved = offsetAt(a, bounds) - offsetAt(b, bounds);
    if (std::abs(moved.x()) >= still || std::abs(moved.y()) >= still)
        return true;
    return std::abs(scaleAt(a) - scaleAt(b)) * std::max(bounds.width(), bounds.height()) >= still;
}

QRectF RailTransitionEffect::boundingRectFor(const QRectF &rect) const
{
    // A spring's small overshoot can scale the item a little past its size.
    const double grow = m_transition.scale == 1.0 ? 0.0 : 0.02 * std::max(rect.width(), rect.height());
    return rect.translated(offsetFor(rect)).adjusted(-grow, -grow, grow, grow);
}

void RailTransitionEffect::paintAt(QPainter &painter, const QRectF &bounds, const QPixmap &picture,
                                   QPointF origin) const
{
    const double progress = shownProgress();
    const double scale = scaleAt(progress);
    const QPointF anchor = anchorPoint(bounds, m_transition.anchor);
    painter.save();
    if (m_transition.fades)
        painter.setOpacity(painter.opacity() * std::clamp(progress, 0.0, 1.0));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale != 1.0);
    painter.translate(offsetFor(bounds) + anchor);
    painter.scale(scale, scale);
    painter.translate(-anchor);
    painter.drawPixmap(origin, picture);
    painter.restore();
}

void RailTransitionEffect::freezePicture(const QPixmap &picture, QPointF origin)
{
    m_frozen = picture;
    m_frozenOrigin = origin;
    keepPictureOf(nullptr);
}

void RailTransitionEffect::keepPictureOf(QWidget *widget)
{
    delete m_snapshot;
    m_snapshot = widget ? new WidgetSnapshot(widget, this) : nullptr;
}

bool RailTransitionEffect::looksAtRest(const QRectF &bounds) const
{
    const double progress = shownProgress();
    if (progress == 1.0)
        return true;
    // A spring passes its end on the way: past it a fade is opaque again.
    if (m_transition.fades && progress < 1.0)
        return false;
    constexpr double still = 1.0 / 64; // the rasteriser's step
    const double scale = scaleAt(progress);
    const QPointF offset = offsetFor(bounds);
    return std::abs(scale - 1.0) * std::max(bounds.width(), bounds.height()) < still && std::abs(offset.x()) < still
           && std::abs(offset.y()) < still;
}

void RailTransitionEffect::draw(QPainter *painter)
{
    const QRectF bounds = sourceBoundingRect(Qt::LogicalCoordinates);
    // A leaving item keeps the picture it left with, also where it is drawn
    // at rest for want of a compositor: what changes in it meanwhile (a
    // card gliding back to the edge) is not to be seen.
    if (!m_frozen.isNull() && (!looksAtRest(bounds) || shownProgress() != m_progress)) {
        paintAt(*painter, bounds, m_frozen, m_frozenOrigin);
        return;
    }
    // At rest the item is drawn as it is now, through a picture rather than
    // straight onto the window: an item inside it still moving on an effect
    // of its own would otherwise open a second painter on the same window.
    if (!m_snapshot || looksAtRest(bounds)) {
        QPoint origin;
        const QPixmap picture = sourcePixmap(Qt::LogicalCoordinates, &origin, QGraphicsEffect::NoPad);
        paintAt(*painter, bounds, picture, origin);
        return;
    }
    m_snapshot->refresh(*painter, [this](QPoint *origin) {
        return sourcePixmap(Qt::LogicalCoordinates, origin, QGraphicsEffect::NoPad);
    });
    if (!m_snapshot->picture().isNull())
        paintAt(*painter, bounds, m_snapshot->picture(), m_snapshot->origin());
}

void RailTransitionEffect::sourceChanged(ChangeFlags flags)
{
    if (m_snapshot && (flags & (SourceAttached | SourceBoundingRectChanged | SourceInvalidated)))
        m_snapshot->invalidate();
}

namespace railmotion {

void enter(QWidget *widget, const RailTransition &transition, const Motion &motion)
{
    // An item on its way out comes back from where it got to.
    double from = 0.0;
    if (isLeaving(widget)) {
        if (auto *effect = qobject_cast<RailTransitionEffect *>(widget->graphicsEffect()))
            from = std::clamp(effect->progress(), 0.0, 1.0);
        widget->setProperty(kLeavingProperty, false);
        widget->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    }
    delete runningMotion(widget);
    widget->setGraphicsEffect(nullptr);
    FadesByParts *parts = restParts(widget);
    widget->show();
    // Nothing to see move on a rail that is not on screen.
    if (!widget->isVisible())
        return;
    const bool fadesOnly =
        transition.fades && !transition.fromTopEdge && transition.offset.isNull() && transition.scale == 1.0;
    if (parts && fadesOnly) {
        parts->setPartsOpacity(from);
        QVariantAnimation *animation = startMotion(widget, motion, from, 1.0);
        QObject::connect(animation, &QVariantAnimation::valueChanged, widget, [parts](const QVariant &value) {
            parts->setPartsOpacity(std::clamp(value.toDouble(), 0.0, 1.0));
        });
        QObject::connect(animation, &QVariantAnimation::finished, widget, [parts] { parts->setPartsOpacity(1.0); });
        animation->start(QAbstractAnimation::DeleteWhenStopped);
        return;
    }
    auto *effect = new RailTransitionEffect(transition);
    effect->drawAtRestIn(widget);
    effect->keepPictureOf(widget);
    effect->setProgress(from);
    widget->setGraphicsEffect(effect);
    QVariantAnimation *animation = startMotion(widget, motion, from, 1.0);
    QPointer<RailTransitionEffect> guard(effect);
    QObject::connect(animation, &QVariantAnimation::valueChanged, effect,
                     [effect](const QVariant &value) { effect->setProgress(value.toDouble()); });
    QObject::connect(animation, &QVariantAnimation::finished, widget, [widget, guard] {
        if (guard && widget->graphicsEffect() == guard)
            widget->setGraphicsEffect(nullptr);
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

// Stops whatever moves `widget` and takes its effect away; answers how far
// it had come (1 when nothing moved it), so a leave starts from there.
static double stopMotion(QWidget *widget)
{
    double reached = 1.0;
    if (QVariantAnimation *motion = runningMotion(widget))
        reached = std::clamp(motion->currentValue().toDouble(), 0.0, 1.0);
    delete runningMotion(widget);
    widget->setGraphicsEffect(nullptr);
    restParts(widget);
    return reached;
}

void leaveInPlace(QWidget *widget, const RailTransition &transition, const Motion &motion)
{
    const double from = stopMotion(widget);
    widget->setProperty(kLeavingProperty, false);
    if (!widget->isVisible() || widget->size().isEmpty()) {
        widget->hide();
        return;
    }
    widget->setProperty(kLeavingProperty, true);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    // As it is now: what changes in it on the way out is not to be seen.
    QPointF origin;
    const QPixmap picture = paintedPicture(widget, origin);
    auto *effect = new RailTransitionEffect(transition);
    effect->drawAtRestIn(widget);
    effect->freezePicture(picture, origin);
    effect->setProgress(from);
    widget->setGraphicsEffect(effect);
    QVariantAnimation *animation = startMotion(widget, motion, from, 0.0);
    QPointer<RailTransitionEffect> guard(effect);
    QObject::connect(animation, &QVariantAnimation::valueChanged, effect,
                     [effect](const QVariant &value) { effect->setProgress(value.toDouble()); });
    QObject::connect(animation, &QVariantAnimation::finished, widget, [widget, guard] {
        if (!guard || widget->graphicsEffect() != guard)
            return;
        widget->hide();
        widget->setGraphicsEffect(nullptr);
        widget->setProperty(kLeavingProperty, false);
        widget->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void stop(QWidget *widget)
{
    delete runningMotion(widget);
    widget->setGraphicsEffect(nullptr);
    restParts(widget);
    widget->setProperty(kLeavingProperty, false);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

bool isLeaving(const QWidget *widget)
{
    return widget->property(kLeavingProperty).toBool();
}

void leave(QWidget *widget, const RailTransition &transition, const Motion &motion, Qt::Alignment anchor)
{
    if (!widget->parentWidget() || !widget->isVisible() || widget->size().isEmpty())
        return;
    // An item still on its way in leaves from where it got to.
    const double from = stopMotion(widget);
    new LeavingPicture(widget, from, transition, motion, anchor);
}

double progress(const QWidget *widget)
{
    if (const QVariantAnimation *motion = runningMotion(widget))
        return std::clamp(motion->currentValue().toDouble(), 0.0, 1.0);
    return 1.0;
}

QVariantAnimation *motionOf(const QWidget *widget)
{
    return runningMotion(widget);
}

bool isMoving(const QWidget *widget)
{
    return runningMotion(widget) != nullptr;
}

int leavingPictures(const QWidget *parent)
{
    const auto children = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    return static_cast<int>(std::count_if(children.begin(), children.end(), [](QWidget *w) {
        return !w->isHidden() && (w->objectName() == "leavingPicture"_L1 || isLeaving(w));
    }));
}

MotionActivity &MotionActivity::shared()
{
    static MotionActivity *activity = new MotionActivity;
    return *activity;
}

void MotionActivity::runningChanged(bool running)
{
    const bool before = isMoving();
    m_running = std::max(0, m_running + (running ? 1 : -1));
    if (isMoving() != before)
        Q_EMIT movingChanged(isMoving());
}

const Motion &topExpansion()
{
    static const Motion motion = [] {
        QEasingCurve curve(QEasingCurve::BezierSpline);
        curve.addCubicBezierSegment(QPointF(0.0, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
        return Motion{160, curve};
    }();
    return motion;
}

} // namespace railmotion

} // namespace kolu
