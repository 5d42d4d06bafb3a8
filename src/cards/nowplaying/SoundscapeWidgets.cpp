#include "cards/nowplaying/SoundscapeWidgets.h"

#include "cards/nowplaying/SoundscapeRules.h"
#include "model/Models.h"
#include "services/media/QuranAudioManager.h"
#include "services/media/SoundscapeAudioManager.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/GlassProfile.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSlider.h"
#include "style/widgets/PlainButton.h"
#include "style/widgets/ShrinkLabel.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolView.h"

#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kMixSpacing = 7;
constexpr int kMinimumRowHeight = 30;
constexpr int kRowSpacing = 8;
constexpr int kHorizontalPadding = 10;

QColor faded(QColor color, qreal opacity)
{
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

void fillRounded(QPainter &painter, const QRectF &rect, qreal radius, const QColor &fill, const QColor &stroke = {},
                 qreal strokeWidth = 0.8)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = continuousRoundedRect(rect.adjusted(0.4, 0.4, -0.4, -0.4), radius);
    painter.fillPath(path, fill);
    if (stroke.isValid())
        painter.strokePath(path, QPen(stroke, strokeWidth));
}

QColor tint()
{
    return OrlixStyle::current().tint(RailModule::nowPlaying);
}

} // namespace

// ---------------------------------------------------------------------------

AmbientSoundTile::AmbientSoundTile(SoundscapeTrack sound, QWidget *parent)
    : QWidget(parent)
    , m_sound(std::move(sound))
    , m_button(new PlainButton(this))
    , m_symbol(new SymbolView(m_sound.symbol, 14, m_button))
    , m_title(new ElidedLabel(m_sound.title, m_button))
    , m_mark(new SymbolView(u"plus.circle"_s, 12, m_button))
    , m_slider(new OrlixSlider(this))
{
    setObjectName(u"ambientTile:"_s + m_sound.id);
    setToolTip(tr("Mix ambient sounds together."));
    m_button->setObjectName(u"ambientTileButton"_s);
    m_button->setAccessibleName(m_sound.title);
    m_button->setMinimumHeight(kMinimumRowHeight);
    m_button->setCursor(Qt::PointingHandCursor);
    // Every name at one size, wrapped onto a second line where the tile is
    // narrow: a shrunk or cut name would hide which sound the tile plays.
    m_title->setFont(OrlixFonts::system(12, QFont::Bold));
    m_title->setMaximumLines(2);
    m_title->setMinimumWidth(10);
    m_title->setObjectName(u"ambientTileTitle"_s);
    m_title->setFixedHeight(lineHeight());
    m_stack = new QVBoxLayout(m_button);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->setSpacing(6);
    m_row = new QHBoxLayout;
    m_row->setSpacing(kRowSpacing);
    m_row->addWidget(m_symbol);
    m_row->addWidget(m_title, 1, Qt::AlignVCenter);
    // Holds the symbols apart while the name sits under them.
    m_row->addStretch(0);
    m_row->addWidget(m_mark);
    m_stack->addLayout(m_row);

    m_slider->setObjectName(u"ambientVolume"_s);
    m_slider->setLook(OrlixSlider::Look::desktop);
    m_slider->setRange(0, 1000);
    m_slider->setPageStep(10);
    m_slider->setAccessibleName(m_sound.title);
    m_slider->hide();

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(kHorizontalPadding, 9, kHorizontalPadding, 9);
    column->setSpacing(7);
    column->addWidget(m_button);
    column->addWidget(m_slider);

    connect(m_button, &QAbstractButton::clicked, this, &AmbientSoundTile::toggled);
    connect(m_slider, &QAbstractSlider::valueChanged, this, [this](int value) { Q_EMIT volumeMoved(value / 1000.0); });
    onStyleChange(this, &AmbientSoundTile::restyle);
    restyle();
}

void AmbientSoundTile::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    m_slider->setVisible(active);
    restyle();
}

int AmbientSoundTile::lineHeight() const
{
    return int(std::ceil(QFontMetricsF(m_title->font()).height()));
}

int AmbientSoundTile::nameWidth(bool below) const
{
    const int content = width() - 2 * kHorizontalPadding;
    if (below)
        return content;
    return content - m_symbol->sizeHint().width() - m_mark->sizeHint().width() - 2 * kRowSpacing;
}

int AmbientSoundTile::nameLines(bool below) const
{
    const int room = nameWidth(below);
    if (room <= 0 || m_title->isElided(room))
        return 0;
    // A word broken inside is not whole either.
    const QFontMetricsF metrics(m_title->font());
    for (const QString &word : m_sound.title.split(u' ', Qt::SkipEmptyParts))
        if (metrics.horizontalAdvance(word) > room)
            return 0;
    return int(m_title->visibleLines(room).size());
}

