#include "cards/tray/FileTrayDropZone.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Motion.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr qreal kPadX = 17, kPadY = 18, kBadge = 38, kGap = 14, kLineGap = 4, kRadius = 19, kMinimumHeight = 86;
qreal mix(qreal rest, qreal targeted, qreal t)
{
    return rest + (targeted - rest) * t;
}
const QString kRestTitle = u"Drop your files"_s;
const QString kTargetedTitle = u"Release to hold files"_s;
} // namespace

FileTrayDropZone::FileTrayDropZone(QWidget *parent)
    : QWidget(parent)
    , m_animation(new QVariantAnimation(this))
{
    setObjectName(u"fileTrayDropZone"_s);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    m_animation->setDuration(OrlixMotion::smooth().durationMs);
    m_animation->setEasingCurve(OrlixMotion::smooth().curve);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_progress = value.toReal();
        update();
    });
    setAccessibleName(title());
    repaintOnStyleChange(this);
}

void FileTrayDropZone::setTargeted(bool targeted)
{
    if (targeted == m_targeted)
        return;
    m_targeted = targeted;
    setAccessibleName(title());
    m_animation->stop();
    m_animation->setStartValue(m_progress);
    m_animation->setEndValue(targeted ? 1.0 : 0.0);
    m_animation->start();
    update();
}

QFont FileTrayDropZone::titleFont()
{
    return OrlixFonts::system(15, QFont::Bold);
}

QFont FileTrayDropZone::subtitleFont()
{
    return OrlixFonts::system(11, QFont::DemiBold);
}

QFont FileTrayDropZone::subtitleFont(qreal width)
{
    QFont font = subtitleFont();
    const QString text = subtitle();
    if (QFontMetricsF(font).horizontalAdvance(text) <= width)
        return font;
    // The semi-condensed face of the same family, its letters set a little
    // closer if that is what it takes (a fifth of a pixel at most); beyond
    // that the line is cut short.
    font.setStretch(QFont::SemiCondensed);
    const qreal over = QFontMetricsF(font).horizontalAdvance(text) - width;
    if (over > 0) {
        const qreal perLetter = over / qreal(std::max<qsizetype>(1, text.size() - 1)) + 0.01;
        font.setLetterSpacing(QFont::AbsoluteSpacing, -std::min<qreal>(perLetter, 0.2));
    }
    return font;
}

QString FileTrayDropZone::title() const
{
    return m_targeted ? kTargetedTitle : kRestTitle;
}

QString FileTrayDropZone::symbol() const
{
    return m_targeted ? u"tray.and.arrow.down.fill"_s : u"plus.circle"_s;
}

QString FileTrayDropZone::subtitle()
{
    return u"Drag files here to keep them ready."_s;
}

namespace {

// The text's lines at `width`, two at most, the second elided.
QStringList wrapped(const QString &text, const QFont &font, qreal width)
{
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text) <= width)
        return {text};
    const QStringList words = text.split(u' ');
    QString first;
    int i = 0;
    for (; i < words.size(); ++i) {
        const QString candidate = first.isEmpty() ? words[i] : first + u' ' + words[i];
        if (!first.isEmpty() && metrics.horizontalAdvance(candidate) > width)
            break;
        first = candidate;
    }
    if (i >= words.size())
        return {metrics.elidedText(first, Qt::ElideRight, width)};
    const QString rest = words.mid(i).join(u' ');
    return {metrics.elidedText(first, Qt::ElideRight, width), metrics.elidedText(rest, Qt::ElideRight, width)};
}

// The text column's width in a zone `width` wide.
qreal columnWidthFor(int width)
{
    return std::max<qreal>(20, width - 2 * FileTrayDropZone::kGrowthRoom - 2 * kPadX - kBadge - kGap);
}

// The help line: one line, cut short with an ellipsis if it must be.
QStringList oneLine(const QString &text, const QFont &font, qreal width)
{
    return {QFontMetricsF(font).elidedText(text, Qt::ElideRight, width)};
}

} // namespace

