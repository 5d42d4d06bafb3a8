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
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVariantAnimation>
#include <QWheelEvent>

#include <cmath>

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

// Where more module buttons lie past an end of the list, the strip's own
// glass fades in over them.
class ListEdgeFade : public QWidget {
public:
    ListEdgeFade(QWidget *strip, bool top, std::function<void(QPainter &)> glass)
        : QWidget(strip)
        , m_top(top)
        , m_glass(std::move(glass))
    {
        setObjectName(top ? u"toolStripFadeTop"_s : u"toolStripFadeBottom"_s);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const qreal ratio = devicePixelRatioF();
        QImage layer((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        layer.setDevicePixelRatio(ratio);
        layer.fill(Qt::transparent);
        QPainter g(&layer);
        g.translate(-QPointF(pos()));
        m_glass(g);
        g.resetTransform();
        g.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient fade(0, 0, 0, height());
        fade.setColorAt(m_top ? 0 : 1, Qt::black);
        fade.setColorAt(m_top ? 1 : 0, Qt::transparent);
        g.fillRect(QRectF(rect()), fade);
        g.end();
        QPainter(this).drawImage(QPointF(0, 0), layer);
    }

private:
    bool m_top;
    std::function<void(QPainter &)> m_glass;
};

constexpr int kFadeDepth = 18;

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
    const bool vertical = axis == Qt::Vertical;

    if (vertical) {
        auto *outer = new QBoxLayout(QBoxLayout::TopToBottom, this);
        outer->setContentsMargins(int(expandedrail::stripHorizontalPadding), int(expandedrail::stripVerticalPadding),
                                  int(expandedrail::stripHorizontalPadding), int(expandedrail::stripVerticalPadding));
        outer->setSpacing(0);
        // The module buttons stand in a list of their own, which scrolls
        // where the strip is too short for them; the actions stay put.
        m_list = new QScrollArea(this);
        m_list->setObjectName(u"toolStripModuleList"_s);
        m_list->setFrameShape(QFrame::NoFrame);
        m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_list->setAutoFillBackground(false);
        m_list->viewport()->setAutoFillBackground(false);
        // The buttons are placed by hand in the list, each centred on its
        // slot of the strip's rule, where the card's connector meets it.
        m_listColumn = new QWidget;
        m_list->setWidgetResizable(false);
        m_list->setWidget(m_listColumn);
        m_listColumn->setAutoFillBackground(false); // setWidget() turned it on
        outer->addWidget(m_list, 0, Qt::AlignHCenter);
        outer->addStretch(1);
        connect(m_list->verticalScrollBar(), &QScrollBar::valueChanged, this, &ExpandedToolStrip::listScrolled);
        connect(m_list->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
            scrollToSelection();
            listScrolled();
        });
        const auto glass = [this](QPainter &p) {
            LiquidGlassSurface::paint(p, QRectF(rect()), expandedrail::stripWidth * m_state.railScaleFactor() / 2,
                                      OrlixGlassProfile::rail());
        };
        m_fadeTop = new ListEdgeFade(this, true, glass);
        m_fadeBottom = new ListEdgeFade(this, false, glass);
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
            if (m_list)
                b->installEventFilter(this);
            connect(b, &ToolStripButton::ringsChanged, this, [this, b] { Q_EMIT ringsChanged(b); });
            m_buttonFor.insert(module, b);
        }
        if (m_listColumn)
            b->setParent(m_listColumn);
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
        // Every module keeps its button at its size: those that do not fit
        // are reached by scrolling the list, which shows the ones that fit
        // whole where the strip would have them unscrolled, so the card and
        // its connector meet the open module's button once it is in place.
        const int count = int(m_ordered.size());
        const int shown = std::min(fit.shownModules, count);
        const double cell = expandedrail::buttonHeight * s;
        m_listScrolls = shown < count;
        m_listStep = cell + fit.moduleSpacing;
        m_listShown = shown;
        const auto extent = [&](int n) { return n > 0 ? int(std::ceil(n * cell + (n - 1) * fit.moduleSpacing)) : 0; };
        const int across = std::max(0, width() - 2 * side);
        m_listColumn->resize(across, extent(count));
        for (int i = 0; i < count; ++i) {
            ToolStripButton *b = m_ordered[std::size_t(i)];
            const QPointF centre(across / 2.0, i * m_listStep + cell / 2);
            b->move((centre - QPointF(b->width(), b->height()) / 2).toPoint());
            b->show();
        }
        m_list->setFixedSize(across, extent(shown));
        const int hidden = int(m_actionButtons.size()) - fit.shownActions;
        for (int i = 0; i < int(m_actionButtons.size()); ++i)
            m_actionButtons[std::size_t(i)]->setVisible(i >= hidden);
        if (layout())
            layout()->activate();
        scrollToSelection();
        listScrolled();
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
    return b ? QRectF(QRect(b->mapTo(this, QPoint(0, 0)), b->size())) : QRectF();
}

