#include "platform/notes/LocalNoteStore.h"

#include "model/FilePath.h"
#include "model/TextCut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <chrono>
#include <functional>

using namespace Qt::StringLiterals;

namespace kolu {

NoteStore::~NoteStore() = default;

void NoteStore::setOnFolderChange(std::function<void()>) { }

namespace {

// Deeper trees are left unread rather than walked without end.
constexpr int kMaxDepth = 64;
// Room below the usual 255-byte name limit for " 12345.markdown".
constexpr qsizetype kMaxStemBytes = 200;
// Only the start of a note is read, to find a title for a note without a name.
constexpr qint64 kTitleProbeBytes = 4096;

bool isNoteFile(const QString &fileName)
{
    const QString lower = fileName.toLower();
    return lower.endsWith(u".md"_s) || lower.endsWith(u".markdown"_s) || lower.endsWith(u".txt"_s);
}

QString noteName(const QString &fileName)
{
    return fileName.left(fileName.lastIndexOf(u'.'));
}

// A file or folder name the walk may use: not hidden, and one that reads back
// as the same bytes (a name in another encoding could not be opened again).
bool isListable(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(QChar::ReplacementCharacter);
}

// The first line of text of a note, without Markdown heading marks.
QString firstLineOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.read(kTitleProbeBytes));
    for (QString line : text.split(u'\n')) {
        while (line.startsWith(u'#'))
            line.remove(0, 1);
        line = line.trimmed();
        if (!line.isEmpty())
            return line.left(wholeCharacterCut(line, 200));
    }
    return {};
}

struct WalkEntry {
    QFileInfo info;
    QString relativePath;
};

// Visits the folders below `directory` depth first, a parent before its
// children, each with its files. Links are not followed.
void walk(const QString &directory, const QString &relative, int depth,
          const std::function<void(const WalkEntry &folder, const QFileInfoList &files)> &visit)
{
    const QFileInfoList entries = QDir(directory).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    QFileInfoList files;
    QFileInfoList folders;
    for (const QFileInfo &entry : entries) {
        if (!isListable(entry.fileName()) || entry.isSymLink())
            continue;
        if (entry.isDir())
            folders.append(entry);
        else if (entry.isFile() && isNoteFile(entry.fileName()))
            files.append(entry);
    }
    visit(WalkEntry{QFileInfo(directory), relative}, files);
    if (depth >= kMaxDepth)
        return;
    for (const QFileInfo &folder : folders) {
        const QString childRelative =
            relative.isEmpty() ? folder.fileName() : QString(relative + u'/' + folder.fileName());
        walk(folder.filePath(), childRelative, depth + 1, visit);
    }
}

QString idFor(const NoteRoot &root, const QString &relativePath)
{
    return QString(root.accountName + u':' + relativePath);
}

// Whether `path` lies inside (or is) `root`, both already canonical.
bool isInside(const QString &canonicalPath, const QString &canonicalRoot)
{
    if (canonicalPath.isEmpty() || canonicalRoot.isEmpty())
        return false;
    return canonicalPath == canonicalRoot || canonicalPath.startsWith(QString(canonicalRoot + u'/'))
           || canonicalRoot == u"/"_s;
}

} // namespace

std::vector<NoteRoot> LocalNoteStore::rootsFor(const std::optional<QString> &configured, const QString &home)
{
    const QString chosen = configured ? configured->trimmed() : QString();
    const QString path = chosen.isEmpty() ? QDir(home).filePath(u"Notes"_s) : expandHomePrefix(chosen, home);
    return {NoteRoot{QDir::cleanPath(path), u"Notes"_s}};
}

QUrl LocalNoteStore::location() const
{
    return m_roots.empty() ? QUrl() : QUrl::fromLocalFile(m_roots.front().path);
}

LocalNoteStore::LocalNoteStore(std::vector<NoteRoot> roots, ProcessRunner &runner)
    : m_runner(runner)
{
    for (NoteRoot &root : roots) {
        const bool repeated = std::any_of(m_roots.begin(), m_roots.end(),
                                          [&](const NoteRoot &kept) { return kept.accountName == root.accountName; });
        if (!repeated && !root.path.isEmpty())
            m_roots.push_back(std::move(root));
    }
}

void LocalNoteStore::setOnFolderChange(std::function<void()> onChange)
{
    if (!onChange) {
        m_watch.reset();
        return;
    }
    m_watch.reset(new FolderPresenceWatch);
    QObject::connect(m_watch.get(), &FolderPresenceWatch::changed, m_watch.get(), std::move(onChange));
    QStringList folders;
    for (const NoteRoot &root : m_roots)
        folders.push_back(root.path);
    m_watch->setFolders(folders);
}

