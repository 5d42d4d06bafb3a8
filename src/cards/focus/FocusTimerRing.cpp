#include "cards/focus/FocusTimerRing.h"

#include "style/Fonts.h"
#include "style/Motion.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ShrinkLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kCentreWidth = 156;
constexpr int kTimeWidth = 142;
constexpr qreal kTimeSize = 44;

} // namespace

FocusDurationField::FocusDurationField(QWidget *parent)
    : QLineEdit(parent)
{
}

void FocusDurationField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        Q_EMIT cancelled();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

FocusTimeButton::FocusTimeButton(QWidget *parent)
    : QAbstractButton(parent)
    , m_label(new ShrinkLabel({}, this))
{
    m_label->setFont(OrlixFonts::monospacedDigits(kTimeSize, QFont::Medium));
    m_label->setMinimumScaleFactor(0.72);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kTimeWidth, m_label->sizeHint().height());
}

void FocusTimeButton::setDisplayTime(const QString &time)
{
    if (m_label->text() == time)
        return;
    m_label->setText(time);
    setText(time);
}

void FocusTimeButton::paintEvent(QPaintEvent *)
{
    // The label draws the time; the button only takes the clicks.
}

void FocusTimeButton::resizeEvent(QResizeEvent *event)
{
    QAbstractButton::resizeEvent(event);
    m_label->setGeometry(rect());
}

FocusTimerRing::FocusTimerRing(QWidget *parent)
    : QWidget(parent)
    , m_time(new FocusTimeButton(this))
    , m_field(new FocusDurationField(this))
    , m_caption(new ShrinkLabel({}, this))
    , m_tint(OrlixStyle::current().tint(RailModule::focus))
{
    setObjectName(u"focusRing"_s);
    setFixedSize(kSize, kSize);
    m_time->setObjectName(u"focusTimeButton"_s);
    m_field->setObjectName(u"focusDurationField"_s);
    m_caption->setObjectName(u"focusModeTitle"_s);

    m_field->setFrame(false);
    m_field->setAlignment(Qt::AlignCenter);
    m_field->setPlaceholderText(u"25:00"_s);
    m_field->setFont(OrlixFonts::monospacedDigits(kTimeSize, QFont::Medium));
    m_field->setFixedWidth(kTimeWidth);
    // As tall as the time it stands in for, so the caption below stays put.
    m_field->setFixedHeight(m_time->height());
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_field->hide();
    auto applyFieldColours = [this] {
        QPalette palette = m_field->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        palette.setColor(QPalette::Text, OrlixStyle::current().text());
        palette.setColor(QPalette::PlaceholderText, OrlixStyle::current().mutedText());
        // Selected digits in the theme's colours, not the toolkit's blue.
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Highlight, OrlixStyle::current().primaryButtonFill());
            palette.setColor(group, QPalette::HighlightedText, OrlixStyle::current().primaryButtonLabel());
        }
        m_field->setPalette(palette);
    };
    applyFieldColours();
    onStyleChange(m_field, applyFieldColours);

    m_caption->setFont(OrlixFonts::rounded(13, QFont::Black));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setColor(OrlixStyle::current().readable(m_tint));
    onStyleChange(m_caption, [this] { m_caption->setColor(OrlixStyle::current().readable(m_tint)); });

    auto *centre = new QWidget(this);
    centre->setFixedWidth(kCentreWidth);
    auto *column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(m_time, 0, Qt::AlignHCenter);
    column->addWidget(m_field, 0, Qt::AlignHCenter);
    column->addWidget(m_caption);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(centre, 0, Qt::AlignCenter);

    setCanEditDuration(true);
    m_canEdit = true;
    m_time->setToolTip(u"Edit duration"_s);
    connect(m_time, &QAbstractButton::clicked, this, &FocusTimerRing::beginEditingRequested);
    connect(m_field, &QLineEdit::returnPressed, this, &FocusTimerRing::commitRequested);
    connect(m_field, &FocusDurationField::cancelled, this, &FocusTimerRing::cancelRequested);
    repaintOnStyleChange(this);
}

void FocusTimerRing::setDisplayTime(const QString &time)
{
    m_time->setDisplayTime(time);
}

void FocusTimerRing::setProgress(double progress)
{
    progress = std::clamp(progress, 0.0, 1.0);
    if (m_progress == progress)
        return;
    m_progress = progress;
    const bool moving = m_arc && m_arc->state() == QAbstractAnimation::Running;
    if (m_arc)
        m_arc->stop();
    if (!isVisible()) {
        m_shownProgress = progress;
        update();
        return;
    }
    // A second's tick of a long session moves the arc's end by a fraction of
    // a pixel: carried by the spring it would only repaint the dial for half
    // a second without anything to see, so it lands at once.
    const qreal radius = trackRect().width() / 2;
    if (!moving && std::abs(progress - m_shownProgress) * 2 * M_PI * radius * devicePixelRatioF() < 1) {
        const double from = m_shownProgress;
        m_shownProgress = progress;
        update(sweptRect(from, progress));
        return;
    }
    if (!m_arc) {
        m_arc = new QVariantAnimation(this);
        applyMotion(m_arc, OrlixMotion::smooth());
        connect(m_arc, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
            const double from = m_shownProgress;
            m_shownProgress = value.toDouble();
            update(sweptRect(from, m_shownProgress));
        });
    }
    m_arc->setStartValue(m_shownProgress);
    m_arc->setEndValue(progress);
    runMotion(m_arc);
}

void FocusTimerRing::setTint(const QColor &tint)
{
    if (m_tint == tint)
        return;
    m_tint = tint;
    m_caption->setColor(OrlixStyle::current().readable(tint));
    update();
}

