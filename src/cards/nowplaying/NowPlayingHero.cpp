#include "cards/nowplaying/NowPlayingHero.h"

#include "services/images/ImageLoader.h"
#include "cards/nowplaying/NowPlayingArtwork.h"
#include "cards/nowplaying/NowPlayingControls.h"
#include "cards/nowplaying/NowPlayingHeroRules.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/ShadowBlur.h"
#include "style/widgets/ElidedLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr qreal tileShadowBlur = 18;
const QPointF tileShadowOffset(-4, 12);

// A white title with a soft dark shadow under its letters, so it reads on
// bright artwork. The shadow is blurred once per text, width and pixel ratio.
class ShadowedTitle : public ElidedLabel {
public:
    explicit ShadowedTitle(QWidget *parent)
        : ElidedLabel({}, parent)
    {
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        constexpr qreal blur = 5;
        const qreal pad = shadowExtent(blur);
        QPainter painter(this);
        const qreal dpr = painter.device()->devicePixelRatioF();
        const QString key = u"%1 %2 %3 %4"_s.arg(width()).arg(height()).arg(dpr).arg(text());
        if (key != m_shadowKey) {
            QImage alpha((QSizeF(size()) + QSizeF(2 * pad, 2 * pad)).toSize() * dpr, QImage::Format_Alpha8);
            alpha.setDevicePixelRatio(dpr);
            alpha.fill(0);
            {
                QPainter p(&alpha);
                p.setFont(font());
                p.setPen(Qt::black);
                const QFontMetricsF metrics(font());
                qreal y = pad;
                for (const QString &line : visibleLines(width())) {
                    p.drawText(QRectF(pad, y, width(), metrics.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter, line);
                    y += metrics.lineSpacing();
                }
            }
            gaussianBlurAlpha(alpha, blur / 2 * dpr);
            m_shadow = alpha.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            m_shadowKey = key;
        }
        painter.setOpacity(0.28);
        painter.drawImage(QPointF(-pad, -pad + 2), m_shadow);
        painter.end();
        ElidedLabel::paintEvent(event);
    }

private:
    QImage m_shadow;
    QString m_shadowKey;
};

// The tile's upper layer: the darkening gradient and the controls, with the
// transport buttons' shadows under them.
class HeroOverlay : public QWidget {
public:
    explicit HeroOverlay(QWidget *parent)
        : QWidget(parent)
    {
        setObjectName(u"nowPlayingOverlay"_s);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = rect();
        QLinearGradient shade(frame.topLeft(), frame.bottomLeft());
        // The shade is dark enough for the white title by the title's first
        // line, however high a two-line title reaches over light artwork.
        const qreal darkFrom = std::min(0.68, textTop() / std::max<qreal>(1, frame.height()));
        shade.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0.04f));
        shade.setColorAt(std::min(0.38, darkFrom / 2), QColor::fromRgbF(0, 0, 0, 0.10f));
        shade.setColorAt(darkFrom, QColor::fromRgbF(0, 0, 0, darkFrom < 0.68 ? 0.58f : 0.48f));
        shade.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.76f));
        painter.fillPath(continuousRoundedRect(frame, NowPlayingHero::cornerRadius), shade);
        for (const MediaControlButton *button : findChildren<MediaControlButton *>()) {
            if (button->isVisible())
                paintButtonShadow(painter, QRectF(button->mapTo(this, QPoint()), QSizeF(button->size())));
        }
    }

private:
    // A little above the title's first line.
    qreal textTop() const
    {
        const QWidget *title = findChild<QWidget *>(u"nowPlayingTitle"_s);
        return title && title->isVisible() ? std::max(0, title->mapTo(this, QPoint()).y() - 6) : height();
    }
};

} // namespace

