#include "cards/links/LinkControls.h"

#include "cards/links/LinkCardRules.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr qreal kRadius = 10;
constexpr int kIconGap = 6;

QFont searchFont()
{
    return OrlixFonts::system(13, QFont::Bold);
}
QFont invitationFont()
{
    return OrlixFonts::system(12, QFont::Bold);
}

// A symbol followed by a text, centred (or left-aligned) in `rect`.
void paintLabel(QPainter &painter, const QRectF &rect, const QString &symbol, const QString &text, const QFont &font,
                const QColor &color, Qt::Alignment alignment)
{
    const QFontMetricsF metrics(font);
    const qreal iconSize = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
    const qreal available = rect.width() - iconSize - kIconGap;
    const QString shown = metrics.elidedText(text, Qt::ElideRight, std::max<qreal>(0, available));
    const qreal total = iconSize + kIconGap + metrics.horizontalAdvance(shown);
    const qreal left = alignment.testFlag(Qt::AlignHCenter) ? rect.left() + (rect.width() - total) / 2 : rect.left();
    IconProvider::paint(painter, QRectF(left, rect.top(), iconSize, rect.height()), symbol, iconSize, color,
                        IconWeight::bold);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(
        QRectF(left + iconSize + kIconGap, rect.top(), rect.right() - left - iconSize - kIconGap, rect.height()),
        Qt::AlignVCenter | Qt::AlignLeft, shown);
}

} // namespace

LinkSearchButton::LinkSearchButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setObjectName(u"linkSearchButton"_s);
    setText(tr("search"));
    setToolTip(tr("Search the web"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

QSize LinkSearchButton::sizeHint() const
{
    const QFontMetricsF metrics(searchFont());
    return {int(std::ceil(metrics.horizontalAdvance(text()) + 13 + kIconGap + 24)), 36};
}

QSize LinkSearchButton::minimumSizeHint() const
{
    return {60, 36};
}

void LinkSearchButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}

void LinkSearchButton::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = linkcard::searchButtonTint(style.theme(), style.tint(RailModule::links), style.heroColor());
    const QColor foreground = linkcard::searchButtonForeground(style.theme(), style.heroColorLuminance());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(drawnOpacity() * (isDown() ? 0.8 : 1.0));
    painter.fillPath(continuousRoundedRect(QRectF(rect()), kRadius), tint);
    paintLabel(painter, QRectF(rect()).adjusted(12, 0, -12, 0), u"magnifyingglass"_s, text(), searchFont(),
               readableOn(foreground, tint), Qt::AlignHCenter);
}

LinkComposerButton::LinkComposerButton(QWidget *parent)
    : ComposerToggleButton(RailModule::links, QSize(34, 34), kRadius, 14, parent)
{
    setObjectName(u"linkComposerButton"_s);
}

LinkComposerInvitation::LinkComposerInvitation(QWidget *parent)
    : QAbstractButton(parent)
{
    setObjectName(u"linkComposerInvitation"_s);
    setText(tr("Add favorite website"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

QSize LinkComposerInvitation::sizeHint() const
{
    const QFontMetricsF metrics(invitationFont());
    return {int(std::ceil(20 + 12 + kIconGap + metrics.horizontalAdvance(text()))),
            int(std::ceil(18 + metrics.height()))};
}

QSize LinkComposerInvitation::minimumSizeHint() const
{
    return {60, sizeHint().height()};
}

void LinkComposerInvitation::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(continuousRoundedRect(QRectF(rect()), kRadius), withAlpha(style.surface(), isDown() ? 0.6 : 0.42));
    paintLabel(painter, QRectF(rect()).adjusted(10, 9, -10, -9), u"link.badge.plus"_s, text(), invitationFont(),
               style.secondaryText(), Qt::AlignLeft);
}

} // namespace kolu
