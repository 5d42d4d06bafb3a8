#include "cards/reminders/RemindersCard.h"

#include "cards/reminders/ReminderComposer.h"
#include "cards/reminders/ReminderRow.h"
#include "model/UserDefaults.h"
#include "style/ContinuousCorners.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/Motion.h"
#include "style/IconProvider.h"
#include "style/MinuteTicker.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/Reveal.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QHash>
#include <QPainter>
#include <QVariantAnimation>

#include <algorithm>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

ReminderFilterChip::ReminderFilterChip(const QString &text, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(text);
    setCheckable(true);
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (m_motion)
            m_motion->stop();
        update();
        if (!isVisible()) {
            m_selectedness = checked ? 1 : 0;
            return;
        }
        if (!m_motion) {
            m_motion = new QVariantAnimation(this);
            applyMotion(m_motion, OrlixMotion::smooth());
            connect(m_motion, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
                m_selectedness = value.toDouble();
                update();
            });
        }
        m_motion->setStartValue(m_selectedness);
        m_motion->setEndValue(checked ? 1.0 : 0.0);
        runMotion(m_motion);
    });
    setCursor(Qt::PointingHandCursor);
    setFont(OrlixFonts::system(10, QFont::Bold));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

QSize ReminderFilterChip::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 16, metrics.height() + 14};
}

void ReminderFilterChip::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = style.tint(RailModule::reminders);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
    const QPainterPath capsule = continuousRoundedRect(frame, frame.height() / 2);
    // The spring may swing a little past either look; the colours stay between.
    const qreal t = std::clamp<qreal>(m_selectedness, 0, 1);
    painter.fillPath(capsule, blend(withAlpha(style.surfaceRaised(), 0.34), withAlpha(tint, 0.18), t));
    painter.strokePath(capsule, QPen(blend(withAlpha(style.hairline(), 0.18), withAlpha(tint, 0.34), t), 0.8));
    painter.setPen(blend(style.secondaryText(), style.text(), t));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, fontMetrics().elidedText(text(), Qt::ElideRight, width() - 16));
}

ReminderComposerButton::ReminderComposerButton(QWidget *parent)
    : ComposerToggleButton(RailModule::reminders, QSize(30, 28), 8, 13, parent)
{
}

