#include "style/widgets/OrlixDateField.h"

#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/PopupPlacement.h"
#include "style/widgets/ChoicePopup.h"
#include "style/widgets/MonthPopup.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kPadX = 8, kPadY = 6;

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
    case Qt::Key_Up: step(1, false); break;
    case Qt::Key_Down: step(-1, false); break;
    case Qt::Key_PageUp: step(1, true); break;
    case Qt::Key_PageDown: step(-1, true); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: openPopup(); break;
    default: QWidget::keyPressEvent(event); return;
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
    KitPopup *popup = nullptr;
    if (m_mode == Mode::date) {
        auto *month = new MonthPopup(m_value.date(), m_today ? m_today() : QDate::currentDate(), this);
        month->setObjectName(u"datePopup"_s);
        connect(month, &MonthPopup::dayChosen, this,
                [this](QDate day) { setValueFromUser(QDateTime(day, m_value.time())); });
        popup = month;
    } else {
        QStringList times;
        const int now = m_value.time().hour() * 60 + m_value.time().minute();
        int chosen = 0;
        for (int minutes = 0; minutes < 24 * 60; minutes += 30) {
            times << format(QDateTime(m_value.date(), QTime(minutes / 60, minutes % 60)));
            if (minutes <= now)
                chosen = minutes / 30;
        }
        auto *list = new ChoicePopup(times, chosen, this);
        list->setObjectName(u"timePopup"_s);
        connect(list, &ChoicePopup::chosen, this,
                [this](int index) { setValueFromUser(QDateTime(m_value.date(), QTime(index / 2, index % 2 * 30))); });
        popup = list;
    }
    m_popup = popup;
    showPopupFor(popup, this, popup->sizeHint());
    popup->setFocus(Qt::PopupFocusReason);
    if (auto *list = qobject_cast<ChoicePopup *>(popup))
        list->centreCurrent();
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
