#include "shell/rail/expanded/ToolStripButton.h"

#include "shell/rail/EdgeNotificationRingsClock.h"
#include "shell/rail/RailGlass.h"
#include "shell/rail/expanded/Glide.h"
#include "shell/rules/ExpandedRailGeometry.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/GlassProfile.h"
#include "style/IconProvider.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/ShadowBlur.h"
#include "style/widgets/StyledWidget.h"

#include <QCache>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

#include <algorithm>
#include <chrono>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

using Field = AppStateField;

namespace {

constexpr double leanRadians = -0.12217;
constexpr double leanShift = -4;

constexpr double iconPoints = 20;
const QSizeF iconFrame(44, 38);
// The selected icon's shadow in its tint.
constexpr double iconShadowOpacity = 0.34, iconShadowRadius = 8, iconShadowY = 3;

// The icon's own shape blurred into a soft shadow in `tint`, padded by the
// blur's reach; made once per symbol, colour and device scale.
const QImage &iconShadow(const QString &symbol, const QColor &tint, qreal dpr)
{
    static QCache<QString, QImage> cache(64);
    const QString key = symbol + u'|' + tint.name(QColor::HexArgb) + u'|' + QString::number(dpr);
    if (const QImage *hit = cache.object(key))
        return *hit;
    const qreal pad = shadowExtent(iconShadowRadius);
    const QSizeF logical = iconFrame + QSizeF(2 * pad, 2 * pad);
    QImage image((logical * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        IconProvider::paint(p, QRectF(QPointF(pad, pad), iconFrame), symbol, iconPoints, Qt::black, IconWeight::bold);
    }
    QImage alpha = image.convertToFormat(QImage::Format_Alpha8);
    gaussianBlurAlpha(alpha, iconShadowRadius / 2 * dpr);
    QImage shadow(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    shadow.setDevicePixelRatio(dpr);
    shadow.fill(Qt::transparent);
    {
        QPainter p(&shadow);
        p.drawImage(QPoint(), alpha);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(shadow.rect(), withAlpha(tint, iconShadowOpacity));
    }
    auto *stored = new QImage(shadow);
    cache.insert(key, stored);
    return *stored;
}

bool offersFiles(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return false;
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &u) { return u.isLocalFile(); });
}

} // namespace

ToolStripButton::ToolStripButton(AppState &state, RailModule module, Qt::Orientation axis, QWidget *parent)
    : QAbstractButton(parent)
    , m_state(state)
    , m_module(module)
    , m_axis(axis)
{
    setObjectName(u"toolStripButton-"_s + rawValue(module));
    setToolTip(title(module));
    setAccessibleName(title(module));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setAcceptDrops(true);
    repaintOnStyleChange(this);

    m_hoverTimer = state.clock().createTimer(this);
    connect(m_hoverTimer, &ClockTimer::timeout, this, &ToolStripButton::openIfStillWanted);
    m_pulseReset = state.clock().createTimer(this);
    connect(m_pulseReset, &ClockTimer::timeout, this, [this] { setPulsing(false, 120); });
    m_pressTimer = state.clock().createTimer(this);
    connect(m_pressTimer, &ClockTimer::timeout, this, [this] {
        if (m_pressing)
            m_longPressed = true;
    });

    m_poseAnimation = new QVariantAnimation(this);
    connect(m_poseAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_pose = v.toDouble();
        update();
    });
    m_rings = new RingsRunner(this, false);
    connect(m_rings, &RingsRunner::moved, this, &ToolStripButton::ringsChanged);
    m_dropLook = new Glide(
        0, [this] { update(); }, this);

    connect(&state, &AppState::changed, this, &ToolStripButton::onStateChanged);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (!m_state.isReorderingRail() && m_state.selectedModule() != m_module)
            m_state.openModule(m_module);
    });

    // Appearing while an alert is up takes the pose at once.
    if (showsPersistentPulse())
        setPulsing(true, 120);
    else if (module == RailModule::fileTray && state.clipboardPulseActive())
        showClipboardIconPulse();
    updateRings();
}

QSize ToolStripButton::sizeHint() const
{
    const double s = m_state.railScaleFactor();
    return {int(expandedrail::buttonWidth), int(std::ceil(expandedrail::buttonHeight * s))};
}

bool ToolStripButton::showsPersistentPulse() const
{
    switch (m_module) {
    case RailModule::calendar: return m_state.activeCalendarAlert().has_value();
    case RailModule::focus: return m_state.pomodoroAlertVisible();
    case RailModule::reminders: return m_state.activeReminderAlert().has_value();
    default: return false;
    }
}

bool ToolStripButton::showsPulseRings() const
{
    return m_pulsing || showsPersistentPulse() || (m_module == RailModule::fileTray && m_state.clipboardPulseActive());
}

bool ToolStripButton::ringsRunning() const
{
    return m_rings->isWanted();
}

double ToolStripButton::dropLook() const
{
    return m_dropLook->value();
}

