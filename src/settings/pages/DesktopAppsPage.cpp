#include "settings/pages/DesktopAppsPage.h"

#include "model/CountText.h"
#include "model/FilePath.h"
#include "platform/calendar/CalendarFolders.h"
#include "platform/desktop/UrlOpener.h"
#include "services/clipboard/ClipboardService.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "settings/pages/AccessFolderRequest.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolLabel.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QString displayPath(const QString &path)
{
    return homeRelativePath(path, QDir::homePath());
}

// The folders the screenshot search looks in that can be listed.
QStringList listableScreenshotFolders()
{
    QStringList listable;
    for (const QString &folder : ClipboardService::defaultScreenshotFolders()) {
        if (isUsableFolder(folder, false))
            listable.append(folder);
    }
    return listable;
}

QVBoxLayout *rowStack(QVBoxLayout *parent)
{
    auto *stack = new QVBoxLayout;
    stack->setSpacing(8);
    stack->setContentsMargins(0, 0, 0, 0);
    parent->addLayout(stack);
    return stack;
}

QString remindersLine(const RemindersConnectionState &connection)
{
    switch (connection.kind) {
    case RemindersConnectionState::Kind::notDetermined:
        return DesktopAppsPage::tr("Choose a to-do folder to show your reminders.");
    case RemindersConnectionState::Kind::denied:
        // The folder in use went since the last read: the card says the same.
        return DesktopAppsPage::tr("To-do folder can’t be read.");
    case RemindersConnectionState::Kind::ready: return DesktopAppsPage::tr("Reminders are ready.");
    case RemindersConnectionState::Kind::failed: return connection.message;
    }
    return {};
}

// The status line's colour; the same green and orange as the cards' lines.
QColor statusColor(StatusTint tint)
{
    switch (tint) {
    case StatusTint::green: return OrlixStyle::current().readable(QColor(52, 168, 83));
    case StatusTint::orange: return OrlixStyle::current().readable(QColor(232, 130, 30));
    case StatusTint::accent:
    case StatusTint::secondary: break;
    }
    return OrlixStyle::current().secondaryText();
}

} // namespace

