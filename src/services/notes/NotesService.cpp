#include "services/notes/NotesService.h"
#include "model/WorkerAwait.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The locale's short date and its short time to the minute: some locales'
// short time carries seconds or a time zone, which a tile has no room for.
QString shortDateTimeFormat(const QLocale &locale)
{
    static const QRegularExpression seconds(u"[^A-Za-z']?s{1,2}"_s);
    static const QRegularExpression zone(u"\\s*t+"_s);
    QString time = locale.timeFormat(QLocale::ShortFormat);
    time.remove(seconds);
    time.remove(zone);
    return locale.dateFormat(QLocale::ShortFormat) + u' ' + time.trimmed();
}

// Line breaks of any origin become line feeds.
QString withLineFeeds(const QString &text)
{
    QString result = text;
    result.replace(u"\r\n"_s, u"\n"_s);
    result.replace(u'\r', u'\n');
    return result;
}

std::vector<NoteStoreFolder> listFolders(std::shared_ptr<NoteStore> store)
{
    return store->folders();
}

std::vector<NoteStoreNote> listNotes(std::shared_ptr<NoteStore> store)
{
    return store->notes();
}

bool probeAccess(std::shared_ptr<NoteStore> store)
{
    return store->isAccessible();
}

} // namespace

QString errorSentence(NotesErrorCase which, const QString &detail)
{
    switch (which) {
    case NotesErrorCase::appleScript: return QString(u"Notes rejected the note: "_s + detail);
    case NotesErrorCase::emptyNote: return u"Write a note first."_s;
    case NotesErrorCase::scriptCreationFailed: return u"Kolu could not prepare the note."_s;
    }
    return {};
}

NotesService::NotesService(std::shared_ptr<NoteStore> store)
    : m_store(std::move(store))
{
}

void NotesService::setStore(std::shared_ptr<NoteStore> store)
{
    m_store = std::move(store);
}

std::vector<AppleNoteFolder> NotesService::folderList(const std::vector<NoteStoreFolder> &listed)
{
    std::vector<AppleNoteFolder> folders;
    QSet<QString> seen;
    for (const NoteStoreFolder &entry : listed) {
        const QString id = entry.id.trimmed();
        const QString name = entry.name.trimmed();
        if (id.isEmpty() || name.isEmpty() || seen.contains(id))
            continue;
        seen.insert(id);
        folders.push_back({id, name, entry.accountName.trimmed()});
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(folders.begin(), folders.end(), [&](const AppleNoteFolder &a, const AppleNoteFolder &b) {
        return collator.compare(a.displayName(), b.displayName()) < 0;
    });
    return folders;
}

std::vector<AppleNoteItem> NotesService::recentNotes(const std::vector<NoteStoreNote> &listed, int limit)
{
    std::vector<AppleNoteItem> notes;
    QSet<QString> seen;
    const QLocale locale = QLocale::system();
    for (const NoteStoreNote &entry : listed) {
        if (entry.id.isEmpty() || seen.contains(entry.id))
            continue;
        seen.insert(entry.id);
        AppleNoteItem item;
        item.id = entry.id;
        item.title = entry.name.trimmed().isEmpty() ? u"Untitled note"_s : entry.name;
        if (entry.modified.isValid())
            item.modifiedDate = entry.modified;
        notes.push_back(std::move(item));
    }
    std::stable_sort(notes.begin(), notes.end(), [](const AppleNoteItem &a, const AppleNoteItem &b) {
        if (a.modifiedDate && b.modifiedDate)
            return *a.modifiedDate > *b.modifiedDate;
        if (a.modifiedDate || b.modifiedDate)
            return a.modifiedDate.has_value();
        return a.modifiedText > b.modifiedText;
    });
    notes.resize(std::min(notes.size(), static_cast<std::size_t>(std::max(limit, 0))));
    // Only the kept notes need their date written out: the short local date
    // and time of the user's locale, which a tile shows on one line.
    const QString format = shortDateTimeFormat(locale);
    for (AppleNoteItem &note : notes) {
        if (note.modifiedDate)
            note.modifiedText = locale.toString(note.modifiedDate->toLocalTime(), format);
    }
    return notes;
}

QString NotesService::noteContent(const QString &title, const QString &body)
{
    return QString(u"# "_s + title + u"\n\n"_s + body + u"\n"_s);
}

QCoro::Task<std::vector<AppleNoteFolder>> NotesService::fetchNoteFolders()
{
    std::vector<NoteStoreFolder> listed = co_await afterWorker(QtConcurrent::run(listFolders, m_store));
    co_return folderList(listed);
}

QCoro::Task<std::vector<AppleNoteItem>> NotesService::fetchOrlixNotes(int limit)
{
    if (limit <= 0)
        co_return {};
    std::vector<NoteStoreNote> listed = co_await afterWorker(QtConcurrent::run(listNotes, m_store));
    co_return recentNotes(listed, limit);
}

QCoro::Task<bool> NotesService::requestAutomationAccess()
{
    co_return co_await afterWorker(QtConcurrent::run(probeAccess, m_store));
}

void NotesService::openNote(const QString &id)
{
    m_store->open(id);
}

QUrl NotesService::notesLocation() const
{
    return m_store->location();
}

void NotesService::saveNote(const QString &title, const QString &body, const std::optional<AppleNoteFolder> &folder)
{
    QString noteTitle = withLineFeeds(title).trimmed();
    QString noteBody = withLineFeeds(body).trimmed();
    if (noteTitle.isEmpty() && noteBody.isEmpty())
        throw NotesServiceError(NotesErrorCase::emptyNote);
    if (noteTitle.isEmpty())
        noteTitle = u"Kolu Note"_s;
    if (noteBody.isEmpty())
        noteBody = noteTitle;

    const QString folderID = folder ? folder->id : QString();
    const QString fallbackName = folder ? folder->name : u"Kolu"_s;
    const NoteStoreWrite written =
        m_store->makeNote(folderID, fallbackName, noteTitle, noteContent(noteTitle, noteBody));
    if (!written.prepared)
        throw NotesServiceError(NotesErrorCase::scriptCreationFailed);
    if (!written.errorText.isEmpty())
        throw NotesServiceError(NotesErrorCase::appleScript, written.errorText);
}

} // namespace kolu
