// The wallpapers module: loading the list, stepping through it, the local
// folder, and setting the shown picture as desktop picture.
#include "state/AppState.h"

#include "model/CountText.h"
#include "model/Error.h"
#include "services/wallpaper/WallpaperService.h"
#include "state/AppSettings.h"
#include "state/RefreshFailure.h"

#include <QRandomGenerator>

#include <algorithm>
#include <exception>
#include <utility>

using namespace Qt::StringLiterals;

namespace kolu {

void AppState::setWallpaperRandomIndex(std::function<qsizetype(qsizetype)> pick)
{
    m_wallpaperRandomIndex = std::move(pick);
}

qsizetype AppState::randomWallpaperIndex(qsizetype count)
{
    if (m_wallpaperRandomIndex)
        return std::clamp<qsizetype>(m_wallpaperRandomIndex(count), 0, count - 1);
    return static_cast<qsizetype>(QRandomGenerator::global()->bounded(static_cast<quint64>(count)));
}

void AppState::reactToWallpaperLibrary()
{
    storeSetting(Field::wallpaperLibrary);
    beginRequest(RefreshKind::wallpapers); // a load on its way was for the other library
    setWallpaperCandidate(std::nullopt);
    setWallpaperItems({});
    setWallpaperStatus({{}, m_wallpaperStatus.tint});
}

void AppState::refreshWallpaper(bool force)
{
    if (m_hiddenRailModules.contains(RailModule::wallpapers) || m_isLoadingWallpaper)
        return;
    loadWallpapers(force); // runs on by itself
}

void AppState::reloadWallpapers()
{
    if (!m_isLoadingWallpaper) {
        refreshWallpaper(false);
        return;
    }
    // One load at a time (web loads share one archive): the running one is
    // superseded and the new one follows it.
    beginRequest(RefreshKind::wallpapers);
    m_wallpaperReloadPending = true;
}

// Ends the running load; the next one starts when a folder change asked for it.
void AppState::finishWallpaperLoad()
{
    if (std::exchange(m_wallpaperReloadPending, false) && !isModuleHidden(RailModule::wallpapers)) {
        loadWallpapers(false); // the flag stays set
        return;
    }
    setIsLoadingWallpaper(false);
}

QCoro::Task<> AppState::loadWallpapers(bool force)
{
    QPointer<AppState> self(this);
    const quint64 request = beginRequest(RefreshKind::wallpapers);
    setIsLoadingWallpaper(true);
    if (m_wallpaperLocalFolderName.isEmpty())
        setWallpaperStatus(
            {force ? u"Refreshing web library..."_s : u"Loading web library..."_s, StatusTint::secondary});
    else
        setWallpaperStatus({QString(u"Reading "_s + m_wallpaperLocalFolderName + u"..."_s), StatusTint::secondary});

    QList<WallpaperCandidate> items;
    std::exception_ptr failure;
    try {
        items = co_await wallpaperService().wallpapers(m_wallpaperLibrary, force);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (!isLatestRequest(RefreshKind::wallpapers, request) || m_hiddenRailModules.contains(RailModule::wallpapers)) {
        finishWallpaperLoad();
        co_return;
    }
    if (failure) {
        setWallpaperStatus({refreshFailureSentence(failure), StatusTint::orange});
        finishWallpaperLoad();
        co_return;
    }

    const std::optional<QString> shownID =
        m_wallpaperCandidate ? std::optional<QString>(m_wallpaperCandidate->id) : std::nullopt;
    setWallpaperItems(std::vector<WallpaperCandidate>(items.begin(), items.end()));
    std::vector<const WallpaperCandidate *> others;
    for (const WallpaperCandidate &item : m_wallpaperItems) {
        if (!shownID || item.id != *shownID)
            others.push_back(&item);
    }
    std::optional<WallpaperCandidate> next;
    if (!others.empty())
        next = *others[static_cast<std::size_t>(randomWallpaperIndex(static_cast<qsizetype>(others.size())))];
    else if (!m_wallpaperItems.empty())
        next = m_wallpaperItems.front();
    setWallpaperCandidate(std::move(next));

    const auto count = static_cast<qint64>(m_wallpaperItems.size());
    setWallpaperStatus({m_wallpaperLocalFolderName.isEmpty() ? countText(count, u"web wallpaper"_s, u"web wallpapers"_s)
                                                             : countText(count, u"local image"_s, u"local images"_s),
                        StatusTint::green});
    finishWallpaperLoad();
}

void AppState::moveWallpaperSelection(int offset)
{
    if (m_wallpaperItems.empty()) {
        refreshWallpaper(false);
        return;
    }
    const auto count = static_cast<qsizetype>(m_wallpaperItems.size());
    qsizetype index = 0;
    if (m_wallpaperCandidate) {
        const auto found = std::find_if(m_wallpaperItems.begin(), m_wallpaperItems.end(),
                                        [&](const WallpaperCandidate &c) { return c.id == m_wallpaperCandidate->id; });
        if (found != m_wallpaperItems.end())
            index = found - m_wallpaperItems.begin();
    }
    // Any offset wraps, however far it reaches.
    const qsizetype next = ((index + offset) % count + count) % count;
    setWallpaperCandidate(m_wallpaperItems[static_cast<std::size_t>(next)]);
}

QCoro::Task<> AppState::chooseWallpaperFolder()
{
    QPointer<AppState> self(this);
    std::optional<QString> folder;
    try {
        folder = co_await wallpaperService().chooseLocalFolder();
    } catch (...) {
        folder.reset();
    }
    if (!self || !folder)
        co_return;
    setWallpaperLocalFolderName(lastPathComponent(*folder));
    setWallpaperCandidate(std::nullopt);
    setWallpaperItems({});
    reloadWallpapers();
}

void AppState::clearWallpaperFolder()
{
    m_defaults.remove(SettingsKey::wallpaperLocalFolderPath);
    m_defaults.remove(SettingsKey::wallpaperLocalFolderName);
    setWallpaperLocalFolderName({});
    setWallpaperCandidate(std::nullopt);
    setWallpaperItems({});
    reloadWallpapers();
}

QCoro::Task<> AppState::applyCurrentWallpaper()
{
    if (!m_wallpaperCandidate || m_isApplyingWallpaper)
        co_return;
    QPointer<AppState> self(this);
    const WallpaperCandidate candidate = *m_wallpaperCandidate;
    const bool toAllDisplays = m_wallpaperApplyToAllDisplays;
    setIsApplyingWallpaper(true);
    setWallpaperStatus({u"Setting wallpaper..."_s, StatusTint::secondary});

    std::optional<WallpaperApplyResult> result;
    std::exception_ptr failure;
    try {
        result = co_await wallpaperService().apply(candidate, toAllDisplays);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (failure) {
        setWallpaperStatus({refreshFailureSentence(failure), StatusTint::orange});
        setIsApplyingWallpaper(false);
        co_return;
    }
    // The file belongs to the wallpaper that was set, which need not be the
    // one shown now: the user may have stepped on meanwhile.
    const auto recordOn = [&](WallpaperCandidate &c) {
        if (c.id == candidate.id)
            c.localFileURL = result->fileURL;
    };
    if (m_wallpaperCandidate && m_wallpaperCandidate->id == candidate.id)
        mutate<Field::wallpaperCandidate>([&](std::optional<WallpaperCandidate> &shown) { recordOn(*shown); });
    if (std::any_of(m_wallpaperItems.begin(), m_wallpaperItems.end(),
                    [&](const WallpaperCandidate &c) { return c.id == candidate.id; }))
        mutate<Field::wallpaperItems>(
            [&](std::vector<WallpaperCandidate> &items) { std::for_each(items.begin(), items.end(), recordOn); });
    QString status = u"Wallpaper set."_s;
    if (result->setOnEveryDisplayInstead)
        status = QString(status + u' ' + WallpaperService::everyDisplayNotice());
    setWallpaperStatus({status, StatusTint::green});
    setIsApplyingWallpaper(false);
}

} // namespace kolu