void ExpandedToolStrip::listScrolled()
{
    if (!m_list)
        return;
    const QScrollBar *bar = m_list->verticalScrollBar();
    const QRect list = m_list->geometry();
    m_fadeTop->setGeometry(0, list.top(), width(), std::min(kFadeDepth, list.height() / 2));
    m_fadeBottom->setGeometry(0, list.bottom() + 1 - m_fadeTop->height(), width(), m_fadeTop->height());
    m_fadeTop->setVisible(m_listScrolls && bar->value() > bar->minimum());
    m_fadeBottom->setVisible(m_listScrolls && bar->value() < bar->maximum());
    m_fadeTop->raise();
    m_fadeBottom->raise();
    m_fadeTop->update();
    m_fadeBottom->update();
    if (!selectionAnimating())
        m_bubble = targetBubble();
    update();
    Q_EMIT moduleListScrolled();
}

bool ExpandedToolStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (m_list && watched->isWidgetType() && static_cast<QWidget *>(watched)->parentWidget() == m_listColumn)
        return dragList(static_cast<QWidget *>(watched), event);
    return QWidget::eventFilter(watched, event);
}

bool ExpandedToolStrip::dragList(QWidget *button, QEvent *event)
{
    QScrollBar *bar = m_list->verticalScrollBar();
    const auto stop = [this] {
        m_dragFrom.reset();
        m_dragging = false;
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        stop();
        if (press->button() == Qt::LeftButton && m_listScrolls) {
            m_dragFrom = press->globalPosition();
            m_dragStartValue = bar->value();
        }
        return false;
    }
    case QEvent::MouseMove: {
        if (!m_dragFrom)
            return false;
        // A long press moves the button instead; the list stays where it was.
        if (m_state.isReorderingRail()) {
            if (m_dragging)
                bar->setValue(m_dragStartValue);
            stop();
            return false;
        }
        const double dy = static_cast<QMouseEvent *>(event)->globalPosition().y() - m_dragFrom->y();
        if (!m_dragging) {
            if (std::abs(dy) <= toolstrip::reorderPressTolerance)
                return false;
            // The button sees this move too and lets its press go.
            m_dragging = true;
            bar->setValue(m_dragStartValue - qRound(dy));
            return false;
        }
        if (auto *pressed = qobject_cast<QAbstractButton *>(button))
            pressed->setDown(false);
        bar->setValue(m_dragStartValue - qRound(dy));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const bool dragged = m_dragging;
        stop();
        if (!dragged)
            return false;
        // A drag of the list opens nothing.
        if (auto *pressed = qobject_cast<QAbstractButton *>(button))
            pressed->setDown(false);
        return true;
    }
    case QEvent::Wheel: {
        if (!m_listScrolls)
            return false;
        // A notch moves the list on by one button.
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const int by = wheel->pixelDelta().y() != 0 ? wheel->pixelDelta().y()
                                                    : qRound(wheel->angleDelta().y() / 120.0 * m_listStep);
        bar->setValue(bar->value() - by);
        return true;
    }
    default: return false;
    }
}

std::optional<int> ExpandedToolStrip::restingScroll() const
{
    if (!m_list || !m_listScrolls)
        return std::nullopt;
    // The open module's button comes to the last place that shows, or stays
    // in its own where it has one without scrolling.
    const auto it = std::find(m_ordered.begin(), m_ordered.end(), m_buttonFor.value(m_state.selectedModule()));
    if (it == m_ordered.end())
        return std::nullopt;
    const int index = int(it - m_ordered.begin());
    const QScrollBar *bar = m_list->verticalScrollBar();
    return std::clamp(int(qRound(std::max(0, index - (m_listShown - 1)) * m_listStep)), bar->minimum(), bar->maximum());
}

void ExpandedToolStrip::scrollToSelection()
{
    if (const std::optional<int> rest = restingScroll())
        m_list->verticalScrollBar()->setValue(*rest);
}

int ExpandedToolStrip::selectionScrollShift() const
{
    const std::optional<int> rest = restingScroll();
    return rest ? *rest - m_list->verticalScrollBar()->value() : 0;
}

bool ExpandedToolStrip::selectionShows() const
{
    const ToolStripButton *b = m_buttonFor.value(m_state.selectedModule());
    if (!b || !m_list || !m_listScrolls)
        return b != nullptr;
    const int middle = b->mapTo(m_list->viewport(), b->rect().center()).y();
    return middle >= 0 && middle < m_list->viewport()->height();
}

void ExpandedToolStrip::moveSelection(bool animated)
{
    scrollToSelection();
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
    if (m_list && m_listScrolls)
        p.setClipRect(m_list->geometry());
    p.setOpacity(m_bubbleOpacity);
    paintRailGlass(p, m_bubble, 18, railSelectionGlass(tint), withAlpha(tint, 0.24), 0.8);
}

TopExpandedToolStrip::TopExpandedToolStrip(AppState &state, QWidget *parent)
    : ExpandedToolStrip(state, Qt::Horizontal, parent)
{
}

} // namespace kolu