RemindersCard::RemindersCard(AppState &state, QWidget *parent)
    : ModuleCard(tr("Reminders"), u"checklist"_s, parent)
    , m_state(state)
{
    setObjectName(u"remindersCard"_s);

    auto *header = new QWidget(this);
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->setSpacing(10);
    auto *lines = new QVBoxLayout;
    lines->setSpacing(2);
    m_connectionLine = new ElidedLabel(QString(), header);
    m_connectionLine->setObjectName(u"reminderConnectionLine"_s);
    m_connectionLine->setFont(OrlixFonts::system(12, QFont::Bold));
    m_countLine = new ElidedLabel(QString(), header);
    m_countLine->setObjectName(u"reminderCountLine"_s);
    m_countLine->setFont(OrlixFonts::system(11, QFont::DemiBold));
    lines->addWidget(m_connectionLine);
    lines->addWidget(m_countLine);
    headerLayout->addLayout(lines, 1);
    m_refresh = new OrlixButton(OrlixButton::Kind::secondary, QString(), header);
    m_refresh->setObjectName(u"reminderRefreshButton"_s);
    m_refresh->setSymbol(u"arrow.clockwise"_s);
    m_refresh->setToolTip(tr("Refresh Reminders"));
    headerLayout->addWidget(m_refresh);
    m_composerButton = new ReminderComposerButton(header);
    m_composerButton->setObjectName(u"reminderComposerButton"_s);
    headerLayout->addWidget(m_composerButton);
    addContent(header);
    connect(m_refresh, &QAbstractButton::clicked, this, [this] { m_state.refreshReminders(); });
    connect(m_composerButton, &QAbstractButton::clicked, this, &RemindersCard::composerAction);

    auto *strip = new QWidget(this);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->setSpacing(6);
    for (ReminderFilter filter : reminderrules::offeredFilters()) {
        auto *chip = new ReminderFilterChip(reminderrules::label(filter), strip);
        chip->setObjectName(u"reminderFilter_"_s + rawValue(filter));
        stripLayout->addWidget(chip, 1);
        m_chips.emplace_back(filter, chip);
        connect(chip, &QAbstractButton::clicked, this,
                [this, filter] { m_state.defaults().set(SettingsKey::orlixReminderFilter, rawValue(filter)); });
    }
    addContent(strip);

    m_composer = new ReminderComposer(this);
    m_composer->setDraft(ReminderComposer::freshDraft(m_state.clock().now()));
    m_composer->hide();
    m_reveal = new Reveal(m_composer, OrlixMotion::smooth());
    addContent(m_composer);
    connect(m_composer, &ReminderComposer::submitted, this, &RemindersCard::addReminder);
    connect(m_composer, &ReminderComposer::draftChanged, this, &RemindersCard::updateHeader);

    // The sections sit in the card itself, which scrolls inside the panel
    // like every other card.
    m_list = new QWidget(this);
    m_list->setObjectName(u"reminderList"_s);
    m_listLayout = new QVBoxLayout(m_list);
    m_listLayout->setContentsMargins(0, 0, 0, 0);
    m_listLayout->setSpacing(10);
    addContent(m_list);

    connect(&m_state, &AppState::changed, this, &RemindersCard::onStateChanged);
    connect(&m_state.defaults(), &UserDefaults::changed, this, [this](SettingsKey key) {
        if (key == SettingsKey::orlixReminderFilter) {
            updateChips();
            rebuildList();
        }
    });
    onStyleChange(this, [this] {
        updateHeader();
        m_shown.reset(); // the section titles take the new colours
        rebuildList();
    });
    // The sections follow the day: at midnight "Tomorrow" becomes "Today".
    connect(new MinuteTicker(m_state.clock(), this), &MinuteTicker::minutePassed, this, [this] {
        if (reminderrules::Day::of(m_state.clock().now(), QTimeZone::systemTimeZone()).startOfToday != m_shownDay)
            rebuildList();
    });
    updateHeader();
    updateChips();
    rebuildList();
}

ReminderFilter RemindersCard::selectedFilter() const
{
    return reminderrules::selectedFilter(m_state.defaults().stringValue(SettingsKey::orlixReminderFilter));
}

void RemindersCard::composerAction()
{
    if (!m_composing) {
        m_composing = true;
        ReminderDraft draft = m_composer->draft();
        draft.hasDate = selectedFilter() == ReminderFilter::today;
        if (draft.hasDate)
            draft.dueDate = m_state.clock().now();
        else
            draft.hasTime = false; // a time is kept only with a date
        m_composer->setDraft(draft);
        m_reveal->setOpen(true);
        updateHeader();
        m_composer->findChild<QWidget *>(u"reminderTitleField"_s)->setFocus();
        return;
    }
    addReminder();
}

void RemindersCard::addReminder()
{
    // A second add while the first is on its way would write the reminder twice.
    if (!m_composer->isReady() || m_addPending)
        return;
    m_addPending = true;
    m_composer->setFailure(QString());
    m_state.addReminder(m_composer->draft());
}

void RemindersCard::onStateChanged(AppState::Field field)
{
    if (field != AppState::Field::reminderList)
        return;
    if (m_addPending) {
        // The first answer after an add is the add's own.
        m_addPending = false;
        const RemindersConnectionState &answer = m_state.remindersConnection();
        if (answer.kind == RemindersConnectionState::Kind::ready) {
            m_composer->setDraft(ReminderComposer::freshDraft(m_state.clock().now()));
            m_reveal->setOpen(false);
            m_composing = false;
        } else {
            m_composer->setFailure(answer.kind == RemindersConnectionState::Kind::failed && !answer.message.isEmpty()
                                       ? answer.message
                                       : reminderrules::connectionLine(answer, m_state.chosenRemindersFolder()));
        }
    } else if (m_state.remindersConnection().kind == RemindersConnectionState::Kind::ready) {
        m_composer->setFailure(QString()); // what made an earlier add fail is mended
    }
    updateHeader();
    rebuildList();
}