void AmbientSoundTile::layOutName(bool below, int rowLines)
{
    if (below != m_nameBelow) {
        m_nameBelow = below;
        if (below) {
            m_row->removeWidget(m_title);
            m_stack->addWidget(m_title);
        } else {
            m_stack->removeWidget(m_title);
            m_row->insertWidget(1, m_title, 1, Qt::AlignVCenter);
        }
    }
    const int lines = std::max(1, nameLines(below));
    // Beside the symbol every tile's row is as tall as the tallest name, so
    // neighbours line up; under it every name keeps the same room.
    m_title->setFixedHeight(lineHeight() * (below ? rowLines : lines));
    m_button->setMinimumHeight(below ? 0 : std::max(kMinimumRowHeight, lineHeight() * rowLines));
}

void AmbientSoundTile::setVolume(double volume)
{
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(int(std::lround(std::clamp(volume, 0.0, 1.0) * 1000)));
}

void AmbientSoundTile::restyle()
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor foreground = m_active ? tint() : style.text();
    m_symbol->setColor(style.readable(foreground, kLargeInkContrast));
    m_mark->setSymbol(m_active ? u"checkmark.circle.fill"_s : u"plus.circle"_s);
    m_mark->setColor(faded(style.readable(foreground, kLargeInkContrast), m_active ? 1.0 : 0.58));
    m_title->setColor(style.readable(foreground));
    m_slider->setTint(tint());
    update();
}

void AmbientSoundTile::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const OrlixStyle &style = OrlixStyle::current();
    fillRounded(painter, rect(), 13, faded(style.surfaceRaised(), m_active ? 0.62 : 0.42),
                m_active ? faded(tint(), 0.3) : faded(style.hairline(), 0.24));
}

// ---------------------------------------------------------------------------

SoundscapeAmbientSection::SoundscapeAmbientSection(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_clear(new OrlixButton(OrlixButton::Kind::secondary, QString(), this))
    , m_error(new QLabel(this))
{
    setObjectName(u"ambientSection"_s);
    SoundscapeAudioManager &mixer = state.soundscapeAudioManager();

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    auto *mixRow = new QHBoxLayout;
    mixRow->setSpacing(kMixSpacing);
    for (const SoundscapeMix &mix : mixer.mixes()) {
        auto *button = new OrlixButton(OrlixButton::Kind::secondary, mix.title, this);
        button->setObjectName(u"mix:"_s + mix.id);
        button->setSymbol(mix.symbol);
        // Shrinks to 0.82, then lets its symbol go: the label stays whole.
        button->setMinimumScaleFactor(0.82);
        button->setShrinkable(true);
        connect(button, &QAbstractButton::clicked, this, [this, mix] { m_state.applySoundscapeMix(mix); });
        mixRow->addWidget(button, 1);
        m_mixes.append({button, mix.symbol});
    }
    m_clear->setObjectName(u"clearMix"_s);
    m_clear->setSymbol(u"xmark"_s);
    m_clear->setToolTip(tr("Clear ambient mix"));
    m_clear->setAccessibleName(tr("Clear ambient mix"));
    m_clear->setFixedWidth(24 + 16);
    connect(m_clear, &QAbstractButton::clicked, this, [this] { m_state.stopSoundscapes(); });
    mixRow->addWidget(m_clear);
    column->addLayout(mixRow);

    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(8);
    grid->setHorizontalSpacing(8);
    int index = 0;
    for (const SoundscapeTrack &track : mixer.tracks()) {
        auto *tile = new AmbientSoundTile(track, this);
        tile->setMinimumWidth(10);
        connect(tile, &AmbientSoundTile::toggled, this, [this, track] { m_state.toggleSoundscape(track); });
        connect(tile, &AmbientSoundTile::volumeMoved, this,
                [this, track](double volume) { m_state.soundscapeAudioManager().setVolume(volume, track); });
        grid->addWidget(tile, index / 2, index % 2, Qt::AlignTop);
        m_tiles.append(tile);
        ++index;
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);

    m_error->setObjectName(u"ambientError"_s);
    m_error->setFont(OrlixFonts::system(11, QFont::DemiBold));
    m_error->setWordWrap(true);
    column->addWidget(m_error);

    connect(&mixer, &SoundscapeAudioManager::activeTrackIDsChanged, this, &SoundscapeAmbientSection::refresh);
    connect(&mixer, &SoundscapeAudioManager::volumeByTrackIDChanged, this, &SoundscapeAmbientSection::refresh);
    connect(&mixer, &SoundscapeAudioManager::errorMessageChanged, this, &SoundscapeAmbientSection::refresh);
    onStyleChange(this, &SoundscapeAmbientSection::refresh);
    refresh();
}

void SoundscapeAmbientSection::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitMixSymbols();
    fitTileNames();
}

void SoundscapeAmbientSection::fitTileNames()
{
    // Names sit beside their symbols while every one fits there whole, on at
    // most two lines; else every name goes under its tile's symbols.
    const auto mostLines = [this](bool below) {
        int most = 1;
        for (const AmbientSoundTile *tile : std::as_const(m_tiles)) {
            const int lines = tile->nameLines(below);
            if (lines == 0)
                return 0;
            most = std::max(most, lines);
        }
        return most;
    };
    const int beside = mostLines(false);
    const bool below = beside == 0;
    const int lines = below ? std::max(1, mostLines(true)) : beside;
    for (AmbientSoundTile *tile : std::as_const(m_tiles))
        tile->layOutName(below, lines);
}