std::vector<NoteStoreFolder> LocalNoteStore::folders() const
{
    std::vector<NoteStoreFolder> result;
    for (const NoteRoot &root : m_roots) {
        const QFileInfo rootInfo(root.path);
        if (!rootInfo.isDir())
            continue;
        walk(root.path, QString(), 0, [&](const WalkEntry &folder, const QFileInfoList &) {
            const QString name = folder.relativePath.isEmpty() ? QDir(root.path).dirName() : folder.info.fileName();
            result.push_back({idFor(root, folder.relativePath), name, root.accountName});
        });
    }
    return result;
}

std::vector<NoteStoreNote> LocalNoteStore::notes() const
{
    std::vector<NoteStoreNote> result;
    for (const NoteRoot &root : m_roots) {
        if (!QFileInfo(root.path).isDir())
            continue;
        walk(root.path, QString(), 0, [&](const WalkEntry &folder, const QFileInfoList &files) {
            for (const QFileInfo &file : files) {
                const QString relative = folder.relativePath.isEmpty()
                                             ? file.fileName()
                                             : QString(folder.relativePath + u'/' + file.fileName());
                QString name = noteName(file.fileName()).trimmed();
                if (name.isEmpty())
                    name = firstLineOf(file.filePath());
                result.push_back({idFor(root, relative), name, file.lastModified().toUTC()});
            }
        });
    }
    return result;
}

bool LocalNoteStore::isAccessible() const
{
    return std::any_of(m_roots.begin(), m_roots.end(), [](const NoteRoot &root) {
        const QFileInfo info(root.path);
        return info.isDir() && info.isReadable() && info.isWritable() && info.isExecutable();
    });
}

std::optional<LocalNoteStore::Resolved> LocalNoteStore::resolve(const QString &id) const
{
    const NoteRoot *match = rootOf(id);
    if (!match)
        return std::nullopt;
    const QString relative = id.mid(match->accountName.size() + 1);
    if (!relative.isEmpty()) {
        if (relative.startsWith(u'/') || relative.contains(QChar(u'\0')) || relative.contains(u'\\'))
            return std::nullopt;
        for (const QString &component : relative.split(u'/')) {
            if (!isListable(component))
                return std::nullopt;
        }
    }
    return Resolved{match, relative};
}

const NoteRoot *LocalNoteStore::rootOf(const QString &id) const
{
    // The longest account name wins, so "Work" and "Work:Old" stay apart.
    const NoteRoot *match = nullptr;
    for (const NoteRoot &root : m_roots) {
        if (id.startsWith(QString(root.accountName + u':'))
            && (!match || root.accountName.size() > match->accountName.size()))
            match = &root;
    }
    return match;
}

bool LocalNoteStore::leadsOutside(const QString &id) const
{
    const NoteRoot *match = rootOf(id);
    if (!match)
        return false;
    const QString relative = id.mid(match->accountName.size() + 1);
    if (relative.startsWith(u'/') || relative.contains(QChar(u'\0')) || relative.contains(u'\\'))
        return true;
    const QStringList components = relative.split(u'/');
    if (components.contains(u".."_s) || components.contains(u"."_s))
        return true;
    // A link on the way may point elsewhere.
    const QString canonical = QFileInfo(QDir(match->path).filePath(relative)).canonicalFilePath();
    return !canonical.isEmpty() && !isInside(canonical, QFileInfo(match->path).canonicalFilePath());
}

std::optional<QString> LocalNoteStore::notePath(const QString &noteID) const
{
    const auto resolved = resolve(noteID);
    if (!resolved || resolved->relativePath.isEmpty() || !isNoteFile(resolved->relativePath))
        return std::nullopt;
    const QString path = QDir(resolved->root->path).filePath(resolved->relativePath);
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink())
        return std::nullopt;
    if (!isInside(info.canonicalFilePath(), QFileInfo(resolved->root->path).canonicalFilePath()))
        return std::nullopt;
    return path;
}

std::optional<QString> LocalNoteStore::folderPath(const QString &folderID) const
{
    const auto resolved = resolve(folderID);
    if (!resolved)
        return std::nullopt;
    const QString path = resolved->relativePath.isEmpty() ? resolved->root->path
                                                          : QDir(resolved->root->path).filePath(resolved->relativePath);
    const QFileInfo info(path);
    if (!info.isDir() || (!resolved->relativePath.isEmpty() && info.isSymLink()))
        return std::nullopt;
    if (!isInside(info.canonicalFilePath(), QFileInfo(resolved->root->path).canonicalFilePath()))
        return std::nullopt;
    return path;
}

