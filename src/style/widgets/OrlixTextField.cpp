#include "style/widgets/OrlixTextField.h"

#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/StyledWidget.h"

#include <QEvent>
#include <QPainter>
#include <QTextDocument>
#include <QTextOption>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr qreal kRadius = 9, kBorder = 0.8;
constexpr int kPadX = 10, kPadY = 8;

QPalette fieldPalette(QPalette palette, bool ownSelection)
{
    const OrlixStyle &style = OrlixStyle::current();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::transparent);
        palette.setColor(group, QPalette::Text, style.text());
        palette.setColor(group, QPalette::PlaceholderText, style.mutedText());
        if (ownSelection) {
            palette.setColor(group, QPalette::Highlight, style.primaryButtonFill());
            palette.setColor(group, QPalette::HighlightedText, style.primaryButtonLabel());
        }
    }
    return palette;
}

} // namespace

void paintTextFieldFrame(QPainter &painter, const QRectF &rect)
{
    const OrlixStyle &style = OrlixStyle::current();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape =
        continuousRoundedRect(rect.adjusted(kBorder / 2, kBorder / 2, -kBorder / 2, -kBorder / 2), kRadius);
    painter.fillPath(shape, style.innerShade());
    QColor border = style.hairline();
    border.setAlphaF(border.alphaF() * 0.45f);
    painter.strokePath(shape, QPen(border, kBorder));
    painter.restore();
}

OrlixTextField::OrlixTextField(QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(u"textField"_s);
    setFrame(false);
    setFont(OrlixFonts::system(13, QFont::Medium));
    setTextMargins(kPadX, kPadY, kPadX, kPadY);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    applyStyle();
    onStyleChange(this, &OrlixTextField::applyStyle);
}

void OrlixTextField::setBare(bool bare)
{
    if (bare == m_bare)
        return;
    m_bare = bare;
    if (bare)
        setTextMargins(0, 0, 0, 0);
    else
        setTextMargins(kPadX, kPadY, kPadX, kPadY);
    applyStyle();
    updateGeometry();
}

void OrlixTextField::applyStyle()
{
    // A bare field forgets the kit's selection colours: it inherits them.
    if (m_bare)
        setPalette(QPalette());
    setPalette(fieldPalette(palette(), !m_bare));
    update();
}

QSize OrlixTextField::sizeHint() const
{
    const QSize hint = QLineEdit::sizeHint();
    if (m_bare)
        return hint;
    return {hint.width(), fontMetrics().height() + 2 * kPadY};
}

void OrlixTextField::paintEvent(QPaintEvent *event)
{
    if (!m_bare) {
        QPainter painter(this);
        paintTextFieldFrame(painter, rect());
    }
    QLineEdit::paintEvent(event);
}

OrlixTextArea::OrlixTextArea(QWidget *parent)
    : QTextEdit(parent)
{
    // Plain text only: what is pasted keeps its words, not its looks.
    setAcceptRichText(false);
    setObjectName(u"textArea"_s);
    setFrameShape(QFrame::NoFrame);
    // The desktop's scroll bars would clash with the field; it still
    // scrolls with the wheel, the keyboard and the caret.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFont(OrlixFonts::system(13, QFont::Medium));
    // The padding is the document's margin, so the viewport (and the frame
    // painted on it) covers the whole field.
    document()->setDocumentMargin(kPadY);
    followParagraphDirections();
    viewport()->setAutoFillBackground(false);
    applyStyle();
    onStyleChange(this, &OrlixTextArea::applyStyle);
}

void OrlixTextArea::followParagraphDirections()
{
    // Each paragraph runs the way its own text reads: a right-to-left one
    // starts at the right edge, whatever the widget's direction.
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(Qt::LayoutDirectionAuto);
    document()->setDefaultTextOption(option);
}

void OrlixTextArea::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    // A change of the widget's direction writes it into the document again.
    if (event->type() == QEvent::LayoutDirectionChange)
        followParagraphDirections();
}

void OrlixTextArea::applyStyle()
{
    QPalette palette = fieldPalette(this->palette(), true);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Window, Qt::transparent);
    setPalette(palette);
    update();
}

void OrlixTextArea::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(viewport());
        paintTextFieldFrame(painter, viewport()->rect());
    }
    QTextEdit::paintEvent(event);
}

} // namespace kolu