QRectF FileTrayDropZone::panelRect() const
{
    return QRectF(rect()).adjusted(kGrowthRoom, 2, -kGrowthRoom, -2);
}

qreal FileTrayDropZone::textColumnWidth() const
{
    return columnWidthFor(width());
}

qreal FileTrayDropZone::textHeight(qreal width) const
{
    const qreal titleLines = wrapped(title(), titleFont(), width).size();
    return titleLines * QFontMetricsF(titleFont()).height() + kLineGap + QFontMetricsF(subtitleFont()).height();
}

int FileTrayDropZone::heightForWidth(int width) const
{
    // Tall enough for either title, so a hovering drag moves nothing.
    const qreal column = columnWidthFor(width);
    const qreal rest = wrapped(kRestTitle, titleFont(), column).size();
    const qreal targeted = wrapped(kTargetedTitle, titleFont(), column).size();
    const qreal text = std::max(rest, targeted) * QFontMetricsF(titleFont()).height() + kLineGap
                       + QFontMetricsF(subtitleFont()).height();
    return int(std::ceil(std::max(kMinimumHeight, std::max(kBadge, text) + 2 * kPadY) + 4));
}

QSize FileTrayDropZone::sizeHint() const
{
    const int width = std::max(280, this->width());
    return QSize(280, heightForWidth(width));
}

QSize FileTrayDropZone::minimumSizeHint() const
{
    return QSize(int(2 * kPadX + kBadge + kGap + 40), int(kMinimumHeight));
}

void FileTrayDropZone::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = style.tint(RailModule::fileTray);
    const qreal t = m_progress;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // Grows about its centre; kept inside the widget so nothing is cut.
    const qreal scale = mix(1.0, 1.015, t);
    const QRectF bounds = panelRect();
    painter.translate(bounds.center());
    painter.scale(scale, scale);
    painter.translate(-bounds.center());

    const qreal lineWidth = mix(0.9, 1.25, t);
    const QRectF box = bounds.adjusted(lineWidth / 2, lineWidth / 2, -lineWidth / 2, -lineWidth / 2);
    const QPainterPath shape = continuousRoundedRect(box, kRadius);
    painter.fillPath(shape, withAlpha(tint, mix(0.065, 0.18, t)));
    QPen border(withAlpha(tint, mix(0.2, 0.48, t)), lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    border.setMiterLimit(10);
    painter.strokePath(shape, border);

    const QRectF badge(box.left() + kPadX, box.center().y() - kBadge / 2, kBadge, kBadge);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(tint, mix(0.1, 0.2, t)));
    painter.drawEllipse(badge);
    IconProvider::paint(painter, badge, symbol(), 21,
                        OrlixStyle::current().symbolInk(tint, withAlpha(tint, mix(0.1, 0.2, t))), IconWeight::bold);

    const qreal textLeft = badge.right() + kGap;
    const qreal textWidth = textColumnWidth();
    const QFont tFont = titleFont();
    const QFont sFont = subtitleFont(textWidth);
    const QFontMetricsF tMetrics(tFont);
    const QFontMetricsF sMetrics(sFont);
    const QStringList titleLines = wrapped(title(), tFont, textWidth);
    const QStringList subtitleLines = oneLine(subtitle(), sFont, textWidth);
    qreal y = box.center().y() - textHeight(textWidth) / 2;
    painter.setFont(tFont);
    painter.setPen(m_targeted ? style.text() : style.secondaryText());
    for (const QString &line : titleLines) {
        painter.drawText(QRectF(textLeft, y, textWidth, tMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += tMetrics.height();
    }
    y += kLineGap;
    painter.setFont(sFont);
    painter.setPen(style.readable(style.secondaryText()));
    for (const QString &line : subtitleLines) {
        painter.drawText(QRectF(textLeft, y, textWidth, sMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += sMetrics.height();
    }
}

} // namespace kolu