bool LocalNoteStore::open(const QString &noteID)
{
    const auto path = notePath(noteID);
    if (!path)
        return false;
    // The editor runs on its own, for as long as the user edits.
    return m_runner.startDetached(u"xdg-open"_s, {*path});
}

QString LocalNoteStore::fileStem(const QString &title)
{
    // One pass that stops once the name is full, so a title of any length
    // costs no more than a short one.
    QString stem;
    stem.reserve(kMaxStemBytes);
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < title.size(); ++i) {
        QChar c = title.at(i);
        if (c == u'\r')
            continue;
        // Slashes would make folders; a backslash would make a name whose id
        // is refused.
        if (c == u'/' || c == u'\\')
            c = u'-';
        else if (c.category() == QChar::Other_Control)
            c = u' ';
        // No leading space or dot: the name would be hidden or untidy.
        if (stem.isEmpty() && (c.isSpace() || c == u'.'))
            continue;
        const bool pair = c.isHighSurrogate() && i + 1 < title.size() && title.at(i + 1).isLowSurrogate();
        const qsizetype size = pair ? 4 : c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
        if (bytes + size > kMaxStemBytes) {
            // Not inside what a reader sees as one character.
            stem.truncate(wholeCharacterCut(QString(stem + title.mid(i, 2)), stem.size()));
            break;
        }
        bytes += size;
        stem += c;
        if (pair)
            stem += title.at(++i);
    }
    while (!stem.isEmpty() && stem.back().isSpace())
        stem.chop(1);
    return stem;
}

std::optional<std::pair<const NoteRoot *, QString>>
LocalNoteStore::targetFolder(const QString &folderID, const QString &fallbackFolderName, QString &errorText) const
{
    if (!folderID.isEmpty()) {
        if (folderPath(folderID))
            return std::make_pair(resolve(folderID)->root, resolve(folderID)->relativePath);
        if (leadsOutside(folderID)) {
            errorText = u"The folder is outside the notes folder."_s;
            return std::nullopt;
        }
    }
    // The chosen folder is gone (or none was chosen): use the folder of that
    // name at the top of the same account, made on first use.
    const NoteRoot *root = &m_roots.front();
    if (const auto resolved = resolve(folderID))
        root = resolved->root;
    QString name = fileStem(fallbackFolderName);
    if (name.isEmpty())
        name = u"Kolu"_s;
    const QString path = QDir(root->path).filePath(name);
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isDir())) {
        errorText = u"The folder \u201C%1\u201D cannot hold notes."_s.arg(name);
        return std::nullopt;
    }
    if (!info.exists() && !QDir().mkpath(path)) {
        errorText = u"The folder \u201C%1\u201D could not be created."_s.arg(name);
        return std::nullopt;
    }
    return std::make_pair(root, name);
}

NoteStoreWrite LocalNoteStore::makeNote(const QString &folderID, const QString &fallbackFolderName,
                                        const QString &title, const QString &content)
{
    NoteStoreWrite result;
    QString stem = fileStem(title);
    if (m_roots.empty()) {
        result.prepared = false;
        return result;
    }
    if (stem.isEmpty())
        stem = u"Kolu Note"_s;

    const auto target = targetFolder(folderID, fallbackFolderName, result.errorText);
    if (!target)
        return result;
    const auto &[root, relativeFolder] = *target;
    const QDir folder(relativeFolder.isEmpty() ? root->path : QDir(root->path).filePath(relativeFolder));

    const QByteArray bytes = content.toUtf8();
    for (int number = 1; number < 10000; ++number) {
        const QString fileName =
            number == 1 ? QString(stem + u".md"_s) : QString(stem + u' ' + QString::number(number) + u".md"_s);
        QFile file(folder.filePath(fileName));
        // NewOnly refuses an existing name, also one that appears meanwhile.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(file.fileName()) || QFileInfo(file.fileName()).isSymLink())
                continue;
            result.errorText = file.errorString();
            return result;
        }
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            result.errorText = file.errorString();
            file.close();
            file.remove();
            return result;
        }
        file.close();
        if (file.error() != QFileDevice::NoError) {
            result.errorText = file.errorString();
            file.remove();
            return result;
        }
        result.noteID = idFor(*root, relativeFolder.isEmpty() ? fileName : QString(relativeFolder + u'/' + fileName));
        return result;
    }
    result.errorText = u"Too many notes are named \u201C%1\u201D."_s.arg(stem);
    return result;
}

} // namespace kolu