void SoundscapeAmbientSection::fitMixSymbols()
{
    // All the mix buttons keep their symbols, or none does: the row reads
    // as one set. Their labels stay whole either way.
    int needed = m_clear->width() + kMixSpacing * int(m_mixes.size());
    for (const MixButton &mix : std::as_const(m_mixes))
        needed += mix.button->smallestWholeWidth(true);
    const bool symbols = needed <= width();
    for (const MixButton &mix : std::as_const(m_mixes))
        mix.button->setSymbol(symbols ? mix.symbol : QString());
}

void SoundscapeAmbientSection::refresh()
{
    const SoundscapeAudioManager &mixer = m_state.soundscapeAudioManager();
    m_clear->setEnabled(!mixer.activeTrackIDs().isEmpty());
    for (AmbientSoundTile *tile : std::as_const(m_tiles)) {
        tile->setActive(mixer.activeTrackIDs().contains(tile->sound().id));
        tile->setVolume(mixer.volume(tile->sound()));
    }
    m_error->setText(mixer.errorMessage().value_or(QString()));
    m_error->setVisible(mixer.errorMessage().has_value());
    QPalette palette = m_error->palette();
    palette.setColor(QPalette::WindowText, OrlixStyle::current().readable(QColor(255, 149, 0)));
    m_error->setPalette(palette);
}

// ---------------------------------------------------------------------------

SoundscapeNowPlayingSummary::SoundscapeNowPlayingSummary(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_button(new PlainButton(this))
    , m_symbol(new SymbolView(u"play.circle.fill"_s, 24, m_button))
    , m_title(new ElidedLabel(QString(), this))
    , m_subtitle(new ElidedLabel(QString(), this))
{
    setObjectName(u"soundscapeSummary"_s);
    m_button->setObjectName(u"summaryButton"_s);
    m_button->setCursor(Qt::PointingHandCursor);
    m_button->setFixedSize(m_symbol->sizeHint());
    m_symbol->setGeometry(0, 0, m_button->width(), m_button->height());
    m_title->setObjectName(u"summaryTitle"_s);
    m_subtitle->setObjectName(u"summarySubtitle"_s);
    m_title->setFont(OrlixFonts::system(13, QFont::Bold));
    m_subtitle->setFont(OrlixFonts::system(11, QFont::DemiBold));

    auto *text = new QVBoxLayout;
    text->setSpacing(2);
    text->addWidget(m_title);
    text->addWidget(m_subtitle);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(10);
    row->addWidget(m_button);
    row->addLayout(text, 1);

    connect(m_button, &QAbstractButton::clicked, this, [this] { m_state.toggleSystemAudio(); });
    const QuranAudioManager &radio = state.quranAudioManager();
    const SoundscapeAudioManager &mixer = state.soundscapeAudioManager();
    connect(&radio, &QuranAudioManager::statusChanged, this, &SoundscapeNowPlayingSummary::refresh);
    connect(&radio, &QuranAudioManager::currentStationChanged, this, &SoundscapeNowPlayingSummary::refresh);
    connect(&mixer, &SoundscapeAudioManager::activeTrackIDsChanged, this, &SoundscapeNowPlayingSummary::refresh);
    connect(&mixer, &SoundscapeAudioManager::currentTrackChanged, this, &SoundscapeNowPlayingSummary::refresh);
    connect(&mixer, &SoundscapeAudioManager::isPlayingChanged, this, &SoundscapeNowPlayingSummary::refresh);
    onStyleChange(this, &SoundscapeNowPlayingSummary::refresh);
    refresh();
}

QSize SoundscapeNowPlayingSummary::sizeHint() const
{
    return {240, QWidget::sizeHint().height()};
}

void SoundscapeNowPlayingSummary::refresh()
{
    const QuranAudioManager &radio = m_state.quranAudioManager();
    const SoundscapeAudioManager &mixer = m_state.soundscapeAudioManager();
    const OrlixStyle &style = OrlixStyle::current();
    const QList<SoundscapeTrack> active = mixer.activeTracks();
    m_title->setText(soundscape::summaryTitle(radio.currentStation(), active, mixer.currentTrack()));
    m_subtitle->setText(soundscape::summarySubtitle(radio.status(), int(active.size()), mixer.isPlaying()));
    const bool pause = soundscape::summaryShowsPause(radio.status(), mixer.isPlaying());
    m_symbol->setSymbol(pause ? u"pause.circle.fill"_s : u"play.circle.fill"_s);
    m_symbol->setColor(pause ? style.readable(tint(), kLargeInkContrast) : style.secondaryText());
    m_button->setAccessibleName(pause ? tr("Pause") : tr("Play"));
    m_title->setColor(style.text());
    m_subtitle->setColor(style.secondaryText());
    update();
}

void SoundscapeNowPlayingSummary::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    LiquidGlassSurface::paint(painter, rect(), 18, OrlixGlassProfile::card());
}

} // namespace kolu
