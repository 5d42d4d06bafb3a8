#pragma once

#include "model/RawEnum.h"

#include <QString>

namespace kolu {

// The ten rail modules; declaration order is the default module order.
enum class RailModule { today, calendar, prayers, notes, focus, links, fileTray, wallpapers, reminders, nowPlaying };
template<>
struct EnumNames<RailModule> {
    static constexpr std::array<std::string_view, 10> names{
        "today", "calendar", "prayers", "notes", "focus", "links", "fileTray", "wallpapers", "reminders", "nowPlaying"};
};

// The title shown for a module.
QString title(RailModule module);
// The name of the module's symbol; the style layer maps it to an icon.
QString symbol(RailModule module);
// A module's accent colour depends on the theme, so it is resolved by the
// style layer, not here.

// The screen edge the rail sits on.
enum class RailEdge { left, right, top };
template<>
struct EnumNames<RailEdge> {
    static constexpr std::array<std::string_view, 3> names{"left", "right", "top"};
};

// Where the rail sits along a left or right edge.
enum class RailVerticalPosition { top, center, bottom };
template<>
struct EnumNames<RailVerticalPosition> {
    static constexpr std::array<std::string_view, 3> names{"top", "center", "bottom"};
};

enum class RailSize { standard, large };
template<>
struct EnumNames<RailSize> {
    static constexpr std::array<std::string_view, 2> names{"standard", "large"};
};

enum class PrayerName { fajr, sunrise, dhuhr, asr, maghrib, isha };
template<>
struct EnumNames<PrayerName> {
    static constexpr std::array<std::string_view, 6> names{"fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"};
};
// The name shown for a prayer, in the card and in its notification: "Fajr",
// "Sunrise", ...
QString displayName(PrayerName name);

enum class PomodoroMode { focus, breakTime };
template<>
struct EnumNames<PomodoroMode> {
    static constexpr std::array<std::string_view, 2> names{"focus", "breakTime"};
};

enum class ClipboardItemKind { link, text, image, file };
template<>
struct EnumNames<ClipboardItemKind> {
    static constexpr std::array<std::string_view, 4> names{"link", "text", "image", "file"};
};

enum class WallpaperLibrary { noir, still, wild, archive, frontier };
template<>
struct EnumNames<WallpaperLibrary> {
    static constexpr std::array<std::string_view, 5> names{"noir", "still", "wild", "archive", "frontier"};
};

enum class WallpaperSource { unsplash, metMuseum, artInstitute, dropbox, localFolder };
template<>
struct EnumNames<WallpaperSource> {
    static constexpr std::array<std::string_view, 5> names{"unsplash", "metMuseum", "artInstitute", "dropbox",
                                                           "localFolder"};
};

enum class WallpaperCategory { nature, abstract, space, architecture, minimal, textures };
template<>
struct EnumNames<WallpaperCategory> {
    static constexpr std::array<std::string_view, 6> names{"nature",       "abstract", "space",
                                                           "architecture", "minimal",  "textures"};
};

// The transport commands; these have no raw values.
enum class MediaAction { previous, playPause, next, toggleMute };

} // namespace kolu
