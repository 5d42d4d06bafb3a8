#include "shell/rail/EdgeNotification.h"

#include "model/Clock.h"
#include "model/CountText.h"
#include "platform/x11/ServerTime.h"
#include "shell/rail/RailGlass.h"
#include "shell/rules/EdgeNotificationContent.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/LiquidGlassSurface.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/StyledWidget.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QFont systemFont(int size, QFont::Weight weight)
{
    return OrlixFonts::system(size, weight);
}

// The module symbol in white on a rounded square of the tint, with a
// coloured shadow below it.
class NotificationBadge : public QWidget {
public:
    NotificationBadge(const EdgeNotificationLook &look, QWidget *parent)
        : QWidget(parent)
        , m_look(look)
    {
        setObjectName(u"notificationBadge"_s);
        setFixedSize(QSizeF(look.badgeSize, look.badgeSize).toSize());
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor tint = OrlixStyle::current().tint(m_look.module);
        const QRectF square(rect());
        // The shadow (radius 10, y 5) would reach outside the badge; a soft
        // inner glow along the bottom stands for it within the frame.
        QColor glow = withAlpha(tint, m_look.badgeShadowOpacity);
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawPath(continuousRoundedRect(square.adjusted(1, 3, -1, 0), 16));
        painter.setBrush(tint);
        painter.drawPath(continuousRoundedRect(square.adjusted(0, 0, 0, -2), 16));
        IconProvider::paint(painter, square.adjusted(0, 0, 0, -2), m_look.symbol, m_look.symbolSize,
                            OrlixStyle::current().symbolInk(Qt::white, tint), IconWeight::bold);
    }

private:
    EdgeNotificationLook m_look;
};

} // namespace

EdgeNotification::EdgeNotification(EdgeAlertKind kind, AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_state(state)
{
    static const char *names[] = {"calendarEdgeNotification", "prayerEdgeNotification", "reminderEdgeNotification",
                                  "focusEdgeNotification"};
    setObjectName(QString::fromLatin1(names[static_cast<int>(kind)]));
    setAttribute(Qt::WA_NoSystemBackground);
    const EdgeNotificationLook look = edgenotification::look(kind);
    const QSize size = railview::notificationSize(kind).toSize();
    setFixedSize(size);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 10, 10, 10);
    row->setSpacing(12);
    row->addWidget(new NotificationBadge(look, this), 0, Qt::AlignVCenter);

    auto *column = new QWidget(this);
    column->setObjectName(u"notificationText"_s);
    // At least the column's own width; the space the buttons leave goes to
    // the text too, since the desktop's fonts run wider than the widths were
    // made for.
    column->setMinimumWidth(static_cast<int>(look.textWidth));
    column->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *lines = new QVBoxLayout(column);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(2);
    lines->addStretch();
    m_first = new ElidedLabel(QString(), column);
    m_first->setObjectName(u"firstLine"_s);
    m_first->setFont(systemFont(14, QFont::Bold));
    m_second = new ElidedLabel(QString(), column);
    m_second->setObjectName(u"secondLine"_s);
    m_second->setFont(systemFont(12, QFont::DemiBold));
    lines->addWidget(m_first);
    lines->addWidget(m_second);
    if (kind == EdgeAlertKind::calendar || kind == EdgeAlertKind::focus) {
        m_third = new ElidedLabel(QString(), column);
        m_third->setObjectName(u"thirdLine"_s);
        m_third->setFont(systemFont(12, QFont::DemiBold));
        lines->addWidget(m_third);
    }
    lines->addStretch();
    fitLines(row, lines);
    row->addWidget(column, 1, Qt::AlignVCenter);
    addButtons(row);

    auto recolour = [this] {
        const OrlixStyle &style = OrlixStyle::current();
        m_first->setColor(style.text());
        m_second->setColor(style.secondaryText());
        if (m_third)
            m_third->setColor(style.readable(withAlpha(style.secondaryText(), 0.92)));
        m_background.drop();
        update();
    };
    recolour();
    onStyleChange(this, recolour);
    refreshLines();
    m_settle = state.clock().createTimer(this);
    connect(m_settle, &ClockTimer::timeout, this, [this] { m_settled = true; });
    // Presses reach the buttons first; the menu is a window of its own,
    // opened by a press the banner already took.
    for (QWidget *child : findChildren<QWidget *>())
        if (child != m_menu && !(m_menu && m_menu->isAncestorOf(child)))
            child->installEventFilter(this);
    installEventFilter(this);
    connect(&state, &AppState::changed, this, [this](AppState::Field field) {
        if (field == AppState::Field::activeCalendarAlert || field == AppState::Field::activePrayerAlert
            || field == AppState::Field::activeReminderAlert)
            refreshLines();
    });
}

