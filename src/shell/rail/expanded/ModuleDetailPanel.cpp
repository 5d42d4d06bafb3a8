#include "shell/rail/expanded/ModuleDetailPanel.h"

#include "cards/ModuleCardFactory.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/GlassProfile.h"
#include "style/IconProvider.h"
#include "style/LiquidGlassSurface.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/PanelPicture.h"
#include "style/PopupPlacement.h"
#include "style/MinuteTicker.h"
#include "style/TodayVisuals.h"
#include "style/widgets/StyledWidget.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QVariantAnimation>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int panelPadding = 18;
constexpr double insertionOffset = 12; // the new page comes from the right
constexpr double removalOffset = -10;  // the old one goes to the left

// The 34 x 34 badge: the module's symbol on a faint tint.
class DetailBadge : public QWidget {
public:
    DetailBadge(RailModule module, QString symbol, QWidget *parent)
        : QWidget(parent)
        , m_module(module)
        , m_symbol(std::move(symbol))
    {
        setObjectName(u"detailBadge"_s);
        setFixedSize(34, 34);
        setAccessibleName(m_symbol);
    }

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol)
    {
        if (symbol == m_symbol)
            return;
        m_symbol = symbol;
        setAccessibleName(m_symbol);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const OrlixStyle &style = OrlixStyle::current();
        const QColor tint = style.tint(m_module);
        QPainter p(this);
        const QRectF r = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
        QColor fill = tint;
        fill.setAlphaF(0.14);
        QColor stroke = style.hairline();
        stroke.setAlphaF(stroke.alphaF() * 0.55);
        PanelPicture::paint(p, r, {12, fill, stroke, 0.8});
        p.setRenderHint(QPainter::Antialiasing);
        IconProvider::paint(p, QRectF(rect()), m_symbol, 18, style.symbolInk(tint), IconWeight::bold);
    }

private:
    RailModule m_module;
    QString m_symbol;
};

} // namespace

ModuleDetailPanel::ModuleDetailPanel(AppState &state, RailModule module, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_module(module)
{
    setObjectName(u"moduleDetailPanel"_s);
    setPopupPanel(this);
    m_swap = new QVariantAnimation(this);
    m_swap->setDuration(OrlixMotion::contentSwap().durationMs);
    m_swap->setEasingCurve(OrlixMotion::contentSwap().curve);
    m_swap->setStartValue(0.0);
    m_swap->setEndValue(1.0);
    connect(m_swap, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        const double t = v.toDouble();
        if (auto *effect = m_page ? qobject_cast<QGraphicsOpacityEffect *>(m_page->graphicsEffect()) : nullptr)
            effect->setOpacity(t);
        if (auto *effect = m_leaving ? qobject_cast<QGraphicsOpacityEffect *>(m_leaving->graphicsEffect()) : nullptr)
            effect->setOpacity(1 - t);
        placePage(insertionOffset * (1 - t), removalOffset * t);
    });
    connect(m_swap, &QVariantAnimation::finished, this, [this] {
        if (m_page)
            m_page->setGraphicsEffect(nullptr); // a finished page paints without an offscreen pass
        delete m_leaving;
    });
    repaintOnStyleChange(this);
    buildPage();
}

QString ModuleDetailPanel::tagline(RailModule module)
{
    switch (module) {
    case RailModule::today: return tr("Your day at a glance.");
    case RailModule::calendar: return tr("What is next, right at the edge.");
    case RailModule::prayers: return tr("Prayer times with gentle alerts.");
    case RailModule::notes: return tr("A quick doorway into your notes.");
    case RailModule::focus: return tr("A simple timer that stays out of the way.");
    case RailModule::links: return tr("Favorite websites within reach.");
    case RailModule::fileTray: return tr("Files and captured copies in one place.");
    case RailModule::wallpapers: return tr("Fresh desktop inspiration.");
    case RailModule::reminders: return tr("Your reminders, right on the edge.");
    case RailModule::nowPlaying: return tr("Calm audio, right on the edge.");
    }
    return {};
}

QString ModuleDetailPanel::badgeSymbol() const
{
    return m_module == RailModule::today ? TodayVisuals::current(m_state.clock()).symbol : symbol(m_module);
}

