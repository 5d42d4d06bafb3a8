#include "style/widgets/OrlixDateField.h"

#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/StyledWidget.h"

#include <QCalendarWidget>
#include <QPointer>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kPadX = 8, kPadY = 6;

QPalette themedPalette(QPalette palette)
{
    const OrlixStyle &style = OrlixStyle::current();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, style.surfaceRaised());
        palette.setColor(group, QPalette::Base, style.surface());
        palette.setColor(group, QPalette::AlternateBase, style.surfaceRaised());
        palette.setColor(group, QPalette::Button, style.surfaceRaised());
        palette.setColor(group, QPalette::WindowText, style.text());
        palette.setColor(group, QPalette::Text, style.text());
        palette.setColor(group, QPalette::ButtonText, style.text());
        palette.setColor(group, QPalette::Highlight, style.primaryButtonFill());
        palette.setColor(group, QPalette::HighlightedText, style.primaryButtonLabel());
    }
    palette.setColor(QPalette::Disabled, QPalette::Text, style.mutedText());
    return palette;
}

} // namespace

OrlixDateField::OrlixDateField(Mode mode, QWidget *parent)
    : QWidget(parent)
    , m_mode(mode)
    , m_value(QDate(2026, 1, 1), QTime(9, 0))
{
    setObjectName(mode == Mode::date ? u"dateField"_s : u"timeField"_s);
    setFont(OrlixFonts::system(12, QFont::Medium));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

QString OrlixDateField::format(const QDateTime &value) const
{
    return DateText::user().format(value, m_mode == Mode::date ? u"yMMMd"_s : u"jmm"_s);
}

QString OrlixDateField::text() const
{
    return format(m_value);
}

void OrlixDateField::setValue(const QDateTime &value)
{
    if (!value.isValid() || value == m_value)
        return;
    m_value = value;
    setAccessibleName(text());
    update();
}

void OrlixDateField::setValueFromUser(const QDateTime &value)
{
    if (!value.isValid() || value == m_value)
        return;
    setValue(value);
    Q_EMIT valueChanged(m_value);
}

QSize OrlixDateField::sizeHint() const
{
    if (m_widestText < 0) {
        // The widest text any value can take, so the field keeps its width.
        const QFontMetricsF metrics(font());
        qreal widest = 0;
        const int year = m_value.date().year();
        if (m_mode == Mode::date) {
            for (int month = 1; month <= 12; ++month)
                widest = std::max(widest,
                                  metrics.horizontalAdvance(format(QDateTime(QDate(year, month, 28), QTime(12, 0)))));
        } else {
            for (const QTime time : {QTime(10, 58), QTime(12, 58), QTime(22, 58), QTime(23, 58)})
                widest = std::max(widest, metrics.horizontalAdvance(format(QDateTime(QDate(year, 1, 1), time))));
        }
        m_widestText = int(std::ceil(widest));
    }
    return {m_widestText + 2 * kPadX + 2, int(std::ceil(QFontMetricsF(font()).height())) + 2 * kPadY};
}

void OrlixDateField::step(int steps, bool large)
{
    if (m_mode == Mode::date)
        setValueFromUser(large ? m_value.addMonths(steps) : m_value.addDays(steps));
    else
        setValueFromUser(QDateTime(m_value.date(), m_value.time().addSecs(steps * (large ? 3600 : 300))));
}

void OrlixDateField::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        step(1, false);
        break;
    case Qt::Key_Down:
        step(-1, false);
        break;
    case Qt::Key_PageUp:
        step(1, true);
        break;
    case Qt::Key_PageDown:
        step(-1, true);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openPopup();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void OrlixDateField::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0 || !isEnabled()) {
        event->ignore();
        return;
    }
    step(steps, false);
    event->accept();
}

void OrlixDateField::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        openPopup();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void OrlixDateField::openPopup()
{
    if (!isEnabled())
        return;
    delete m_popup;
    if (m_mode == Mode::date) {
        auto *frame = new QWidget(this, Qt::Popup);
        frame->setObjectName(u"datePopup"_s);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setPalette(themedPalette(frame->palette()));
        frame->setAutoFillBackground(true);
        auto *layout = new QVBoxLayout(frame);
        layout->setContentsMargins(4, 4, 4, 4);
        auto *calendar = new QCalendarWidget(frame);
        calendar->setObjectName(u"datePopupCalendar"_s);
        calendar->setPalette(frame->palette());
        calendar->setGridVisible(false);
        calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        calendar->setSelectedDate(m_value.date());
        layout->addWidget(calendar);
        connect(calendar, &QCalendarWidget::clicked, this, [this, frame](QDate day) {
            setValueFromUser(QDateTime(day, m_value.time()));
            frame->close();
        });
        connect(calendar, &QCalendarWidget::activated, this, [this, frame](QDate day) {
            setValueFromUser(QDateTime(day, m_value.time()));
            frame->close();
        });
        m_popup = frame;
    } else {
        auto *menu = new QMenu(this);
        menu->setObjectName(u"timePopup"_s);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        QAction *nearest = nullptr;
        const int now = m_value.time().hour() * 60 + m_value.time().minute();
        for (int minutes = 0; minutes < 24 * 60; minutes += 30) {
            const QTime time(minutes / 60, minutes % 60);
            QAction *action = menu->addAction(format(QDateTime(m_value.date(), time)));
            connect(action, &QAction::triggered, this,
                    [this, time] { setValueFromUser(QDateTime(m_value.date(), time)); });
            if (minutes <= now)
                nearest = action;
        }
        menu->setActiveAction(nearest);
        m_popup = menu;
    }
    m_popup->move(mapToGlobal(QPoint(0, height() + 2)));
    m_popup->show();
}

void OrlixDateField::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setOpacity(isEnabled() ? 1.0 : 0.45);
    paintTextFieldFrame(painter, QRectF(rect()));
    painter.setRenderHint(QPainter::Antialiasing);
    if (hasFocus()) {
        QColor ring = style.primaryButtonFill();
        ring.setAlphaF(0.8f);
        painter.setPen(QPen(ring, 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.6, 0.6, -0.6, -0.6), 9, 9);
    }
    painter.setFont(font());
    painter.setPen(style.text());
    const QRect inner = rect().adjusted(kPadX, 0, -kPadX, 0);
    painter.drawText(inner, Qt::AlignCenter, fontMetrics().elidedText(text(), Qt::ElideRight, inner.width()));
}

void OrlixDateField::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_widestText = -1;
    QWidget::changeEvent(event);
}

} // namespace kolu
