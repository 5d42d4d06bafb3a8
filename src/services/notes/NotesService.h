#pragma once

#include "model/Error.h"
#include "model/Records.h"
#include "platform/notes/NoteStore.h"

#include <QString>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>
#include <vector>

namespace kolu {

enum class NotesErrorCase { appleScript, emptyNote, scriptCreationFailed };
// `detail` is the store's own message, used by appleScript only.
QString errorSentence(NotesErrorCase which, const QString &detail = {});
using NotesServiceError = ServiceError<NotesErrorCase>;

// Lists the user's note folders and recent notes, opens a note and saves new
// ones. Nothing is cached: every call asks the store again, and the listings
// run on a worker thread.
class NotesService {
public:
    explicit NotesService(std::shared_ptr<NoteStore> store);

    // Uses `store` from the next call on; a listing already running keeps
    // the store it started with.
    void setStore(std::shared_ptr<NoteStore> store);

    // Every folder, sorted by display name (case-insensitive, in the user's
    // language; equal names keep their order); a repeated id is kept once.
    QCoro::Task<std::vector<AppleNoteFolder>> fetchNoteFolders();
    // The `limit` most recently changed notes, newest first.
    QCoro::Task<std::vector<AppleNoteItem>> fetchOrlixNotes(int limit);
    // Whether the notes can be read and written.
    QCoro::Task<bool> requestAutomationAccess();

    // Shows the note; any failure is ignored.
    void openNote(const QString &id);
    // Where the notes are kept, for the desktop to show; empty when nowhere.
    QUrl notesLocation() const;

    // Saves a new note into `folder` (by its id; when that is gone, into the
    // folder of its name; without a folder, into "Kolu"). Throws
    // NotesServiceError.
    void saveNote(const QString &title, const QString &body, const std::optional<AppleNoteFolder> &folder);

    // The pure steps, kept apart so they can be checked on their own.
    static std::vector<AppleNoteFolder> folderList(const std::vector<NoteStoreFolder> &listed);
    static std::vector<AppleNoteItem> recentNotes(const std::vector<NoteStoreNote> &listed, int limit);
    // The text of a saved note: the title as a heading, then the body.
    static QString noteContent(const QString &title, const QString &body);

private:
    std::shared_ptr<NoteStore> m_store;
};

} // namespace kolu