void EdgeNotification::fitLines(QHBoxLayout *row, QVBoxLayout *lines)
{
    // The desktop's fonts can run taller than the ones the notification's
    // height was made for: the lines close up first, then the margins give
    // way, so that every line shows at its full height.
    std::vector<const ElidedLabel *> shown = {m_first, m_second};
    if (m_third)
        shown.push_back(m_third);
    int needed = 0;
    for (const ElidedLabel *line : shown)
        needed += static_cast<int>(std::ceil(QFontMetricsF(line->font()).lineSpacing()));
    const QMargins margins = row->contentsMargins();
    const int room = height() - margins.top() - margins.bottom();
    const int gaps = static_cast<int>(shown.size()) - 1;
    lines->setSpacing(std::clamp((room - needed) / gaps, 0, lines->spacing()));
    if (needed > room) {
        const int trim = std::min((needed - room + 1) / 2, margins.top() - 2);
        row->setContentsMargins(margins.left(), margins.top() - trim, margins.right(), margins.bottom() - trim);
    }
}

QSize EdgeNotification::sizeHint() const
{
    return railview::notificationSize(m_kind).toSize();
}

QRegion EdgeNotification::drawnShape() const
{
    return drawnshape::rounded(rect(), 28);
}

void EdgeNotification::refreshLines()
{
    const EdgeNotificationLines text =
        edgenotification::lines(m_kind, m_state.activeCalendarAlert(), m_state.activePrayerAlert(),
                                m_state.activeReminderAlert(), DateText::user());
    m_first->setText(text.first);
    m_second->setText(text.second);
    if (m_third)
        m_third->setText(text.third.value_or(QString()));
}

void EdgeNotification::clearAlertDirectly()
{
    // The state re-frames the panel for its own actions; a field cleared
    // here asks for it explicitly.
    m_state.requestChromeLayout();
}

void EdgeNotification::addButtons(QHBoxLayout *row)
{
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    row->addLayout(buttons);
    auto *secondary = new OrlixButton(OrlixButton::Kind::secondary,
                                      m_kind == EdgeAlertKind::reminder ? tr("Done") : tr("Stop"), this);
    secondary->setObjectName(m_kind == EdgeAlertKind::reminder ? u"doneButton"_s : u"stopButton"_s);
    buttons->addWidget(secondary, 0, Qt::AlignVCenter);

    switch (m_kind) {
    case EdgeAlertKind::focus: {
        connect(secondary, &QAbstractButton::clicked, this, [this] {
            m_state.setPomodoroAlertVisible(false);
            clearAlertDirectly();
            m_state.mutate<AppState::Field::pomodoro>([](PomodoroState &p) { p.reset(); });
            m_state.persist();
        });
        auto *snooze = new OrlixButton(OrlixButton::Kind::primary, tr("Snooze"), this);
        snooze->setObjectName(u"snoozeButton"_s);
        connect(snooze, &QAbstractButton::clicked, this, [this] { m_state.snoozePomodoro(5); });
        buttons->addWidget(snooze, 0, Qt::AlignVCenter);
        return;
    }
    case EdgeAlertKind::calendar:
        connect(secondary, &QAbstractButton::clicked, this, [this] {
            m_state.setActiveCalendarAlert(std::nullopt);
            clearAlertDirectly();
        });
        return;
    case EdgeAlertKind::prayer:
        connect(secondary, &QAbstractButton::clicked, this, [this] {
            m_state.setActivePrayerAlert(std::nullopt);
            clearAlertDirectly();
        });
        break;
    case EdgeAlertKind::reminder:
        connect(secondary, &QAbstractButton::clicked, this, [this] { m_state.completeReminderAlert(); });
        break;
    }

    auto *remind = new OrlixButton(OrlixButton::Kind::primary, tr("Remind"), this);
    remind->setObjectName(u"remindButton"_s);
    remind->setSymbol(u"bell"_s);
    buttons->addWidget(remind, 0, Qt::AlignVCenter);
    m_menu = new QMenu(this);
    m_menu->setObjectName(u"remindMenu"_s);
    for (int minutes : edgenotification::snoozeChoices) {
        QAction *action = m_menu->addAction(countText(minutes, tr("minute"), tr("minutes")));
        connect(action, &QAction::triggered, this, [this, minutes] {
            if (m_kind == EdgeAlertKind::prayer)
                m_state.snoozePrayer(minutes);
            else
                m_state.snoozeReminder(minutes);
        });
    }
    connect(m_menu, &QMenu::aboutToShow, this, [this] { Q_EMIT menuActiveChanged(true); });
    connect(m_menu, &QMenu::aboutToHide, this, [this] { Q_EMIT menuActiveChanged(false); });
    connect(remind, &QAbstractButton::clicked, this,
            [this, remind] { m_menu->popup(remind->mapToGlobal(QPoint(0, remind->height()))); });
}

