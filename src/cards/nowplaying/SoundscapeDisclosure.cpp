#include "cards/nowplaying/SoundscapeDisclosure.h"

#include "cards/nowplaying/SoundscapeWidgets.h"
#include "model/Models.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolView.h"

#include <QAbstractButton>
#include <QEasingCurve>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr double kResponse = 0.3;
constexpr double kDamping = 0.86;

// The spring sampled over its settle time.
qreal springProgress(qreal progress)
{
    static const double settle = springSettleTime(kResponse, kDamping);
    return dampedSpring(progress * settle, kResponse, kDamping);
}

QColor faded(QColor color, qreal opacity)
{
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

// The header bar.
class DisclosureHeader : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const OrlixStyle &style = OrlixStyle::current();
        const QPainterPath path = continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), 14);
        painter.fillPath(path, faded(style.surfaceRaised(), 0.5));
        painter.strokePath(path, QPen(faded(style.hairline(), 0.32), 0.8));
    }
};

int contentHeight(const QWidget *content, int width)
{
    return content->hasHeightForWidth() ? content->heightForWidth(width) : content->sizeHint().height();
}

} // namespace

// Holds the content and shows as much of it as the reveal asks: its height
// grows with the reveal and the content hangs from its bottom edge, so it
// comes down from under the header.
class SoundscapeDisclosure::Clip : public QWidget {
public:
    Clip(SoundscapeDisclosure *owner, QWidget *content)
        : QWidget(owner)
        , m_owner(owner)
        , m_content(content)
    {
        m_content->setParent(this);
        m_content->show();
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    qreal shown() const { return std::clamp(m_owner->m_reveal, 0.0, 1.0); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return int(std::lround(shown() * contentHeight(m_content, width))); }
    QSize sizeHint() const override { return {m_content->sizeHint().width(), heightForWidth(width())}; }
    QSize minimumSizeHint() const override { return {m_content->minimumSizeHint().width(), 0}; }

    void place()
    {
        const int full = contentHeight(m_content, width());
        m_content->setGeometry(0, height() - full, width(), full);
    }

protected:
    void resizeEvent(QResizeEvent *) override { place(); }

private:
    SoundscapeDisclosure *m_owner;
    QWidget *m_content;
};

SoundscapeDisclosure::SoundscapeDisclosure(const QString &title, const QString &symbol, QWidget *content,
                                           QWidget *parent)
    : QWidget(parent)
    , m_header(new DisclosureHeader(this))
    , m_chevron(new SymbolView(u"chevron.down"_s, 11, m_header))
    , m_clip(new Clip(this, content))
    , m_content(content)
    , m_motion(new QVariantAnimation(this))
{
    m_header->setObjectName(u"disclosureHeader"_s);
    m_header->setFixedHeight(38);
    m_header->setCursor(Qt::PointingHandCursor);
    m_header->setAccessibleName(title);
    auto *icon = new SymbolView(symbol, 13, m_header);
    icon->setFixedWidth(22);
    auto *label = new ElidedLabel(title, m_header);
    label->setFont(OrlixFonts::system(13, QFont::Black));
    auto *row = new QHBoxLayout(m_header);
    row->setContentsMargins(12, 0, 12, 0);
    row->setSpacing(9);
    row->addWidget(icon);
    row->addWidget(label, 1, Qt::AlignVCenter);
    row->addWidget(m_chevron);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    column->addWidget(m_header);
    column->addWidget(m_clip);
    m_clip->hide();
    m_content->installEventFilter(this);
    setReveal(0);

    m_motion->setDuration(int(springSettleTime(kResponse, kDamping) * 1000));
    QEasingCurve spring;
    spring.setCustomType(springProgress);
    m_motion->setEasingCurve(spring);
    connect(m_motion, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        if (m_motion->state() == QAbstractAnimation::Running)
            setReveal(value.toReal());
    });
    connect(m_motion, &QVariantAnimation::finished, this, &SoundscapeDisclosure::settle);

    const auto restyle = [this, icon, label] {
        const OrlixStyle &style = OrlixStyle::current();
        icon->setColor(style.readable(style.tint(RailModule::nowPlaying), kLargeInkContrast));
        m_chevron->setColor(style.secondaryText());
        label->setColor(style.text());
        update();
    };
    restyle();
    onStyleChange(this, restyle);
    connect(m_header, &QAbstractButton::clicked, this, [this] { setExpanded(!m_expanded); });
}

qreal SoundscapeDisclosure::chevronRotation() const
{
    return m_expanded ? 0 : -90;
}

void SoundscapeDisclosure::setExpanded(bool expanded)
{
    if (expanded == m_expanded)
        return;
    m_expanded = expanded;
    m_motion->stop();
    if (!isVisible()) {
        settle();
    } else {
        // From wherever a running motion had got to.
        if (!m_fade) {
            m_fade = new QGraphicsOpacityEffect(m_clip);
            m_clip->setGraphicsEffect(m_fade);
        }
        m_clip->show();
        m_motion->setStartValue(m_reveal);
        m_motion->setEndValue(expanded ? 1.0 : 0.0);
        setReveal(m_reveal);
        m_motion->start();
    }
    Q_EMIT expandedChanged(expanded);
}

void SoundscapeDisclosure::setReveal(qreal reveal)
{
    m_reveal = reveal;
    m_chevron->setRotation(-90 + 90 * reveal);
    if (m_fade)
        m_fade->setOpacity(std::clamp(reveal, 0.0, 1.0));
    m_clip->updateGeometry();
    m_clip->place();
}

void SoundscapeDisclosure::settle()
{
    // At rest: the end state exactly, no effect, the closed content hidden.
    if (m_fade) {
        m_clip->setGraphicsEffect(nullptr);
        m_fade = nullptr;
    }
    setReveal(m_expanded ? 1.0 : 0.0);
    m_clip->setVisible(m_expanded);
}

bool SoundscapeDisclosure::eventFilter(QObject *watched, QEvent *event)
{
    // The content's own height changes (a slider appears, a row goes):
    // the clip follows it.
    if (watched == m_content && event->type() == QEvent::LayoutRequest) {
        m_clip->updateGeometry();
        m_clip->place();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kolu
