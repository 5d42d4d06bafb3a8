#include "cards/nowplaying/QuranRecitationSection.h"

#include "cards/nowplaying/SoundscapeRules.h"
#include "cards/nowplaying/SoundscapeWidgets.h"
#include "model/Models.h"
#include "services/media/QuranAudioManager.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/GlassProfile.h"
#include "style/IconProvider.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolView.h"
#include "style/widgets/OrlixButton.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QColor kWarning(255, 149, 0);

QColor faded(QColor color, qreal opacity)
{
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

QColor tint()
{
    return OrlixStyle::current().tint(RailModule::nowPlaying);
}

// The tinted square behind the waveform.
class RadioBadge : public QWidget {
public:
    explicit RadioBadge(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(54, 54);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(rect(), 18), faded(tint(), 0.18));
        IconProvider::paint(painter, rect(), u"waveform"_s, 20,
                            OrlixStyle::current().symbolInk(tint(), faded(tint(), 0.18)), IconWeight::bold);
    }
};

// One station: its symbol, Arabic name and country on a rounded row.
class StationRow : public QAbstractButton {
public:
    StationRow(const QuranRadioStation &station, bool selected, QWidget *parent)
        : QAbstractButton(parent)
        , m_id(station.id)
        , m_selected(selected)
    {
        setObjectName(u"station:"_s + station.id);
        setAccessibleName(station.nameEnglish);
        setCursor(Qt::PointingHandCursor);
        setFixedHeight(38);
        setCheckable(false);
        m_symbol = new SymbolView(QString(), 12, this);
        auto *name = new ElidedLabel(station.nameArabic, this);
        auto *country = new ElidedLabel(station.country, this);
        name->setObjectName(u"stationName"_s);
        country->setObjectName(u"stationCountry"_s);
        name->setFont(OrlixFonts::system(12, QFont::Bold));
        country->setFont(OrlixFonts::system(10, QFont::DemiBold));
        const OrlixStyle &style = OrlixStyle::current();
        name->setColor(style.text());
        country->setColor(style.secondaryText());
        auto *text = new QVBoxLayout;
        text->setSpacing(1);
        text->addWidget(name);
        text->addWidget(country);
        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(10, 0, 10, 0);
        row->setSpacing(8);
        row->addWidget(m_symbol);
        row->addLayout(text, 1);
        showSelection();
    }

    const QString &stationID() const { return m_id; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected)
    {
        if (selected == m_selected)
            return;
        m_selected = selected;
        showSelection();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor fill = m_selected ? faded(tint(), 0.12) : faded(OrlixStyle::current().surfaceRaised(), 0.4);
        painter.fillPath(continuousRoundedRect(rect(), 12), fill);
    }

private:
    void showSelection()
    {
        m_symbol->setSymbol(m_selected ? u"dot.radiowaves.left.and.right"_s : u"radio"_s);
        m_symbol->setColor(m_selected ? OrlixStyle::current().readable(tint(), kLargeInkContrast)
                                      : OrlixStyle::current().secondaryText());
        update();
    }

    QString m_id;
    bool m_selected;
    SymbolView *m_symbol = nullptr;
};

} // namespace

