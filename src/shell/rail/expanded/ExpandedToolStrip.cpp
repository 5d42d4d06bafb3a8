#include "shell/rail/expanded/ExpandedToolStrip.h"

#include "shell/rail/RailGlass.h"
#include "shell/rail/expanded/ToolStripButton.h"
#include "shell/rules/ExpandedRailGeometry.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/GlassProfile.h"
#include "style/LiquidGlassSurface.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/widgets/RailIconButton.h"
#include "style/widgets/StyledWidget.h"

#include <QBoxLayout>
#include <QEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace kolu {

using Field = AppState::Field;

namespace {

// The state itself as the receiver of the refresh calls.
class StateRefreshCalls final : public RailRefreshCalls {
public:
    explicit StateRefreshCalls(AppState &state)
        : m_state(state)
    {
    }
    void refreshCalendarEvents() override { m_state.refreshCalendarEvents(); }
    void refreshNowPlaying() override { m_state.refreshNowPlaying(); }
    void refreshReminders() override { m_state.refreshReminders(); }
    void refreshTodayWeather(bool force) override { m_state.refreshTodayWeather(force); }
    void refreshNotes(bool force) override { m_state.refreshAppleNotes(force); }
    void refreshPrayerTimesIfNeeded() override { m_state.refreshPrayerTimesIfNeeded(); }

private:
    AppState &m_state;
};

// A thin hairline between the module buttons and the actions of the top strip.
class StripSeparator : public QWidget {
public:
    explicit StripSeparator(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(1, 30);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor c = OrlixStyle::current().hairline();
        c.setAlphaF(c.alphaF() * 0.55);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(rect()), 0.5, 0.5);
    }
};

} // namespace

void refreshEverything(RailRefreshCalls &calls)
{
    calls.refreshCalendarEvents();
    calls.refreshNowPlaying();
    calls.refreshReminders();
    calls.refreshTodayWeather(true);
    calls.refreshNotes(false);
    calls.refreshPrayerTimesIfNeeded();
}

ExpandedToolStrip::ExpandedToolStrip(AppState &state, QWidget *parent)
    : ExpandedToolStrip(state, Qt::Vertical, parent)
{
}

ExpandedToolStrip::ExpandedToolStrip(AppState &state, Qt::Orientation axis, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_axis(axis)
    , m_refresh(std::make_unique<StateRefreshCalls>(state))
{
    setObjectName(axis == Qt::Vertical ? u"expandedToolStrip"_s : u"topExpandedToolStrip"_s);
    repaintOnStyleChange(this);
    const double s = state.railScaleFactor();
    const bool vertical = axis == Qt::Vertical;

    if (vertical) {
        auto *outer = new QBoxLayout(QBoxLayout::TopToBottom, this);
        outer->setContentsMargins(int(expandedrail::stripHorizontalPadding), int(expandedrail::stripVerticalPadding),
                                  int(expandedrail::stripHorizontalPadding), int(expandedrail::stripVerticalPadding));
        outer->setSpacing(0);
        m_buttons = new QBoxLayout(QBoxLayout::TopToBottom);
        m_buttons->setSpacing(qRound(expandedrail::buttonSpacing * s));
        outer->addLayout(m_buttons);
        outer->addStretch(1);
        outer->addSpacing(int(expandedrail::actionSpacerMinimum));
        m_actions = new QBoxLayout(QBoxLayout::TopToBottom);
        m_actions->setSpacing(int(expandedrail::actionButtonSpacing));
        outer->addLayout(m_actions);
    } else {
        // The row is placed by hand: on a narrow screen its action area gives
        // way while the module buttons keep their width (arrangeRow).
        m_separator = new StripSeparator(this);
    }

    m_selection = new QVariantAnimation(this);
    m_selection->setStartValue(0.0);
    m_selection->setEndValue(1.0);
    connect(m_selection, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        const double t = v.toDouble();
        const QRectF to = targetBubble();
        if (m_axis == Qt::Vertical) {
            m_bubble = QRectF(m_bubbleFrom.topLeft() + (to.topLeft() - m_bubbleFrom.topLeft()) * t,
                              m_bubbleFrom.size() + (to.size() - m_bubbleFrom.size()) * t);
        } else {
            const double k = 0.96 + 0.04 * t;
            m_bubble = QRectF(to.center() - QPointF(to.width() * k, to.height() * k) / 2, to.size() * k);
            m_bubbleOpacity = t;
        }
        update();
    });

    rebuildButtons();
    rebuildActions();
    connect(&state, &AppState::changed, this, [this](Field f) {
        switch (f) {
        case Field::railModuleOrder:
        case Field::hiddenRailModules: rebuildButtons(); break;
        case Field::showMinimizeAllAppsButton: rebuildActions(); break;
        case Field::selectedModule: moveSelection(true); break;
        default: break;
        }
    });
}