void EdgeNotification::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // Kept: an alert's rings repaint the banner's edge beside them on every
    // one of their frames.
    m_background.draw(painter, event->region(), size(), [this](QPainter &on) {
        on.setRenderHint(QPainter::Antialiasing);
        const OrlixStyle &style = OrlixStyle::current();
        const QColor tint = style.tint(edgenotification::look(m_kind).module);
        const QRectF shape = QRectF(rect());
        const OrlixGlassProfile glass = railControlGlass(tint, {0.1, 14, 0, 7});
        on.setPen(Qt::NoPen);
        if (m_covers) {
            // The material as dense as where nothing composites.
            const OrlixGlassProfile resolved = glass.resolved(style.theme(), style.colorScheme());
            on.setBrush(LiquidGlassSurface::materialColor(resolved, GlassTier::opaque));
            on.drawPath(continuousRoundedRect(shape, 28));
        }
        on.setBrush(withAlpha(tint, 0.1));
        on.drawPath(continuousRoundedRect(shape, 28));
        paintRailGlass(on, shape, 28, glass, withAlpha(tint, 0.28), 0.8);
    });
    const QWindow *shownIn = window()->windowHandle();
    if (!m_framePainted && isVisible() && shownIn && shownIn->isExposed()) {
        m_framePainted = true;
        // The window hands the frame to the screen once every widget of it
        // is painted; the next turn of the event loop comes after that.
        QMetaObject::invokeMethod(this, &EdgeNotification::firstFrameShown, Qt::QueuedConnection);
    }
}

void EdgeNotification::firstFrameShown()
{
    if (!m_framePainted || m_onScreen)
        return;
    m_onScreen = true;
    // The half second counts from what the user can see: a program busy
    // between showing the banner and painting it would otherwise spend it
    // with nothing on screen.
    m_settle->start(settleTime, false);
    delete m_frameTimeRequest;
    m_frameTimeRequest = new ServerTimeRequest(window()->windowHandle(), this);
    connect(m_frameTimeRequest, &ServerTimeRequest::answered, this, [this](quint32 time) {
        m_frameServerTime = time;
        m_frameTimeRequest->deleteLater();
        m_frameTimeRequest = nullptr;
    });
}

void EdgeNotification::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_settled = false;
    m_pressTaken = false;
    m_framePainted = false;
    m_onScreen = false;
    m_frameServerTime.reset();
    m_settle->stop();
    delete std::exchange(m_frameTimeRequest, nullptr);
    update();
}

void EdgeNotification::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_settle->stop();
    m_pressTaken = false;
    m_framePainted = false;
    delete std::exchange(m_frameTimeRequest, nullptr);
}

bool EdgeNotification::takesPress(const QEvent *event) const
{
    if (!m_settled)
        return false;
    if (!m_frameServerTime)
        return true;
    // The server's milliseconds wrap around every 49 days: the difference
    // says which came first.
    const auto pressed = quint32(static_cast<const QInputEvent *>(event)->timestamp());
    return qint32(pressed - *m_frameServerTime) >= 0;
}

bool EdgeNotification::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: m_pressTaken = takesPress(event); return !m_pressTaken;
    case QEvent::MouseButtonRelease:
        // A press the banner did not take ends nowhere.
        return !m_pressTaken;
    case QEvent::MouseMove: return static_cast<QMouseEvent *>(event)->buttons() != Qt::NoButton && !m_pressTaken;
    default: return QWidget::eventFilter(watched, event);
    }
}

void EdgeNotification::setCoversWhatIsBelow(bool covers)
{
    if (covers == m_covers)
        return;
    m_covers = covers;
    m_background.drop();
    update();
}

} // namespace kolu