void ModuleDetailPanel::setModule(RailModule module)
{
    if (module == m_module)
        return;
    m_module = module;
    // The old page fades out to the left with its card, taking no more
    // input; one still leaving from an earlier change goes at once.
    m_swap->stop();
    delete m_leaving;
    m_leaving = m_page;
    if (m_leaving) {
        m_leaving->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_leaving->setObjectName(u"leavingDetailPage"_s);
        auto *fade = new QGraphicsOpacityEffect(m_leaving);
        m_leaving->setGraphicsEffect(fade);
    }
    m_page = nullptr;
    buildPage();
    auto *effect = new QGraphicsOpacityEffect(m_page);
    effect->setOpacity(0);
    m_page->setGraphicsEffect(effect);
    placePage(insertionOffset, 0);
    m_swap->start();
}

void ModuleDetailPanel::buildPage()
{
    // The old page goes with its card and whatever the card held for the moment.
    delete m_page;
    auto *page = new QWidget(this);
    page->setObjectName(u"detailPage"_s);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);

    auto *header = new QWidget(page);
    header->setObjectName(u"detailHeader"_s);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    auto *badge = new DetailBadge(m_module, badgeSymbol(), header);
    row->addWidget(badge, 0, Qt::AlignVCenter);
    // Today's symbol and the card's greeting come from one time-of-day rule:
    // the badge looks again on the same minute as the card.
    if (m_module == RailModule::today)
        connect(new MinuteTicker(m_state.clock(), badge), &MinuteTicker::minutePassed, badge,
                [this, badge] { badge->setSymbol(badgeSymbol()); });
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto *title = new QLabel(kolu::title(m_module), header);
    title->setObjectName(u"detailTitle"_s);
    title->setFont(OrlixFonts::system(20, QFont::Bold));
    auto *tag = new QLabel(tagline(m_module), header);
    tag->setObjectName(u"detailTagline"_s);
    tag->setFont(OrlixFonts::system(12, QFont::DemiBold));
    tag->setWordWrap(true);
    tag->setMaximumHeight(QFontMetrics(tag->font()).lineSpacing() * 2 + 1);
    const auto applyColors = [title, tag, badge] {
        const OrlixStyle &style = OrlixStyle::current();
        const auto sheet = [](const QColor &color) {
            return u"color: %1; background: transparent;"_s.arg(color.name(QColor::HexArgb));
        };
        title->setStyleSheet(sheet(style.text()));
        tag->setStyleSheet(sheet(style.secondaryText()));
        badge->update();
    };
    applyColors();
    // The page follows a change of theme, appearance or hero colour while it is open.
    onStyleChange(header, applyColors);
    texts->addWidget(title);
    texts->addWidget(tag);
    row->addLayout(texts, 1);
    column->addWidget(header);

    auto *scroll = new QScrollArea(page);
    scroll->setObjectName(u"detailScroll"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    // Transparent without a style sheet: a sheet here would reach every
    // control of the card and repaint its fields in the stock look.
    scroll->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    auto *content = new QWidget;
    auto *stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 8);
    stack->setSpacing(12);
    m_card = createModuleCard(m_module, m_state, content);
    if (m_card)
        stack->addWidget(m_card);
    stack->addStretch(1);
    scroll->setWidget(content);
    content->setAutoFillBackground(false); // the scroll area turned it on
    column->addWidget(scroll, 1);

    m_page = page;
    placePage(0, 0);
    page->show();
}

void ModuleDetailPanel::placePage(double offset, double leavingOffset)
{
    const QRect inner = rect().adjusted(panelPadding, panelPadding, -panelPadding, -panelPadding);
    if (m_page)
        m_page->setGeometry(inner.translated(qRound(offset), 0));
    if (m_leaving)
        m_leaving->setGeometry(inner.translated(qRound(leavingOffset), 0));
}

void ModuleDetailPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const double t = m_swap->state() == QAbstractAnimation::Running ? m_swap->currentValue().toDouble() : 1;
    placePage(insertionOffset * (1 - t), removalOffset * t);
}

void ModuleDetailPanel::paintGlass(QPainter &painter, const QRectF &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    LiquidGlassSurface::paint(painter, rect, 28, OrlixGlassProfile::panel());
    painter.restore();
}

void ModuleDetailPanel::setGlassPaintedByHost(bool byHost)
{
    if (byHost == m_glassByHost)
        return;
    m_glassByHost = byHost;
    update();
}

void ModuleDetailPanel::paintEvent(QPaintEvent *)
{
    if (m_glassByHost)
        return;
    QPainter p(this);
    paintGlass(p, QRectF(rect()));
}

} // namespace kolu
