#include "style/widgets/ColorWell.h"

#include "style/ContinuousCorners.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QColorDialog>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace kolu {

ColorWell::ColorWell(QWidget *parent)
    : QAbstractButton(parent)
    , m_color(Qt::white)
{
    setObjectName(u"colorWell"_s);
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::clicked, this, &ColorWell::openDialog);
    repaintOnStyleChange(this);
}

void ColorWell::setColor(const QColor &color)
{
    if (!color.isValid() || color == m_color)
        return;
    m_color = color;
    if (m_dialog && m_dialog->currentColor() != color) {
        const QSignalBlocker quiet(m_dialog.data());
        m_dialog->setCurrentColor(color);
    }
    update();
}

void ColorWell::pick(const QColor &color)
{
    if (!color.isValid())
        return;
    m_color = color;
    update();
    Q_EMIT colorPicked(color);
}

void ColorWell::openDialog()
{
    if (m_dialog && m_dialog->isVisible()) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    delete m_dialog.data(); // closed, waiting to be deleted
    m_colorAtOpen = m_color;
    auto *dialog = new QColorDialog(m_color, this);
    dialog->setObjectName(u"colorWellDialog"_s);
    // The desktop's own dialog reports only the final choice; ours reports
    // every colour as it is chosen, so the views follow live.
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setOption(QColorDialog::ShowAlphaChannel, false);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::currentColorChanged, this, &ColorWell::pick);
    connect(dialog, &QColorDialog::colorSelected, this, &ColorWell::pick);
    connect(dialog, &QDialog::rejected, this, [this] {
        if (m_color != m_colorAtOpen)
            pick(m_colorAtOpen);
    });
    m_dialog = dialog;
    dialog->open();
}

void ColorWell::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(style.hairline(), 0.8));
    painter.setBrush(style.surfaceRaised());
    painter.drawPath(continuousRoundedRect(outer, 6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color);
    painter.drawPath(continuousRoundedRect(outer.adjusted(3, 3, -3, -3), 4));
}

} // namespace kolu
