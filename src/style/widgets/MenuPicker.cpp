#include "style/widgets/MenuPicker.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QActionGroup>
#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr qreal kPadX = 10, kChevron = 9, kGap = 6, kRadius = 8, kBorder = 0.7, kHeight = 26;
QFont pickerFont()
{
    return OrlixFonts::system(12, QFont::DemiBold);
}
} // namespace

MenuPicker::MenuPicker(const QStringList &items, QWidget *parent)
    : QToolButton(parent)
{
    setObjectName(u"menuPicker"_s);
    setPopupMode(QToolButton::InstantPopup);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setMenu(new QMenu(this));
    menu()->setObjectName(u"menuPickerMenu"_s);
    setItems(items);
    repaintOnStyleChange(this);
}

void MenuPicker::setItems(const QStringList &items)
{
    m_items = items;
    if (m_current >= m_items.size())
        m_current = -1;
    rebuildMenu();
    updateGeometry();
    update();
}

void MenuPicker::setCurrentIndex(int index)
{
    if (index < -1 || index >= m_items.size() || index == m_current)
        return;
    m_current = index;
    const QList<QAction *> actions = menu()->actions();
    for (int i = 0; i < actions.size(); ++i)
        actions.at(i)->setChecked(i == index);
    update();
}

void MenuPicker::rebuildMenu()
{
    menu()->clear();
    auto *group = new QActionGroup(menu());
    group->setExclusive(true);
    for (int i = 0; i < m_items.size(); ++i) {
        QAction *action = menu()->addAction(m_items.at(i));
        action->setObjectName(u"menuPickerItem%1"_s.arg(i));
        action->setCheckable(true);
        action->setChecked(i == m_current);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] {
            setCurrentIndex(i);
            Q_EMIT activated(i);
        });
    }
}

void MenuPicker::resizeEvent(QResizeEvent *event)
{
    // The menu opens under the picker's leading edge: never narrower.
    menu()->setMinimumWidth(width());
    QToolButton::resizeEvent(event);
}

QSize MenuPicker::sizeHint() const
{
    const QFontMetricsF metrics(pickerFont());
    qreal widest = 0;
    for (const QString &item : m_items)
        widest = std::max(widest, metrics.horizontalAdvance(item));
    return QSize(int(std::ceil(widest + 2 * kPadX + kGap + kChevron)), int(kHeight));
}

void MenuPicker::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QRectF box = QRectF(rect()).adjusted(kBorder / 2, kBorder / 2, -kBorder / 2, -kBorder / 2);
    const QPainterPath shape = continuousRoundedRect(box, kRadius);
    QColor fill = style.surfaceRaised();
    if (isDown())
        fill.setAlphaF(fill.alphaF() * 0.7f);
    painter.fillPath(shape, fill);
    QColor border = style.hairline();
    border.setAlphaF(border.alphaF() * 0.45f);
    painter.strokePath(shape, QPen(border, kBorder));

    const QRectF textRect(kPadX, 0, width() - 2 * kPadX - kGap - kChevron, height());
    painter.setFont(pickerFont());
    painter.setPen(style.text());
    const QString title = m_current >= 0 ? m_items.at(m_current) : QString();
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                     QFontMetricsF(painter.font()).elidedText(title, Qt::ElideRight, textRect.width()));
    IconProvider::paint(painter, QRectF(width() - kPadX - kChevron, 0, kChevron, height()), u"chevron.down"_s, kChevron,
                        style.secondaryText(), IconWeight::bold);
}

} // namespace kolu
