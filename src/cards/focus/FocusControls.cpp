#include "cards/focus/FocusControls.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kTitleWidth = 86;

} // namespace

FocusMinuteButton::FocusMinuteButton(const QString &symbol, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setFixedSize(34, 34);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    repaintOnStyleChange(this);
}

void FocusMinuteButton::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    const QColor colour = isEnabled() ? style.text() : withAlpha(style.mutedText(), 0.44);
    IconProvider::paint(painter, rect(), m_symbol, 18, colour, IconWeight::bold);
}

FocusMinutesButton::FocusMinutesButton(QWidget *parent)
    : QAbstractButton(parent)
    , m_tint(OrlixStyle::current().tint(RailModule::focus))
{
    setFixedSize(76, 30);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(u"Edit focus duration"_s);
    repaintOnStyleChange(this);
}

void FocusMinutesButton::setMinutes(int minutes)
{
    const QString text = u"%1 min"_s.arg(minutes);
    if (this->text() == text)
        return;
    setText(text);
    update();
}

void FocusMinutesButton::setTint(const QColor &tint)
{
    if (m_tint == tint)
        return;
    m_tint = tint;
    update();
}

void FocusMinutesButton::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    const QPainterPath path = continuousRoundedRect(capsule, capsule.height() / 2);
    painter.fillPath(path, withAlpha(style.surfaceRaised(), 0.46));
    painter.setPen(QPen(withAlpha(style.hairline(), 0.3), 0.8));
    painter.drawPath(path);
    painter.setFont(OrlixFonts::monospacedDigits(13, QFont::Bold));
    painter.setPen(isEnabled() ? style.readable(m_tint) : withAlpha(style.mutedText(), 0.56));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

FocusDurationControl::FocusDurationControl(QWidget *parent)
    : QWidget(parent)
    , m_minus(new FocusMinuteButton(u"minus"_s, this))
    , m_minutes(new FocusMinutesButton(this))
    , m_plus(new FocusMinuteButton(u"plus"_s, this))
{
    m_minus->setObjectName(u"focusMinusButton"_s);
    m_minutes->setObjectName(u"focusMinutesButton"_s);
    m_plus->setObjectName(u"focusPlusButton"_s);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addStretch(1);
    row->addWidget(m_minus);
    row->addWidget(m_minutes);
    row->addWidget(m_plus);
    row->addStretch(1);
    connect(m_minus, &QAbstractButton::clicked, this, &FocusDurationControl::decrement);
    connect(m_plus, &QAbstractButton::clicked, this, &FocusDurationControl::increment);
    connect(m_minutes, &QAbstractButton::clicked, this, &FocusDurationControl::beginEditing);
}

void FocusDurationControl::setMinutes(int minutes)
{
    m_minutes->setMinutes(minutes);
}

void FocusDurationControl::setTint(const QColor &tint)
{
    m_minutes->setTint(tint);
}

void FocusDurationControl::setLocked(bool locked)
{
    for (QWidget *button :
         {static_cast<QWidget *>(m_minus), static_cast<QWidget *>(m_minutes), static_cast<QWidget *>(m_plus)})
        button->setEnabled(!locked);
}

FocusSettingsRow::FocusSettingsRow(const QString &title, QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
{
    auto *row = new QHBoxLayout(this);
    // The caption is painted in the leading column.
    row->setContentsMargins(kTitleWidth + 7, 0, 0, 0);
    row->setSpacing(7);
    row->addStretch(1);
    row->addWidget(content);
    setMinimumHeight(content->sizeHint().height());
    repaintOnStyleChange(this);
}

void FocusSettingsRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(OrlixFonts::system(12, QFont::Bold));
    painter.setPen(OrlixStyle::current().secondaryText());
    const QRect column(0, 0, kTitleWidth, height());
    painter.drawText(column, Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(m_title, Qt::ElideRight, kTitleWidth));
}

} // namespace kolu
