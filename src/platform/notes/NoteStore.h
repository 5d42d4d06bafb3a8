#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <functional>
#include <vector>

namespace kolu {

// A folder of notes as the store lists it.
struct NoteStoreFolder {
    QString id;
    QString name;
    QString accountName;

    friend bool operator==(const NoteStoreFolder &, const NoteStoreFolder &) = default;
};

// A note as the store lists it. `name` may be empty when the note has none.
struct NoteStoreNote {
    QString id;
    QString name;
    QDateTime modified; // invalid when unknown

    friend bool operator==(const NoteStoreNote &, const NoteStoreNote &) = default;
};

// The outcome of making a note: empty `errorText` on success.
struct NoteStoreWrite {
    bool prepared = true; // false when no place for the note could be formed
    QString errorText;
    QString noteID;

    bool succeeded() const { return prepared && errorText.isEmpty(); }
};

// Where the user's notes live. The listing functions and the access probe
// only read and may run on a worker thread at the same time as each other;
// open and makeNote run on the calling thread.
class NoteStore {
public:
    virtual ~NoteStore();

    // Every folder of every account, each account's folders depth first,
    // a parent before its children.
    virtual std::vector<NoteStoreFolder> folders() const = 0;
    // Every note of every account, each listed once.
    virtual std::vector<NoteStoreNote> notes() const = 0;
    // Whether the notes can be read and written.
    virtual bool isAccessible() const = 0;
    // Where the notes are kept, for the desktop to show (the first account's
    // folder); empty when there is no such place.
    virtual QUrl location() const = 0;

    // Shows the note to the user; false when it cannot.
    virtual bool open(const QString &noteID) = 0;

    // Adds a note holding `content` to the folder `folderID`; when that id
    // does not name a folder, to the folder named `fallbackFolderName`, made
    // when there is none. Never replaces an existing note.
    virtual NoteStoreWrite makeNote(const QString &folderID, const QString &fallbackFolderName, const QString &title,
                                    const QString &content) = 0;

    // Calls `onChange` on this thread whenever a folder of the notes may hold
    // something new: a note or folder added or removed right in an account's
    // folder, or an account's folder that was missing come back. Null stops
    // it. Call it from the thread the store was made on.
    virtual void setOnFolderChange(std::function<void()> onChange);
};

} // namespace kolu
