#include "style/widgets/SegmentedPicker.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr qreal kHeight = 26, kInset = 2, kRadius = 8, kBorder = 0.7;
QFont segmentFont(bool chosen)
{
    return OrlixFonts::system(12, chosen ? QFont::Bold : QFont::DemiBold);
}
} // namespace

SegmentedPicker::SegmentedPicker(const QStringList &segments, QWidget *parent)
    : QWidget(parent)
    , m_segments(segments)
    , m_slide(new QVariantAnimation(this))
{
    setObjectName(u"segmentedPicker"_s);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_slide->setDuration(OrlixMotion::railMotion().durationMs);
    m_slide->setEasingCurve(OrlixMotion::railMotion().curve);
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_pillX = value.toReal();
        update();
    });
    repaintOnStyleChange(this);
}

void SegmentedPicker::setSegments(const QStringList &segments)
{
    if (m_segments == segments)
        return;
    m_segments = segments;
    if (m_current >= m_segments.size())
        m_current = -1;
    updateGeometry();
    update();
}

void SegmentedPicker::setCurrentIndex(int index)
{
    if (index < -1 || index >= m_segments.size() || index == m_current)
        return;
    const bool slide = m_current >= 0 && index >= 0 && isVisible();
    m_current = index;
    m_slide->stop();
    if (slide) {
        m_slide->setStartValue(m_pillX);
        m_slide->setEndValue(qreal(index));
        m_slide->start();
    } else {
        m_pillX = index;
    }
    update();
    Q_EMIT currentIndexChanged(index);
}

QRectF SegmentedPicker::segmentRect(int index) const
{
    if (m_segments.isEmpty())
        return {};
    const qreal w = (width() - 2 * kInset) / m_segments.size();
    return {kInset + index * w, kInset, w, height() - 2 * kInset};
}

QSize SegmentedPicker::sizeHint() const
{
    const QFontMetricsF metrics(segmentFont(true));
    qreal widest = 0;
    for (const QString &s : m_segments)
        widest = std::max(widest, metrics.horizontalAdvance(s));
    return QSize(int(std::ceil((widest + 20) * std::max<qsizetype>(1, m_segments.size()) + 2 * kInset)), int(kHeight));
}

void SegmentedPicker::choose(int index)
{
    if (index < 0 || index >= m_segments.size())
        return;
    setCurrentIndex(index);
    Q_EMIT activated(index);
}

void SegmentedPicker::mousePressEvent(QMouseEvent *event)
{
    for (int i = 0; i < m_segments.size(); ++i) {
        if (segmentRect(i).contains(event->position())) {
            choose(i);
            return;
        }
    }
}

void SegmentedPicker::keyPressEvent(QKeyEvent *event)
{
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    if (event->key() == Qt::Key_Left)
        choose(std::max(0, m_current + (rtl ? 1 : -1)));
    else if (event->key() == Qt::Key_Right)
        choose(std::min(int(m_segments.size()) - 1, m_current + (rtl ? -1 : 1)));
    else
        QWidget::keyPressEvent(event);
}

void SegmentedPicker::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(kBorder / 2, kBorder / 2, -kBorder / 2, -kBorder / 2);
    const QPainterPath trackShape = continuousRoundedRect(track, kRadius);
    painter.fillPath(trackShape, style.innerShade());
    QColor border = style.hairline();
    border.setAlphaF(border.alphaF() * 0.45f);
    painter.strokePath(trackShape, QPen(border, kBorder));
    if (m_segments.isEmpty())
        return;

    const qreal w = (width() - 2 * kInset) / m_segments.size();
    if (m_current >= 0) {
        const QRectF pill(kInset + m_pillX * w, kInset, w, height() - 2 * kInset);
        const QPainterPath pillShape = continuousRoundedRect(pill, kRadius - kInset);
        painter.fillPath(pillShape, style.surfaceRaised());
        painter.strokePath(pillShape, QPen(border, kBorder));
    }
    for (int i = 0; i < m_segments.size(); ++i) {
        const bool chosen = i == m_current;
        // Separators between unchosen neighbours.
        if (i > 0 && i != m_current && i - 1 != m_current) {
            painter.setPen(QPen(style.line(), 1));
            const qreal x = std::round(kInset + i * w) + 0.5;
            painter.drawLine(QPointF(x, height() * 0.3), QPointF(x, height() * 0.7));
        }
        painter.setFont(segmentFont(chosen));
        painter.setPen(chosen ? style.text() : style.secondaryText());
        const QRectF r = segmentRect(i);
        painter.drawText(r, Qt::AlignCenter,
                         QFontMetricsF(painter.font()).elidedText(m_segments.at(i), Qt::ElideRight, r.width() - 8));
    }
    if (hasFocus()) {
        QColor focus = style.primaryButtonFill();
        focus.setAlphaF(0.6f);
        painter.strokePath(trackShape, QPen(focus, 1.5));
    }
}

} // namespace kolu
