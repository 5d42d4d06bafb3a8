#include "settings/SettingsView.h"

#include "settings/SettingsPageBodies.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsSidebar.h"
#include "settings/WindowBackdrop.h"
#include "services/media/QuranAudioManager.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/widgets/OverlayScrollBar.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QVariantAnimation>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The 1 pt rule between the sidebar and the content.
class VerticalRule : public QWidget {
public:
    explicit VerticalRule(QWidget *parent)
        : QWidget(parent)
    {
        setFixedWidth(1);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QColor color = OrlixStyle::current().line();
        color.setAlphaF(color.alphaF() * 0.72f);
        QPainter(this).fillRect(rect(), color);
    }
};

// Lays the window's background over the content and thins it away, so a new
// page fades in.
class FadeCover : public QWidget {
public:
    FadeCover(SettingsView *view, const qreal &fade)
        : QWidget(view)
        , m_view(view)
        , m_fade(fade)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setOpacity(m_fade);
        painter.translate(-pos());
        paintWindowBackdrop(painter, m_view->rect(), m_view->colorScheme());
    }

private:
    SettingsView *m_view;
    const qreal &m_fade;
};

} // namespace

SettingsView::SettingsView(AppState &state, OrlixUpdateController &updateController, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_updateController(updateController)
    , m_settings(state.defaults())
    , m_sidebar(new SettingsSidebar(this))
    , m_scroll(new QScrollArea(this))
    , m_column(new QWidget)
    , m_header(settingsText(QString(), OrlixFonts::system(30, QFont::Bold), PaletteRole::text, 1, m_column))
    , m_columnLayout(new QVBoxLayout(m_column))
    , m_swap(new QVariantAnimation(this))
    , m_fadeCover(new FadeCover(this, m_fade))
{
    setObjectName(u"settingsWindow"_s);
    setWindowTitle(u"Kolu Settings"_s);
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_sidebar);
    row->addWidget(new VerticalRule(this));
    row->addWidget(m_scroll, 1);

    m_scroll->setObjectName(u"settingsContentScroll"_s);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    // A thin bar over the page's margin: a page is as wide scrolled or not.
    OverlayScrollBar::attach(m_scroll);
    auto *canvas = new QWidget;
    canvas->setAutoFillBackground(false);
    auto *canvasLayout = new QHBoxLayout(canvas);
    canvasLayout->setContentsMargins(44, 0, 44, 46);
    canvasLayout->setSpacing(0);
    m_column->setObjectName(u"settingsContentColumn"_s);
    m_columnLayout->setSpacing(26);
    m_header->setObjectName(u"settingsPageHeader"_s);
    m_columnLayout->setContentsMargins(0, 42, 0, 0);
    m_columnLayout->addWidget(m_header);
    m_columnLayout->addStretch(1);
    // No alignment: an aligned item's height for width is taken at the full
    // width, beyond the column's maximum, and wrapped texts get cut.
    canvasLayout->addWidget(m_column, 1);
    canvasLayout->addStretch(0);
    m_scroll->setWidget(canvas);
    canvas->setAutoFillBackground(false); // setWidget() turned it on

    m_swap->setDuration(OrlixMotion::contentSwap().durationMs);
    m_swap->setEasingCurve(OrlixMotion::contentSwap().curve);
    m_swap->setStartValue(0.0);
    m_swap->setEndValue(1.0);
    connect(m_swap, &QVariantAnimation::valueChanged, m_column, [this](const QVariant &value) {
        m_fade = 1 - value.toDouble();
        m_fadeCover->setVisible(m_fade > 0);
        m_fadeCover->update();
    });

    connect(m_sidebar, &SettingsSidebar::pageChosen, this, &SettingsView::setSelectedPage);
    connect(&m_settings, &SettingsViewSettings::lookChanged, this, &SettingsView::applyLook);
    onStyleChange(this, &SettingsView::applyLook);
    // The calendar alerts carry the sound; the now-playing line shows it.
    connect(&m_settings, &SettingsViewSettings::calendarAlertSoundChanged, this, [this] {
        m_state.refreshCalendarEvents();
        m_state.refreshNowPlaying();
    });

    showPage(false);
    applyLook();
}

SettingsView::~SettingsView() = default;

void SettingsView::setSelectedPage(OrlixSettingsPage page)
{
    if (page == m_page)
        return;
    m_page = page;
    showPage(true);
}

void SettingsView::setModuleOpener(std::function<void(RailModule)> open)
{
    m_openModule = std::move(open);
}

void SettingsView::openModule(RailModule module)
{
    if (m_openModule)
        m_openModule(module);
    else
        m_state.openModule(module);
}

int SettingsView::contentMaximumWidth() const
{
    return settingsContentMaximumWidth(m_page);
}

ColorScheme SettingsView::colorScheme() const
{
    return preferredColorScheme().value_or(OrlixStyle::current().systemScheme());
}

void SettingsView::loadCustomRadioDraft()
{
    const auto &custom = m_state.quranAudioManager().customStation();
    if (!custom)
        return;
    m_entries.customRadioName = custom->nameEnglish;
    m_entries.customRadioStreamURL = custom->streamURL.toString();
}

void SettingsView::showPage(bool animated)
{
    m_sidebar->setSelectedPage(m_page);
    m_header->setText(settingsPageTitle(m_page));
    m_column->setMaximumWidth(contentMaximumWidth());
    if (m_body)
        delete m_body.data();
    m_body = createSettingsPageBody(m_page, *this, m_column);
    if (m_body)
        m_columnLayout->insertWidget(1, m_body);
    m_scroll->ensureVisible(0, 0);
    if (animated) {
        m_fadeCover->setGeometry(m_scroll->geometry());
        m_fadeCover->raise();
        m_swap->stop();
        m_swap->start();
    }
}

void SettingsView::applyLook()
{
    setPalette(windowPalette(colorScheme()));
    update();
}

void SettingsView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintWindowBackdrop(painter, rect(), colorScheme());
}

void SettingsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    loadCustomRadioDraft();
}

} // namespace kolu