DesktopAppsPage::DesktopAppsPage(SettingsView &view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
{
    setObjectName(u"desktopAppsPage"_s);
    const OrlixStyle &style = OrlixStyle::current();
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    SettingsSectionCard *card = nullptr;
    outer->addWidget(settingsSectionPage(tr("System Access"), &card, this));
    QVBoxLayout *content = card->contentLayout();

    content->addWidget(
        settingsCardHeader(tr("Desktop Apps"), u"apple.logo"_s, tr("Calendar, Reminders, Notes"), nullptr));

    QVBoxLayout *status = rowStack(content);
    m_calendarStatus = settingsStatusRow(tr("Calendar"), {}, u"calendar"_s, style.tint(RailModule::calendar));
    m_calendarStatus->setObjectName(u"desktopAppsCalendarStatus"_s);
    m_remindersStatus = settingsStatusRow(tr("Reminders"), {}, u"checklist"_s, style.tint(RailModule::reminders));
    m_remindersStatus->setObjectName(u"desktopAppsRemindersStatus"_s);
    m_notesStatus = settingsStatusRow(tr("Notes"), {}, u"note.text"_s, style.tint(RailModule::notes));
    m_notesStatus->setObjectName(u"desktopAppsNotesStatus"_s);
    for (SettingsRow *row : {m_calendarStatus, m_remindersStatus, m_notesStatus})
        status->addWidget(row);

    QVBoxLayout *access = rowStack(content);
    AppState *appState = &view.state();
    m_calendarAccess = permissionActionRow(
        tr("Calendar Permission"), {}, u"calendar.badge.checkmark"_s, style.tint(RailModule::calendar), tr("Request"),
        [appState] { requestAccessFolder(*appState, AccessFolder::calendar, false); },
        [appState] { requestAccessFolder(*appState, AccessFolder::calendar, true); });
    m_calendarAccess->setObjectName(u"desktopAppsCalendarAccess"_s);
    m_remindersAccess = permissionActionRow(
        tr("Reminders Permission"), {}, u"checklist.checked"_s, style.tint(RailModule::reminders), tr("Request"),
        [appState] { requestAccessFolder(*appState, AccessFolder::reminders, false); },
        [appState] { requestAccessFolder(*appState, AccessFolder::reminders, true); });
    m_remindersAccess->setObjectName(u"desktopAppsRemindersAccess"_s);
    m_notesAccess = permissionActionRow(
        tr("Notes Permission"), {}, u"note.text"_s, style.tint(RailModule::notes), tr("Request"),
        [appState] { requestAccessFolder(*appState, AccessFolder::notes, false); },
        [appState] { requestAccessFolder(*appState, AccessFolder::notes, true); });
    m_notesAccess->setObjectName(u"desktopAppsNotesAccess"_s);
    m_desktopAccess = permissionActionRow(
        tr("Desktop Permission"), {}, u"desktopcomputer"_s, style.tint(RailModule::fileTray), tr("Check"),
        [appState] { appState->requestDesktopPermission(); },
        [this] { openFolder(listableScreenshotFolders().value(0)); });
    m_desktopAccess->setObjectName(u"desktopAppsDesktopAccess"_s);
    m_notesAccess->settingsButton()->setToolTip(tr("Choose the notes folder"));
    m_desktopAccess->settingsButton()->setToolTip(tr("Open the screenshots folder"));
    m_calendarAccess->settingsButton()->setToolTip(tr("Choose the calendar folder"));
    m_remindersAccess->settingsButton()->setToolTip(tr("Choose the to-do folder"));
    for (SettingsRow *row : {m_calendarAccess, m_remindersAccess, m_notesAccess, m_desktopAccess}) {
        // A line more than other rows: a folder path that the sentence's
        // last line cannot hold takes a line of its own.
        row->detailLabel()->setMaximumLines(3);
        access->addWidget(row);
    }

    m_message = new SymbolLabel({}, u"info.circle"_s, OrlixFonts::system(11, QFont::Bold), PaletteRole::secondaryText,
                                SymbolLabel::Fit::firstLine, this);
    m_message->setMaximumLines(2);
    m_message->setObjectName(u"systemAccessMessage"_s);
    content->addWidget(m_message);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    auto *refresh =
        settingsPageButton(OrlixButton::Kind::secondary, tr("Refresh"), u"arrow.clockwise"_s, u"desktopAppsRefresh"_s);
    auto *openCalendar = settingsPageButton(OrlixButton::Kind::primary, tr("Open Calendar"), u"calendar"_s,
                                            u"desktopAppsOpenCalendar"_s);
    auto *openReminders = settingsPageButton(OrlixButton::Kind::secondary, tr("Open Reminders"), u"checklist"_s,
                                             u"desktopAppsOpenReminders"_s);
    connect(refresh, &OrlixButton::clicked, this, [appState] { appState->refreshAll(); });
    connect(openCalendar, &OrlixButton::clicked, this, [this] { m_view.openModule(RailModule::calendar); });
    connect(openReminders, &OrlixButton::clicked, this, [this] { m_view.openModule(RailModule::reminders); });
    buttons->addWidget(refresh);
    buttons->addWidget(openCalendar);
    buttons->addWidget(openReminders);
    buttons->addStretch(1);
    content->addLayout(buttons);

    connect(&view.state(), &AppState::changed, this, [this](AppState::Field field) {
        switch (field) {
        case AppState::Field::calendarEvents:
        case AppState::Field::reminderList:
        case AppState::Field::appleNotes:
        // Every request ends here, also one that chose a new folder.
        case AppState::Field::systemAccessStatus: sync(); break;
        default: break;
        }
    });
    onStyleChange(this, &DesktopAppsPage::sync);
    sync();
}

void DesktopAppsPage::sync()
{
    const AppState &state = m_view.state();
    // Without a calendar, to-do or notes folder there is nothing to count or
    // read: "0 events" would read as an empty calendar, "0 recent notes" as
    // deleted notes; and the user is in Settings already.
    m_calendarStatus->detailLabel()->setText(
        !isAccessFolderUsable(state, AccessFolder::calendar)
            ? tr("No calendar folder in use yet, so no events are read.")
            : countText(qint64(state.calendarEvents().size()), tr("event"), tr("events"))
                  + tr(" this week. Event alert times are set per event in your calendar app."));
    m_remindersStatus->detailLabel()->setText(!isAccessFolderUsable(state, AccessFolder::reminders)
                                                  ? tr("No to-do folder in use yet, so no reminders are read.")
                                                  : remindersLine(state.remindersConnection()));
    m_notesStatus->detailLabel()->setText(
        !isAccessFolderUsable(state, AccessFolder::notes)
            ? tr("No notes folder in use yet, so no notes are read.")
            : countText(qint64(state.appleNotes().size()), tr("recent note"), tr("recent notes")));
    syncFolderDetails();
    const QString &message = state.systemAccessStatus().message;
    m_message->setText(message);
    m_message->setColor(statusColor(state.systemAccessStatus().tint));
    m_message->setVisible(!message.isEmpty());
}

void DesktopAppsPage::syncFolderDetails()
{
    const AppState &state = m_view.state();
    // The sentence's words wrap; the path stays on one line, cut in its
    // middle where it must be, so that its last name stays readable.
    const auto showPath = [](ElidedLabel *label, const QString &lead, const QString &line, const QString &path) {
        const qsizetype at = line.indexOf(u"%1"_s);
        label->setPathText(lead + u' ' + line.left(at), path, line.mid(at + 2));
    };
    const auto accessLine = [&state, &showPath](SettingsRow *row, const QString &text, AccessFolder folder) {
        if (isAccessFolderUsable(state, folder)) {
            showPath(row->detailLabel(), text, tr("Folder: %1"), displayPath(accessFolderPath(state, folder)));
            return;
        }
        QStringList looked = accessFolderCandidates(state, folder);
        for (QString &path : looked)
            path = displayPath(path);
        showPath(row->detailLabel(), text, tr("No usable folder yet (looked in %1)."), looked.join(u", "_s));
    };
    accessLine(m_calendarAccess, tr("Allow Kolu to read upcoming calendar events."), AccessFolder::calendar);
    accessLine(m_remindersAccess, tr("Allow Kolu to show and update reminders."), AccessFolder::reminders);
    accessLine(m_notesAccess, tr("Allow Kolu to use your notes folder when saving or reading notes."),
               AccessFolder::notes);
    // Every folder the screenshot search can use, else every one it tries.
    QStringList screenshots = listableScreenshotFolders();
    const bool anyListable = !screenshots.isEmpty();
    if (!anyListable)
        screenshots = ClipboardService::defaultScreenshotFolders();
    for (QString &folder : screenshots)
        folder = displayPath(folder);
    showPath(m_desktopAccess->detailLabel(), tr("Allow Kolu to read recent screenshots from your Desktop."),
             !anyListable              ? tr("No usable folder yet (looked in %1).")
             : screenshots.size() == 1 ? tr("Folder: %1")
                                       : tr("Folders: %1"),
             screenshots.join(u", "_s));
}

void DesktopAppsPage::openFolder(const QString &path)
{
    // The folder itself, shown by the desktop's file manager; nothing when
    // it is not there.
    if (!path.isEmpty() && QFileInfo(path).isDir())
        m_view.state().urlOpener().openUrl(QUrl::fromLocalFile(path));
}

} // namespace kolu
