#include "style/widgets/OrlixCheckBox.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

OrlixCheckBox::OrlixCheckBox(const QString &text, QWidget *parent)
    : QAbstractButton(parent)
{
    setObjectName(u"checkBox"_s);
    setText(text);
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFont(OrlixFonts::system(11, QFont::Bold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

QSize OrlixCheckBox::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return {kBox + kGap + int(std::ceil(metrics.horizontalAdvance(text()))) + 1,
            std::max(kBox + 4, int(std::ceil(metrics.height())))};
}

void OrlixCheckBox::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? (isDown() ? 0.75 : 1.0) : 0.45);
    const QRectF box(0.5, (height() - kBox) / 2.0, kBox - 1, kBox - 1);
    const QPainterPath shape = continuousRoundedRect(box, 4);
    if (isChecked()) {
        painter.fillPath(shape, style.primaryButtonFill());
        IconProvider::paint(painter, box, u"checkmark"_s, 9, style.primaryButtonLabel(), IconWeight::bold);
    } else {
        painter.fillPath(shape, style.innerShade());
        painter.strokePath(shape, QPen(withAlpha(style.hairline(), 0.7), 0.8));
    }
    if (hasFocus()) {
        painter.strokePath(continuousRoundedRect(box.adjusted(-1.5, -1.5, 1.5, 1.5), 5),
                           QPen(withAlpha(style.primaryButtonFill(), 0.8), 1.2));
    }
    painter.setPen(style.text());
    painter.setFont(font());
    const QRectF label(kBox + kGap, 0, width() - kBox - kGap, height());
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, int(label.width())));
}

} // namespace kolu
