#include "cards/calendar/AttendeeInitialsStack.h"

#include "style/Fonts.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QColor attendeeFill(int index)
{
    const QColor palette[] = {OrlixStyle::current().tint(RailModule::calendar), QColor::fromRgbF(0.44f, 0.58f, 0.92f),
                              QColor::fromRgbF(0.28f, 0.72f, 0.62f)};
    return withAlpha(palette[index % 3], 0.88);
}

} // namespace

AttendeeInitialsStack::AttendeeInitialsStack(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"attendeeInitials"_s);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
    hide();
}

void AttendeeInitialsStack::setInitials(const QStringList &initials)
{
    if (initials == m_initials)
        return;
    m_initials = initials;
    setVisible(!initials.isEmpty());
    updateGeometry();
    update();
}

int AttendeeInitialsStack::circleCount() const
{
    return int(std::min<qsizetype>(m_initials.size(), kShown));
}

QString AttendeeInitialsStack::badgeText() const
{
    return m_initials.size() > kShown ? u"+"_s + QString::number(m_initials.size() - kShown) : QString();
}

QSize AttendeeInitialsStack::sizeHint() const
{
    const int count = circleCount() + (badgeText().isEmpty() ? 0 : 1);
    if (count == 0)
        return {0, 0};
    return {count * kCircle - (count - 1) * kOverlap, kCircle};
}

void AttendeeInitialsStack::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPen ring(withAlpha(style.surface(), 0.9), 1.5);
    const int circles = circleCount();
    auto place = [](int i) {
        return QRectF(i * (kCircle - kOverlap), 0, kCircle, kCircle).adjusted(0.75, 0.75, -0.75, -0.75);
    };

    // Back to front: the badge lies below the circles, the first circle on top.
    const QString badge = badgeText();
    if (!badge.isEmpty()) {
        const QRectF r = place(circles);
        painter.setPen(ring);
        painter.setBrush(withAlpha(style.surfaceRaised(), 0.9));
        painter.drawEllipse(r);
        const QFont font = OrlixFonts::system(9, QFont::Black);
        painter.setFont(font);
        painter.setPen(style.text());
        painter.drawText(r, Qt::AlignCenter, QFontMetricsF(font).elidedText(badge, Qt::ElideRight, r.width() - 2));
    }
    const QFont font = OrlixFonts::system(10, QFont::Black);
    painter.setFont(font);
    for (int i = circles - 1; i >= 0; --i) {
        const QRectF r = place(i);
        painter.setPen(ring);
        painter.setBrush(attendeeFill(i));
        painter.drawEllipse(r);
        // White unless the fill is too light for it.
        painter.setPen(style.readableOnFill(Qt::white, attendeeFill(i)));
        painter.drawText(r, Qt::AlignCenter,
                         QFontMetricsF(font).elidedText(m_initials.at(i), Qt::ElideRight, r.width() - 4));
    }
}

} // namespace kolu
