// The file tray: files dropped on the rail, held by reference (nothing is
// copied or moved), their selection, dragging them out again, and sending
// them to a paired device through KDE Connect.
#include "state/AppState.h"

#include "model/FilePath.h"
#include "services/share/DeviceShareService.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// A file address from one dropped text line, as a file manager or a browser
// writes it ("file:///home/me/a.txt").
std::optional<QUrl> fileURLFromText(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
        return std::nullopt;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (url.isValid() && url.isLocalFile())
        return url;
    return std::nullopt;
}

// The file address with "." and ".." resolved and no trailing separator;
// nothing for a relative or non-file address.
std::optional<QUrl> standardizedFileURL(const QUrl &url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    const auto path = cleanAbsolutePath(url.toLocalFile());
    if (!path)
        return std::nullopt;
    return QUrl::fromLocalFile(*path);
}

QString standardizedPath(const QUrl &url)
{
    const auto standardized = standardizedFileURL(url);
    return standardized ? standardized->toLocalFile() : QString();
}

} // namespace

bool AppState::receiveFileTrayDrop(const QMimeData &drop)
{
    QList<QUrl> files;
    for (const QUrl &url : drop.urls()) {
        if (url.isLocalFile())
            files.append(url);
    }
    if (files.isEmpty() && drop.hasText()) {
        const QStringList lines = drop.text().split(u'\n');
        for (const QString &line : lines) {
            if (const auto url = fileURLFromText(line))
                files.append(*url);
        }
    }
    if (files.isEmpty())
        return false;
    addFileTrayURLs(files);
    return true;
}

void AppState::addFileTrayURLs(const QList<QUrl> &urls)
{
    // The last address given ends up first and a file given twice counts
    // once, where it was given last; only the newest maxFileTrayItems stay.
    // So the list is read from its end and read no further once the tray is
    // full: a drop of thousands of files looks at (and asks the disk about)
    // as many as it keeps, and compares each with a set, not with the list.
    std::vector<FileTrayItem> items;
    items.reserve(maxFileTrayItems);
    QSet<QString> kept;
    const QDateTime now = m_clock.now();
    for (auto it = urls.crbegin(); it != urls.crend() && items.size() < std::size_t(maxFileTrayItems); ++it) {
        const auto standardized = standardizedFileURL(*it);
        if (!standardized)
            continue;
        const QString path = standardized->toLocalFile();
        if (kept.contains(path) || !QFileInfo::exists(path))
            continue;
        kept.insert(path);
        items.push_back(FileTrayItem{QUuid::createUuid(), *standardized, now});
    }
    if (items.empty())
        return;
    for (const FileTrayItem &held : m_fileTrayItems) {
        if (items.size() >= std::size_t(maxFileTrayItems))
            break;
        if (!kept.contains(standardizedPath(held.url)))
            items.push_back(held);
    }
    setFileTrayItems(std::move(items));

    FileTraySelection selection = m_selectedFileTrayIDs;
    selection.removeIf([&](const QUuid &id) {
        return std::none_of(m_fileTrayItems.begin(), m_fileTrayItems.end(),
                            [&](const FileTrayItem &item) { return item.id == id; });
    });
    if (selection != m_selectedFileTrayIDs)
        setSelectedFileTrayIDs(std::move(selection));
}

void AppState::toggleFileTraySelection(const FileTrayItem &item)
{
    FileTraySelection selection = m_selectedFileTrayIDs;
    if (!selection.remove(item.id))
        selection.insert(item.id);
    setSelectedFileTrayIDs(std::move(selection));
}

QList<QUrl> AppState::fileTrayDragURLs(const FileTrayItem &startingWith) const
{
    // A held file deleted or moved away since is never offered to a target.
    const auto present = [](const QUrl &url) { return QFileInfo::exists(url.toLocalFile()); };
    if (m_selectedFileTrayIDs.contains(startingWith.id)) {
        QList<QUrl> selected;
        for (const FileTrayItem &item : m_fileTrayItems) {
            if (m_selectedFileTrayIDs.contains(item.id) && present(item.url))
                selected.append(item.url);
        }
        if (!selected.isEmpty())
            return selected;
    }
    if (!present(startingWith.url))
        return {};
    return {startingWith.url};
}

void AppState::removeFileTrayItem(const FileTrayItem &item)
{
    std::vector<FileTrayItem> items = m_fileTrayItems;
    std::erase_if(items, [&](const FileTrayItem &held) { return held.id == item.id; });
    setFileTrayItems(std::move(items));
    if (m_selectedFileTrayIDs.contains(item.id)) {
        FileTraySelection selection = m_selectedFileTrayIDs;
        selection.remove(item.id);
        setSelectedFileTrayIDs(std::move(selection));
    }
}

QCoro::Task<> AppState::airDropFileTrayItems()
{
    QList<QUrl> candidates;
    for (const FileTrayItem &item : m_fileTrayItems) {
        if (m_selectedFileTrayIDs.contains(item.id))
            candidates.append(item.url);
    }
    if (candidates.isEmpty()) {
        for (const FileTrayItem &item : m_fileTrayItems)
            candidates.append(item.url);
    }
    QStringList paths;
    for (const QUrl &url : std::as_const(candidates)) {
        if (QFileInfo::exists(url.toLocalFile()))
            paths.append(url.toLocalFile());
    }
    if (paths.isEmpty()) {
        setFileTrayAirDropStatus({u"Drop files first"_s, StatusTint::orange});
        co_return;
    }
    const QString notAvailable = u"KDE Connect is not available"_s;
    if (!deviceShareService().isAvailable()) {
        setFileTrayAirDropStatus({notAvailable, StatusTint::orange});
        co_return;
    }

    QPointer<AppState> self(this);
    const std::optional<QString> device = co_await deviceShareService().firstDeviceInReach();
    if (!self)
        co_return;
    if (!device) {
        setFileTrayAirDropStatus({notAvailable, StatusTint::orange});
        co_return;
    }
    setFileTrayAirDropStatus({u"Choose a nearby device in KDE Connect"_s, StatusTint::accent});

    for (const QString &path : std::as_const(paths)) {
        const bool sent = co_await deviceShareService().sendFile(*device, path);
        if (!self)
            co_return;
        if (!sent) {
            setFileTrayAirDropStatus({notAvailable, StatusTint::orange});
            co_return;
        }
    }
}

} // namespace kolu