QuranPlayerCard::QuranPlayerCard(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_titleArabic(new ElidedLabel(QString(), this))
    , m_titleEnglish(new ElidedLabel(QString(), this))
    , m_caption(new ElidedLabel(tr("Live Qur'an Radio"), this))
    , m_badge(new RadioBadge(this))
    , m_stationList(new QVBoxLayout)
    , m_play(new OrlixButton(OrlixButton::Kind::primary, QString(), this))
    , m_status(new ElidedLabel(QString(), this))
    , m_attribution(new ElidedLabel(QString(), this))
{
    setObjectName(u"quranPlayerCard"_s);
    m_titleArabic->setObjectName(u"radioTitleArabic"_s);
    m_titleEnglish->setObjectName(u"radioTitleEnglish"_s);
    m_play->setObjectName(u"radioPlay"_s);
    m_play->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_status->setObjectName(u"radioStatus"_s);
    m_attribution->setObjectName(u"radioAttribution"_s);
    m_titleArabic->setFont(OrlixFonts::system(16, QFont::Black));
    m_titleEnglish->setFont(OrlixFonts::system(13, QFont::Bold));
    m_caption->setFont(OrlixFonts::system(11, QFont::DemiBold));
    m_status->setFont(OrlixFonts::system(11, QFont::DemiBold));
    m_status->setMaximumLines(2);
    m_attribution->setFont(OrlixFonts::system(10, QFont::DemiBold));
    m_attribution->setMaximumLines(20);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(4);
    titles->addWidget(m_titleArabic);
    titles->addWidget(m_titleEnglish);
    titles->addWidget(m_caption);
    titles->addStretch(1);
    auto *header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(m_badge, 0, Qt::AlignTop);
    header->addLayout(titles, 1);

    m_stationList->setSpacing(7);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(12);
    column->addLayout(header);
    column->addLayout(m_stationList);
    column->addWidget(m_play);
    column->addWidget(m_status);
    column->addWidget(m_attribution);

    connect(m_play, &QAbstractButton::clicked, this, [this] { m_state.toggleQuranRadio(); });
    const QuranAudioManager &radio = state.quranAudioManager();
    connect(&radio, &QuranAudioManager::statusChanged, this, &QuranPlayerCard::refresh);
    connect(&radio, &QuranAudioManager::currentStationChanged, this, &QuranPlayerCard::refresh);
    // A row's own click changes the selection: the rows stay, only their marks move.
    connect(&radio, &QuranAudioManager::selectedStationIDChanged, this, &QuranPlayerCard::showSelection);
    connect(&radio, &QuranAudioManager::customStationChanged, this, &QuranPlayerCard::rebuildStations);
    connect(&radio, &QuranAudioManager::bahrainStationEnabledChanged, this, &QuranPlayerCard::rebuildStations);
    onStyleChange(this, &QuranPlayerCard::rebuildStations);
    rebuildStations();
}

void QuranPlayerCard::rebuildStations()
{
    while (QLayoutItem *item = m_stationList->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_stationRows.clear();
    const QuranAudioManager &radio = m_state.quranAudioManager();
    const QList<QuranRadioStation> stations = radio.stations();
    if (stations.isEmpty()) {
        auto *hint = new ElidedLabel(tr("Enable Bahrain Radio or add a custom station in Settings."), this);
        hint->setObjectName(u"radioNoStations"_s);
        hint->setFont(OrlixFonts::system(11, QFont::DemiBold));
        hint->setColor(OrlixStyle::current().secondaryText());
        hint->setMaximumLines(20);
        hint->setContentsMargins(0, 6, 0, 6);
        m_stationList->addWidget(hint);
    }
    for (const QuranRadioStation &station : stations) {
        auto *row = new StationRow(station, station.id == radio.selectedStationID(), this);
        // Choosing goes through the state, which keeps one source at a time.
        connect(row, &QAbstractButton::clicked, this, [this, station] { m_state.selectQuranStation(station); });
        m_stationList->addWidget(row);
        m_stationRows.append(row);
    }
    refresh();
}

void QuranPlayerCard::showSelection()
{
    const QString &selected = m_state.quranAudioManager().selectedStationID();
    for (QAbstractButton *button : std::as_const(m_stationRows)) {
        auto *row = static_cast<StationRow *>(button);
        row->setSelected(row->stationID() == selected);
    }
    refresh();
}

void QuranPlayerCard::refresh()
{
    const QuranAudioManager &radio = m_state.quranAudioManager();
    const OrlixStyle &style = OrlixStyle::current();
    const std::optional<QuranRadioStation> shown = soundscape::shownStation(radio);
    const bool hasSelected = radio.selectedStation().has_value();
    m_titleArabic->setText(shown ? shown->nameArabic : tr("No station enabled"));
    m_titleEnglish->setText(shown ? shown->nameEnglish : tr("Add a station in Settings"));
    m_attribution->setText(shown ? shown->attributionText : tr("No radio station enabled"));
    m_status->setText(soundscape::radioStatusText(radio.status(), hasSelected));

    const soundscape::PlayButtonLook look = soundscape::radioPlayButton(radio.status());
    m_play->setText(look.title);
    m_play->setSymbol(look.symbol);
    m_play->setEnabled(soundscape::radioPlayButtonEnabled(radio.status(), hasSelected));

    switch (soundscape::radioStatusTone(radio.status())) {
    case soundscape::StatusTone::tint: m_status->setColor(OrlixStyle::current().readable(tint())); break;
    case soundscape::StatusTone::warning: m_status->setColor(OrlixStyle::current().readable(kWarning)); break;
    case soundscape::StatusTone::secondary: m_status->setColor(style.secondaryText()); break;
    }
    m_titleArabic->setColor(style.text());
    m_titleEnglish->setColor(style.secondaryText());
    m_caption->setColor(style.readable(faded(style.secondaryText(), 0.9)));
    m_attribution->setColor(style.readable(faded(style.secondaryText(), 0.82)));
    update();
}

void QuranPlayerCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    LiquidGlassSurface::paint(painter, rect(), 24, OrlixGlassProfile::card());
}

QuranRecitationSection::QuranRecitationSection(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_card(new QuranPlayerCard(state, this))
{
    setObjectName(u"quranSection"_s);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    column->addWidget(m_card);
}

} // namespace kolu