NowPlayingHero::NowPlayingHero(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_tile(new QWidget(this))
    , m_artwork(new NowPlayingArtworkView(ImageLoader::of(state), m_tile))
    , m_overlay(new HeroOverlay(m_tile))
    , m_badge(new SourceBadge(m_overlay))
    , m_mute(new NowPlayingStatusButton(m_overlay))
    , m_title(new ShadowedTitle(m_overlay))
    , m_detail(new ElidedLabel({}, m_overlay))
    , m_previous(new MediaControlButton(u"backward.fill"_s, false, m_overlay))
    , m_playPause(new MediaControlButton(nowplaying::playPauseSymbol(false), true, m_overlay))
    , m_next(new MediaControlButton(u"forward.fill"_s, false, m_overlay))
{
    setObjectName(u"nowPlayingHero"_s);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_tile->setObjectName(u"nowPlayingTile"_s);
    m_artwork->setCornerRadius(cornerRadius);
    m_title->setObjectName(u"nowPlayingTitle"_s);
    m_detail->setObjectName(u"nowPlayingDetail"_s);
    m_previous->setObjectName(u"nowPlayingPreviousButton"_s);
    m_playPause->setObjectName(u"nowPlayingPlayPauseButton"_s);
    m_next->setObjectName(u"nowPlayingNextButton"_s);
    m_title->setFont(OrlixFonts::system(15, QFont::Bold));
    m_title->setMaximumLines(2);
    m_title->setColor(Qt::white);
    m_detail->setFont(OrlixFonts::system(11, QFont::DemiBold));
    m_detail->setColor(QColor::fromRgbF(1, 1, 1, 0.72f));

    auto *column = new QVBoxLayout(m_overlay);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(0);
    auto *top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(m_badge, 0, Qt::AlignVCenter);
    top->addStretch(1);
    top->addWidget(m_mute, 0, Qt::AlignVCenter);
    column->addLayout(top);
    column->addStretch(1);
    auto *bottom = new QVBoxLayout;
    bottom->setContentsMargins(12, 12, 12, 12);
    bottom->setSpacing(10);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(m_title);
    texts->addWidget(m_detail);
    bottom->addLayout(texts);
    auto *transport = new QHBoxLayout;
    transport->setSpacing(12);
    for (MediaControlButton *button : {m_previous, m_playPause, m_next})
        transport->addWidget(button, 0, Qt::AlignVCenter);
    transport->addStretch(1);
    bottom->addLayout(transport);
    column->addLayout(bottom);

    connect(m_previous, &QAbstractButton::clicked, this, [this] { m_state.mediaAction(MediaAction::previous); });
    connect(m_playPause, &QAbstractButton::clicked, this, [this] { m_state.mediaAction(MediaAction::playPause); });
    connect(m_next, &QAbstractButton::clicked, this, [this] { m_state.mediaAction(MediaAction::next); });
    connect(m_mute, &QAbstractButton::clicked, this, [this] { m_state.mediaAction(MediaAction::toggleMute); });
    connect(&m_state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::nowPlaying)
            setItem(m_state.nowPlaying());
    });

    m_item.title = u"\n"_s; // differs from any item, so the first one is shown
    setItem(m_state.nowPlaying());
}

QSize NowPlayingHero::minimumSizeHint() const
{
    return {120, 120};
}

void NowPlayingHero::setItem(const NowPlayingItem &item)
{
    if (item == m_item)
        return;
    m_item = item;
    m_artwork->setItem(item);
    m_badge->setSource(item.source);
    m_mute->setMuted(item.isMuted);
    m_title->setText(item.title);
    m_detail->setText(nowplaying::detailLine(item.artist, item.source));
    m_playPause->setSymbol(nowplaying::playPauseSymbol(item.isPlaying));
}

QRect NowPlayingHero::tileRect() const
{
    const int side = std::min(width(), height());
    return QRect((width() - side) / 2, (height() - side) / 2, side, side);
}

void NowPlayingHero::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QRect tile = tileRect();
    m_tile->setGeometry(tile);
    m_artwork->setGeometry(QRect(QPoint(), tile.size()));
    m_overlay->setGeometry(QRect(QPoint(), tile.size()));
}

void NowPlayingHero::paintEvent(QPaintEvent *)
{
    // The tile's shadow, offset down and to the left.
    const QRectF tile = tileRect();
    if (tile.isEmpty())
        return;
    QPainter painter(this);
    const qreal dpr = painter.device()->devicePixelRatioF();
    const QImage mask = blurredShapeMask(tile.size(), cornerRadius, tileShadowBlur, dpr);
    const qreal extent = shadowExtent(tileShadowBlur);
    painter.setOpacity(0.16);
    painter.drawImage(tile.topLeft() - QPointF(extent, extent) + tileShadowOffset, mask);
}

} // namespace kolu