ExpandedToolStrip::~ExpandedToolStrip() = default;

ToolStripButton *ExpandedToolStrip::button(RailModule module) const
{
    return m_buttonFor.value(module);
}

void ExpandedToolStrip::setRefreshCalls(std::unique_ptr<RailRefreshCalls> calls)
{
    m_refresh = std::move(calls);
}

bool ExpandedToolStrip::selectionAnimating() const
{
    return m_selection->state() == QAbstractAnimation::Running;
}

void ExpandedToolStrip::rebuildButtons()
{
    // Buttons keep their identity (and their pending work) across reorders.
    const RailModuleOrder visible = m_state.visibleRailModules();
    for (auto it = m_buttonFor.begin(); it != m_buttonFor.end();) {
        if (std::find(visible.begin(), visible.end(), it.key()) == visible.end()) {
            delete it.value();
            it = m_buttonFor.erase(it);
        } else {
            if (m_buttons)
                m_buttons->removeWidget(it.value());
            ++it;
        }
    }
    const Qt::Orientation axis = m_axis;
    m_ordered.clear();
    for (const RailModule module : visible) {
        ToolStripButton *b = m_buttonFor.value(module);
        if (!b) {
            b = new ToolStripButton(m_state, module, axis, this);
            b->setFixedSize(b->sizeHint());
            connect(b, &ToolStripButton::ringsChanged, this, [this, b] { Q_EMIT ringsChanged(b); });
            m_buttonFor.insert(module, b);
        }
        if (m_buttons)
            m_buttons->addWidget(b, 0, Qt::AlignCenter);
        m_ordered.push_back(b);
        b->show();
    }
    arrange();
    moveSelection(false);
}

void ExpandedToolStrip::rebuildActions()
{
    qDeleteAll(m_actionButtons);
    m_actionButtons.clear();
    const bool vertical = m_axis == Qt::Vertical;
    auto add = [&](const QString &symbol, const QString &help, const QString &name, auto action) {
        auto *b = new RailIconButton(symbol, help, this);
        b->setObjectName(name);
        // 14 pt; the side strip's gear is a little larger.
        b->setSymbolSize(vertical && symbol == "gearshape"_L1 ? 15 : 14);
        if (vertical)
            b->setFixedSize(40, int(expandedrail::actionButtonHeight));
        else
            b->setFixedSize(int(toprail::actionWidth), 30);
        connect(b, &QAbstractButton::clicked, this, action);
        if (m_actions)
            m_actions->addWidget(b, 0, Qt::AlignCenter);
        m_actionButtons.push_back(b);
        b->show();
    };
    if (m_state.showMinimizeAllAppsButton())
        add(u"rectangle.compress.vertical"_s, tr("Minimize All Apps"), u"minimizeAllButton"_s,
            [this] { m_state.minimizeAllApplications(); });
    add(u"arrow.clockwise"_s, tr("Refresh"), u"refreshButton"_s, [this] { refreshEverything(*m_refresh); });
    add(u"gearshape"_s, tr("Settings"), u"settingsButton"_s, [this] { Q_EMIT settingsRequested(); });
    arrange();
}

