#pragma once

#include "platform/files/FolderPresenceWatch.h"
#include "platform/notes/NoteStore.h"
#include "platform/system/ProcessRunner.h"

#include <QDir>
#include <QString>

#include <optional>
#include <vector>

namespace kolu {

// One folder of note files and the account name it stands for.
struct NoteRoot {
    QString path;
    QString accountName;

    friend bool operator==(const NoteRoot &, const NoteRoot &) = default;
};

// Notes kept as files: each root folder is an account, its subfolders are
// the note folders, and its ".md", ".markdown" and ".txt" files are the
// notes, named by their file names. This is how Markdown note apps and synced
// note folders lay out their notes. Hidden entries (".trash", ".obsidian")
// and symbolic links are skipped. Ids are the account name, ":" and the path
// below the root, so they stay the same across runs.
class LocalNoteStore final : public NoteStore {
public:
    // The folder the settings name (a leading "~/" means `home`), else
    // ~/Notes, as the account "Notes". The account keeps its name when the
    // folder changes, so a chosen note folder of the same path stays chosen.
    static std::vector<NoteRoot> rootsFor(const std::optional<QString> &configured,
                                          const QString &home = QDir::homePath());

    // A root whose account name repeats an earlier one is ignored, so every id
    // names one root.
    LocalNoteStore(std::vector<NoteRoot> roots, ProcessRunner &runner);

    std::vector<NoteStoreFolder> folders() const override;
    std::vector<NoteStoreNote> notes() const override;
    bool isAccessible() const override;
    QUrl location() const override;
    bool open(const QString &noteID) override;
    NoteStoreWrite makeNote(const QString &folderID, const QString &fallbackFolderName, const QString &title,
                            const QString &content) override;
    void setOnFolderChange(std::function<void()> onChange) override;

    const std::vector<NoteRoot> &roots() const { return m_roots; }

    // The file a note id names, or nothing when it names none or would lead
    // outside its root.
    std::optional<QString> notePath(const QString &noteID) const;
    // The folder a folder id names, under the same rule.
    std::optional<QString> folderPath(const QString &folderID) const;

    // A title made safe as a file name without extension: no path
    // separators, no control characters, no leading dots, not too long.
    // Empty when nothing usable is left.
    static QString fileStem(const QString &title);

private:
    struct Resolved {
        const NoteRoot *root = nullptr;
        QString relativePath;
    };
    // The root an id belongs to and the checked path below it.
    std::optional<Resolved> resolve(const QString &id) const;
    // The root whose account an id names.
    const NoteRoot *rootOf(const QString &id) const;
    // Whether an id tries to name something outside its root.
    bool leadsOutside(const QString &id) const;
    // The folder new notes go to; made when missing.
    std::optional<std::pair<const NoteRoot *, QString>>
    targetFolder(const QString &folderID, const QString &fallbackFolderName, QString &errorText) const;

    std::vector<NoteRoot> m_roots;
    ProcessRunner &m_runner;
    FolderPresenceWatchPtr m_watch;
};

} // namespace kolu