std::optional<QString> ToolStripButton::badgeText() const
{
    if (m_module != RailModule::fileTray)
        return std::nullopt;
    return toolstrip::badgeText(int(m_state.fileTrayItems().size() + m_state.clipboardItems().size()));
}

void ToolStripButton::onStateChanged(AppStateField field)
{
    switch (field) {
    case Field::pomodoroAlertVisible:
        if (m_module == RailModule::focus)
            setPulsing(m_state.pomodoroAlertVisible(), 120);
        break;
    case Field::activeCalendarAlert:
        if (m_module == RailModule::calendar)
            setPulsing(m_state.activeCalendarAlert().has_value(), 120);
        break;
    case Field::activeReminderAlert:
        if (m_module == RailModule::reminders)
            setPulsing(m_state.activeReminderAlert().has_value(), 120);
        break;
    case Field::clipboardPulse:
        if (m_module == RailModule::fileTray)
            showClipboardIconPulse();
        break;
    case Field::selectedModule:
    case Field::fileTrayItems:
    case Field::clipboardItems: update(); break;
    default: break;
    }
    updateRings();
}

void ToolStripButton::setPulsing(bool pulsing, int durationMs)
{
    if (pulsing == m_pulsing && m_poseAnimation->state() != QAbstractAnimation::Running
        && m_pose == (pulsing ? 1.0 : 0.0)) {
        updateRings();
        return;
    }
    m_pulsing = pulsing;
    m_poseAnimation->stop();
    m_poseAnimation->setLoopCount(1);
    m_poseAnimation->setKeyValues({});
    m_poseAnimation->setDuration(durationMs);
    m_poseAnimation->setEasingCurve(pulsing ? QEasingCurve::InOutQuad : QEasingCurve::OutQuad);
    m_poseAnimation->setStartValue(m_pose);
    m_poseAnimation->setEndValue(pulsing ? 1.0 : 0.0);
    m_poseAnimation->start();
    updateRings();
}

void ToolStripButton::showClipboardIconPulse()
{
    m_pulseReset->stop();
    m_pulsing = true;
    // Four wobbles out to the lean and back.
    m_poseAnimation->stop();
    m_poseAnimation->setEasingCurve(QEasingCurve::InOutQuad);
    m_poseAnimation->setDuration(160);
    m_poseAnimation->setKeyValues({{0.0, 0.0}, {0.5, 1.0}, {1.0, 0.0}});
    m_poseAnimation->setLoopCount(4);
    m_poseAnimation->start();
    // The reset always follows the last pulse.
    m_pulseReset->start(std::chrono::milliseconds(toolstrip::clipboardWobbleResetMs), false);
    updateRings();
}

void ToolStripButton::updateRings()
{
    // The rings run only while they show, so an idle strip draws nothing.
    const bool show = showsPulseRings();
    if (show == ringsRunning())
        return;
    m_rings->setWanted(show);
    Q_EMIT ringsChanged();
}

void ToolStripButton::openIfStillWanted()
{
    if (!m_state.isReorderingRail() && m_state.selectedModule() != m_module)
        m_state.openModule(m_module);
}

void ToolStripButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    m_hoverTimer->stop();
    if (m_state.selectedModule() != m_module && !m_state.isReorderingRail())
        m_hoverTimer->start(std::chrono::milliseconds(toolstrip::hoverOpenDelayMs), false);
}

void ToolStripButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    m_hoverTimer->stop();
}

void ToolStripButton::mousePressEvent(QMouseEvent *event)
{
    QAbstractButton::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    m_pressing = true;
    m_longPressed = false;
    m_pressPos = event->position();
    m_pressTimer->start(std::chrono::milliseconds(toolstrip::reorderPressMs), false);
}

void ToolStripButton::mouseMoveEvent(QMouseEvent *event)
{
    QAbstractButton::mouseMoveEvent(event);
    if (!m_pressing)
        return;
    const QPointF delta = event->position() - m_pressPos;
    if (!m_longPressed) {
        // Moving away before the press has held long enough is no reorder.
        if (std::hypot(delta.x(), delta.y()) > toolstrip::reorderPressTolerance) {
            m_pressTimer->stop();
            m_pressing = false;
        }
        return;
    }
    const auto &visible = m_state.visibleRailModules();
    const auto it = std::find(visible.begin(), visible.end(), m_module);
    if (it == visible.end())
        return;
    const int index = int(it - visible.begin());
    if (!m_reorderStartIndex) {
        m_reorderStartIndex = index;
        m_state.setIsReorderingRail(true);
    }
    // The displacement is measured from the press in the button's own
    // coordinates, which move with the button; add back how far it moved.
    const double step = (expandedrail::buttonHeight + expandedrail::buttonSpacing) * m_state.railScaleFactor();
    const double along = m_axis == Qt::Vertical ? delta.y() : delta.x();
    const double travelled = (index - *m_reorderStartIndex) * step;
    const int target = toolstrip::reorderTarget(*m_reorderStartIndex, along + travelled, int(visible.size()),
                                                m_state.railScaleFactor());
    if (target != index)
        m_state.moveRailModule(m_module, target);
}

void ToolStripButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool reordered = m_longPressed;
    m_pressTimer->stop();
    m_pressing = false;
    m_longPressed = false;
    if (reordered) {
        // A long press is never a click.
        setDown(false);
        endReorder();
        event->accept();
        return;
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void ToolStripButton::endReorder()
{
    if (!m_reorderStartIndex)
        return;
    m_reorderStartIndex.reset();
    m_state.setIsReorderingRail(false);
}

void ToolStripButton::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_module == RailModule::fileTray && offersFiles(event->mimeData())) {
        m_fileDropTarget = true;
        m_dropLook->moveTo(1, OrlixMotion::smooth());
        event->acceptProposedAction();
        return;
    }
    event->ignore();
}

void ToolStripButton::dragLeaveEvent(QDragLeaveEvent *event)
{
    QAbstractButton::dragLeaveEvent(event);
    m_fileDropTarget = false;
    m_dropLook->moveTo(0, OrlixMotion::smooth());
}

void ToolStripButton::dropEvent(QDropEvent *event)
{
    m_fileDropTarget = false;
    m_dropLook->moveTo(0, OrlixMotion::smooth());
    if (m_module != RailModule::fileTray || !m_state.receiveFileTrayDrop(*event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void ToolStripButton::paintIcon(QPainter &p, bool selected, const QColor &tint, const QColor &ink) const
{
    // The icon, leaning while it pulses; the selected one casts a soft
    // shadow in its tint.
    p.save();
    const QPointF c = QRectF(rect()).center();
    const QRectF iconRect(c - QPointF(iconFrame.width(), iconFrame.height()) / 2, iconFrame);
    p.translate(c + QPointF(leanShift * m_pose, 0));
    p.rotate(leanRadians * m_pose * 180 / M_PI);
    p.translate(-c);
    if (selected) {
        const qreal pad = shadowExtent(iconShadowRadius);
        p.drawImage(iconRect.topLeft() + QPointF(-pad, -pad + iconShadowY),
                    iconShadow(symbol(m_module), tint, p.device()->devicePixelRatioF()));
    }
    IconProvider::paint(p, iconRect, symbol(m_module), iconPoints, ink, IconWeight::bold);
    p.restore();
}

const QImage &ToolStripButton::leanedIcon(bool selected, const QColor &tint, const QColor &ink, qreal dpr)
{
    // A rotated picture is blended span by span, which the raster engine
    // hands to the thread pool: with an alert up the lean holds still while
    // the rings repaint the button on every frame, so it is drawn once and
    // only copied after.
    const LeanedIconKey key{m_pose, dpr, size(), tint.rgba(), ink.rgba(), selected};
    if (m_leanedIcon.isNull() || key != m_leanedIconKey) {
        QImage picture((QSizeF(size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(dpr);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        paintIcon(p, selected, tint, ink);
        p.end();
        m_leanedIcon = std::move(picture);
        m_leanedIconKey = key;
    }
    return m_leanedIcon;
}

void ToolStripButton::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = style.tint(m_module);
    const bool selected = m_state.selectedModule() == m_module;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(rect());
    const QPointF c = r.center();

    // The drop highlight: the selection glass, scaled by 1.08 about the centre.
    if (const double drop = std::clamp(m_dropLook->value(), 0.0, 1.0); drop > 0.001) {
        p.save();
        p.setOpacity(drop);
        const QRectF hr = QRectF(r.width() * -0.04, r.height() * -0.04, r.width() * 1.08, r.height() * 1.08);
        paintRailGlass(p, hr, 18, railSelectionGlass(tint), withAlpha(tint, 0.44), 1.1);
        p.restore();
    }

    // The glow keeps the tint; the icon itself reads on the glass.
    const QColor ink = style.symbolInk(selected ? tint : style.iconPrimary());
    if (m_pose == 0)
        paintIcon(p, selected, tint, ink);
    else
        p.drawImage(QPointF(), leanedIcon(selected, tint, ink, p.device()->devicePixelRatioF()));

    if (const auto badge = badgeText()) {
        const QFont font = OrlixFonts::monospacedDigits(9, QFont::Bold);
        const double w = std::max(16.0, QFontMetricsF(font).horizontalAdvance(*badge) + 10);
        const QPointF at = c + QPointF(16, m_axis == Qt::Vertical ? -14 : -9);
        const QRectF br(at.x() - w / 2, at.y() - 8, w, 16);
        p.setPen(Qt::NoPen);
        p.setBrush(tint);
        p.drawRoundedRect(br, 8, 8);
        QColor hair = style.hairline();
        hair.setAlphaF(hair.alphaF() * 0.32);
        p.setPen(QPen(hair, 0.6));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(br, 8, 8);
        p.setFont(font);
        // Black on the tint, or white where that reads better (a deep hero colour).
        const QColor label = contrastBetween(Qt::black, tint) >= contrastBetween(Qt::white, tint) ? QColor(Qt::black)
                                                                                                  : QColor(Qt::white);
        p.setPen(readableOn(label, tint));
        p.drawText(br, Qt::AlignCenter, *badge);
    }
}

} // namespace kolu