void RemindersCard::updateHeader()
{
    const OrlixStyle &style = OrlixStyle::current();
    m_connectionLine->setText(
        reminderrules::connectionLine(m_state.remindersConnection(), m_state.chosenRemindersFolder()));
    m_connectionLine->setColor(style.text());
    m_countLine->setText(reminderrules::countText(int(m_state.reminders().size()), m_state.hasMoreOpenReminders()));
    m_countLine->setColor(style.secondaryText());
    const bool ready = m_composing && m_composer->isReady();
    m_composerButton->setReady(ready);
    m_composerButton->setToolTip(m_composing ? tr("Save reminder") : tr("Add reminder"));
}

void RemindersCard::updateChips()
{
    const ReminderFilter selected = selectedFilter();
    for (auto &[filter, chip] : m_chips)
        chip->setChecked(filter == selected);
}

void RemindersCard::rebuildList()
{
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const auto day = reminderrules::Day::of(m_state.clock().now(), zone);
    m_shownDay = day.startOfToday;
    const auto &all = m_state.reminders();
    const auto kept = reminderrules::filtered(all, selectedFilter(), day);
    ListContent next;
    if (kept.empty()) {
        next.empty = reminderrules::emptyContent(m_state.remindersConnection(), m_state.hasMoreOpenReminders(),
                                                 m_state.chosenRemindersFolder());
    } else {
        next.sections = reminderrules::sections(kept, day, zone, DateText::user());
    }
    if (m_shown == next)
        return;
    m_shown = next;

    // The rows shown now, by reminder; a row whose reminder is unchanged moves
    // to its new section before the old sections go.
    QHash<QString, ReminderRow *> rows;
    while (QLayoutItem *item = m_listLayout->takeAt(0)) {
        if (QWidget *widget = item->widget()) {
            for (ReminderRow *row : widget->findChildren<ReminderRow *>())
                rows.insert(row->reminder().id, row);
            widget->deleteLater();
        }
        delete item;
    }
    const OrlixStyle &style = OrlixStyle::current();
    if (next.empty) {
        const reminderrules::EmptyContent &content = *next.empty;
        auto *empty = new EmptyState(content.symbol, content.title, content.subtitle, m_list);
        if (!content.path.isEmpty())
            empty->setPathContent(content.symbol, content.title, content.subtitle, content.path, content.afterPath);
        empty->setObjectName(u"reminderEmptyState"_s);
        m_listLayout->addWidget(empty);
        if (content.offersSettings) {
            auto *open = new OrlixButton(OrlixButton::Kind::secondary, tr("Open Settings"), m_list);
            open->setObjectName(u"reminderOpenSettingsButton"_s);
            open->setSymbol(u"gearshape"_s);
            open->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            m_listLayout->addWidget(open);
            connect(open, &QAbstractButton::clicked, this, [this] { m_state.openRemindersAccessSettings(); });
        }
        m_listLayout->addStretch(1);
        return;
    }
    for (const reminderrules::Section &section : next.sections) {
        auto *block = new QWidget(m_list);
        block->setObjectName(u"reminderSection"_s);
        auto *blockLayout = new QVBoxLayout(block);
        blockLayout->setContentsMargins(0, 0, 0, 0);
        blockLayout->setSpacing(7);
        auto *titleLine = new QHBoxLayout;
        auto *title = new ElidedLabel(section.title, block);
        title->setObjectName(u"reminderSectionTitle"_s);
        title->setFont(OrlixFonts::system(12, QFont::Bold));
        title->setColor(style.secondaryText());
        auto *count = new ElidedLabel(QString::number(section.reminders.size()), block);
        count->setObjectName(u"reminderSectionCount"_s);
        count->setFont(OrlixFonts::system(10, QFont::Bold));
        count->setColor(style.readable(style.tint(RailModule::reminders)));
        count->setAlignment(Qt::AlignRight);
        titleLine->addWidget(title, 1);
        titleLine->addWidget(count);
        blockLayout->addLayout(titleLine);
        for (const ReminderItem &item : section.reminders) {
            ReminderRow *row = rows.take(item.id);
            if (!row || row->reminder() != item)
                row = new ReminderRow(m_state, item, block);
            blockLayout->addWidget(row);
        }
        m_listLayout->addWidget(block);
    }
    m_listLayout->addStretch(1);
}

} // namespace kolu
