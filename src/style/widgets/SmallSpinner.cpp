#include "style/widgets/SmallSpinner.h"

#include "style/OrlixStyle.h"
#include "style/WidgetSnapshot.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr int kSpokes = 12;
}

SmallSpinner::SmallSpinner(QWidget *parent, int diameter)
    : QWidget(parent)
    , m_diameter(diameter)
    , m_animation(new QVariantAnimation(this))
{
    setObjectName(u"smallSpinner"_s);
    setFixedSize(diameter, diameter);
    m_animation->setStartValue(0);
    m_animation->setEndValue(kSpokes);
    m_animation->setDuration(1000);
    m_animation->setLoopCount(-1);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        const int phase = value.toInt() % kSpokes;
        if (phase != m_phase) {
            m_phase = phase;
            update();
            WidgetSnapshot::markChanged(this);
        }
    });
    repaintOnStyleChange(this);
}

void SmallSpinner::setColor(const QColor &color)
{
    m_color = color;
    update();
}

bool SmallSpinner::isAnimating() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

void SmallSpinner::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_animation->start();
}

void SmallSpinner::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_animation->stop();
}

void SmallSpinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor base = m_color.isValid() ? m_color : OrlixStyle::current().secondaryText();
    const qreal r = m_diameter / 2.0;
    painter.translate(width() / 2.0, height() / 2.0);
    QPen pen(base, std::max(1.0, m_diameter / 9.0), Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < kSpokes; ++i) {
        // The brightest spoke leads; the rest fade behind it.
        const int age = (m_phase - i + kSpokes) % kSpokes;
        QColor c = base;
        c.setAlphaF(base.alphaF() * float(1.0 - 0.75 * age / (kSpokes - 1)));
        pen.setColor(c);
        painter.setPen(pen);
        painter.save();
        painter.rotate(i * 360.0 / kSpokes);
        painter.drawLine(QPointF(0, -r * 0.45), QPointF(0, -r * 0.85));
        painter.restore();
    }
}

} // namespace kolu