void ExpandedToolStrip::arrange()
{
    const double s = m_state.railScaleFactor();
    if (m_axis == Qt::Vertical) {
        // A strip shorter than its content closes up, then lets the leading
        // actions go and at last the trailing module buttons.
        const expandedrail::Canvas column{RailEdge::left, s, false, double(height())};
        const expandedrail::SideStripFit fit =
            expandedrail::sideStripFit(column, int(m_ordered.size()), int(m_actionButtons.size()));
        const int padding = qRound(fit.padding);
        const int side = int(expandedrail::stripHorizontalPadding);
        if (layout())
            layout()->setContentsMargins(side, padding, side, padding);
        m_buttons->setSpacing(qRound(fit.moduleSpacing));
        m_actions->setSpacing(qRound(fit.actionSpacing));
        for (std::size_t i = 0; i < m_ordered.size(); ++i)
            m_ordered[i]->setVisible(int(i) < fit.shownModules);
        const int hidden = int(m_actionButtons.size()) - fit.shownActions;
        for (int i = 0; i < int(m_actionButtons.size()); ++i)
            m_actionButtons[std::size_t(i)]->setVisible(i >= hidden);
        if (layout())
            layout()->activate();
        return;
    }
    const toprail::StripFit fit = toprail::stripFit(width(), int(m_ordered.size()), int(m_actionButtons.size()), s);
    const double room = width() - 2 * fit.padding;
    double x = fit.padding + std::max(0.0, (room - fit.contentWidth) / 2);
    const double mid = height() / 2.0;
    const auto put = [&](QWidget *w, double itemWidth, double itemHeight) {
        w->setGeometry(QRectF(x, mid - itemHeight / 2, itemWidth, itemHeight).toRect());
        x += itemWidth;
    };
    x += toprail::moduleRowPadding;
    for (std::size_t i = 0; i < m_ordered.size(); ++i) {
        const bool shown = int(i) < fit.shownModules;
        m_ordered[i]->setVisible(shown);
        if (!shown)
            continue;
        if (i > 0)
            x += fit.moduleSpacing;
        put(m_ordered[i], m_ordered[i]->width(), m_ordered[i]->height());
    }
    x += toprail::moduleRowPadding + fit.spacing;
    put(m_separator, toprail::separatorWidth, m_separator->height());
    // The leading actions give way first: Settings, the last, always shows.
    const int hidden = int(m_actionButtons.size()) - fit.shownActions;
    for (int i = 0; i < int(m_actionButtons.size()); ++i) {
        QWidget *action = m_actionButtons[std::size_t(i)];
        action->setVisible(i >= hidden);
        if (i < hidden)
            continue;
        x += fit.spacing;
        action->setFixedSize(qRound(fit.actionWidth), 30);
        put(action, fit.actionWidth, 30);
    }
    if (!selectionAnimating())
        m_bubble = targetBubble();
    update();
}

QRectF ExpandedToolStrip::targetBubble() const
{
    const ToolStripButton *b = m_buttonFor.value(m_state.selectedModule());
    return b ? QRectF(b->geometry()) : QRectF();
}

void ExpandedToolStrip::moveSelection(bool animated)
{
    const QRectF to = targetBubble();
    if (!animated || m_bubble.isEmpty() || to.isEmpty() || !isVisible()) {
        m_selection->stop();
        m_bubble = to;
        m_bubbleOpacity = 1;
        update();
        return;
    }
    m_bubbleFrom = m_bubble;
    const Motion &motion = OrlixMotion::railMotion();
    m_selection->stop();
    m_selection->setDuration(motion.durationMs);
    m_selection->setEasingCurve(motion.curve);
    m_selection->start();
}

void ExpandedToolStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->oldSize().height() != height() || m_axis == Qt::Horizontal)
        arrange();
    if (!selectionAnimating())
        m_bubble = targetBubble();
}

bool ExpandedToolStrip::event(QEvent *event)
{
    // Buttons move when the layout settles; the resting bubble follows them.
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show) {
        const bool handled = QWidget::event(event);
        if (!selectionAnimating())
            m_bubble = targetBubble();
        return handled;
    }
    return QWidget::event(event);
}

void ExpandedToolStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = m_state.railScaleFactor();
    LiquidGlassSurface::paint(p, QRectF(rect()), expandedrail::stripWidth * s / 2, OrlixGlassProfile::rail());
    if (m_bubble.isEmpty())
        return;
    const QColor tint = OrlixStyle::current().tint(m_state.selectedModule());
    p.setOpacity(m_bubbleOpacity);
    paintRailGlass(p, m_bubble, 18, railSelectionGlass(tint), withAlpha(tint, 0.24), 0.8);
}

TopExpandedToolStrip::TopExpandedToolStrip(AppState &state, QWidget *parent)
    : ExpandedToolStrip(state, Qt::Horizontal, parent)
{
}

} // namespace kolu