void FocusTimerRing::setModeTitle(const QString &title)
{
    m_caption->setText(title);
}

void FocusTimerRing::setCanEditDuration(bool canEdit)
{
    if (m_canEdit == canEdit)
        return;
    m_canEdit = canEdit;
    m_time->setEnabled(canEdit);
    m_time->setToolTip(canEdit ? u"Edit duration"_s : u"Duration locked while this session is active"_s);
}

void FocusTimerRing::setEditing(bool editing)
{
    if (m_editing == editing)
        return;
    m_editing = editing;
    m_time->setVisible(!editing);
    m_field->setVisible(editing);
    QWidget *incoming = editing ? static_cast<QWidget *>(m_field) : m_time;
    if (m_swap)
        m_swap->stop();
    m_time->setGraphicsEffect(nullptr);
    m_field->setGraphicsEffect(nullptr);
    m_fadeIn = nullptr;
    if (isVisible()) {
        m_fadeIn = new QGraphicsOpacityEffect(incoming);
        m_fadeIn->setOpacity(0);
        incoming->setGraphicsEffect(m_fadeIn);
        if (!m_swap) {
            m_swap = new QVariantAnimation(this);
            applyMotion(m_swap, OrlixMotion::smooth());
            m_swap->setStartValue(0.0);
            m_swap->setEndValue(1.0);
            connect(m_swap, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
                if (m_fadeIn)
                    m_fadeIn->setOpacity(std::clamp(value.toDouble(), 0.0, 1.0));
            });
            connect(m_swap, &QVariantAnimation::finished, this, [this] {
                // Settled, the time and the field paint without an offscreen pass.
                m_time->setGraphicsEffect(nullptr);
                m_field->setGraphicsEffect(nullptr);
                m_fadeIn = nullptr;
            });
        }
        runMotion(m_swap);
    }
    if (editing) {
        // Typing goes straight into the field: the panel takes the keyboard.
        if (QWidget *top = window(); top->isVisible() && !top->isActiveWindow())
            top->activateWindow();
        m_field->setFocus(Qt::OtherFocusReason);
        m_field->selectAll();
    }
}

qreal FocusTimerRing::swapOpacity() const
{
    return m_fadeIn ? m_fadeIn->opacity() : 1.0;
}

bool FocusTimerRing::isMoving() const
{
    const auto running = [](const QVariantAnimation *a) { return a && a->state() == QAbstractAnimation::Running; };
    return running(m_arc) || running(m_swap);
}

QRectF FocusTimerRing::dialRect()
{
    const qreal margin = (kSize - kDialSize) / 2.0;
    return {margin, margin, kDialSize, kDialSize};
}

QRectF FocusTimerRing::trackRect()
{
    return dialRect().adjusted(kTrackInset, kTrackInset, -kTrackInset, -kTrackInset);
}

QRect FocusTimerRing::sweptRect(double from, double to) const
{
    // The arc's end moves a fraction of a degree at each second's tick: only
    // what it passes over is painted again, not the whole dial, while the
    // spring carries it.
    from = std::clamp(from, 0.0, 1.0);
    to = std::clamp(to, 0.0, 1.0);
    if (from > to)
        std::swap(from, to);
    const QRectF track = trackRect();
    const QPointF centre = track.center();
    const qreal radius = track.width() / 2;
    const auto pointAt = [&](double progress) {
        const double angle = progress * 2 * M_PI; // clockwise from the top
        return centre + QPointF(radius * std::sin(angle), -radius * std::cos(angle));
    };
    QRectF swept(pointAt(from), QSizeF(0, 0));
    // Points every few degrees, so that the rectangle holds the arc between them.
    const int steps = std::max(1, static_cast<int>(std::ceil((to - from) * 72)));
    for (int i = 1; i <= steps; ++i)
        swept |= QRectF(pointAt(from + (to - from) * i / steps), QSizeF(0, 0));
    // The round cap, and the chord's bulge between two points, with room for antialiasing.
    const qreal reach = kLineWidth / 2 + radius * (1 - std::cos(M_PI / 72)) + 2;
    return swept.adjusted(-reach, -reach, reach, reach).toAlignedRect() & rect();
}

void FocusTimerRing::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF dial = dialRect();

    // A soft tinted glow under the dial.
    for (int i = 0; i < 4; ++i) {
        const qreal spread = 3.5 * (i + 1);
        painter.setPen(Qt::NoPen);
        painter.setBrush(withAlpha(m_tint, 0.07 / 4));
        painter.drawEllipse(dial.translated(0, 8).adjusted(-spread / 2, -spread / 2, spread / 2, spread / 2));
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(style.surfaceRaised(), 0.46));
    painter.drawEllipse(dial);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withAlpha(Qt::white, 0.5), kLineWidth));
    painter.drawEllipse(dial.adjusted(7, 7, -7, -7));

    const QRectF track = trackRect();
    painter.setPen(QPen(withAlpha(style.line(), 0.34), kLineWidth));
    painter.drawEllipse(track);

    // The spring may swing a little past the value; the arc stays within the dial.
    const double shown = std::clamp(m_shownProgress, 0.0, 1.0);
    if (shown <= 0)
        return;
    QPen arc(m_tint, kLineWidth, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(arc);
    if (shown >= 1) {
        painter.drawEllipse(track);
        return;
    }
    // From the top, clockwise.
    painter.drawArc(track, 90 * 16, -static_cast<int>(std::lround(shown * 360 * 16)));
}

} // namespace kolu
