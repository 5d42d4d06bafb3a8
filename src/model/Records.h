#pragma once

#include "model/Enums.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>

#include <optional>
#include <vector>

namespace kolu {

// Dates are QDateTime values in UTC; equality compares the moment.

struct SavedLink {
    QUuid id;
    QString title;
    QString url;
    QDateTime dateAdded;
    bool isFavorite = false;

    friend bool operator==(const SavedLink &, const SavedLink &) = default;
};

struct WebSearchProvider {
    QString id;
    QString title;
    QString searchURLTemplate; // holds "{query}" where the query goes
    bool isBuiltIn = false;

    friend bool operator==(const WebSearchProvider &, const WebSearchProvider &) = default;

    // The built-in providers in their fixed order, "google" first.
    static const std::vector<WebSearchProvider> &builtInProviders();
    // The default provider.
    static const WebSearchProvider &google();
};

struct ClipboardItem {
    QUuid id;
    ClipboardItemKind kind = ClipboardItemKind::text;
    QString title;
    QString value;
    QDateTime dateAdded;
    std::optional<QString> sourceURL;
    std::optional<QString> filePath;

    friend bool operator==(const ClipboardItem &, const ClipboardItem &) = default;

    // The second line of a history row.
    QString displayDetail() const;
};

struct FileTrayItem {
    QUuid id;
    QUrl url;
    QDateTime dateAdded;

    friend bool operator==(const FileTrayItem &, const FileTrayItem &) = default;

    // The file's extension upper-cased, or "File" when it has none.
    QString displayType() const;
};

struct CalendarEvent {
    QString id;
    QString title;
    QDateTime startDate;
    QDateTime endDate;
    std::optional<QString> location;
    std::optional<QUrl> meetingURL;
    QStringList attendeeInitials;

    friend bool operator==(const CalendarEvent &, const CalendarEvent &) = default;

    // "Now", "Starts in 12m" or "Starts in 2h 5m", read against `now`.
    QString startsInText(const QDateTime &now) const;
};

struct ReminderItem {
    QString id;
    QString title;
    std::optional<QString> notes;
    std::optional<QDateTime> dueDate;
    bool includesTime = false;
    int priority = 0;
    bool isFlagged = false;
    std::optional<QUrl> url;
    bool isCompleted = false;

    friend bool operator==(const ReminderItem &, const ReminderItem &) = default;
};

struct ReminderDraft {
    QString title;
    QString notes;
    QString url;
    QDateTime dueDate;
    bool hasDate = false;
    bool hasTime = false;
    int priority = 0;
    bool isFlagged = false;

    friend bool operator==(const ReminderDraft &, const ReminderDraft &) = default;
};

// The result state of every reminders call.
struct RemindersConnectionState {
    enum class Kind { notDetermined, denied, ready, failed };
    Kind kind = Kind::notDetermined;
    QString message; // only for `failed`

    static RemindersConnectionState notDetermined() { return {Kind::notDetermined, {}}; }
    static RemindersConnectionState denied() { return {Kind::denied, {}}; }
    static RemindersConnectionState ready() { return {Kind::ready, {}}; }
    static RemindersConnectionState failed(QString message) { return {Kind::failed, std::move(message)}; }

    friend bool operator==(const RemindersConnectionState &, const RemindersConnectionState &) = default;
};

struct AppleNoteItem {
    QString id;
    QString title;
    QString preview;
    QString modifiedText;
    std::optional<QDateTime> modifiedDate;

    friend bool operator==(const AppleNoteItem &, const AppleNoteItem &) = default;
};

struct AppleNoteFolder {
    QString id;
    QString name;
    QString accountName;

    friend bool operator==(const AppleNoteFolder &, const AppleNoteFolder &) = default;

    // "name" alone, or "name · account".
    QString displayName() const;
};

struct PrayerTime {
    PrayerName name = PrayerName::fajr;
    QDateTime date;
    bool notificationsEnabled = false;

    friend bool operator==(const PrayerTime &, const PrayerTime &) = default;

    QString id() const { return rawValue(name); }
};

struct PrayerDay {
    QString dateID; // "yyyy-MM-dd" in the local time zone
    QString city;
    QString country;
    int method = 0;
    QDateTime fetchedAt;
    std::vector<PrayerTime> times;

    friend bool operator==(const PrayerDay &, const PrayerDay &) = default;
};

struct PrayerSettings {
    QString city;
    QString country;
    int method = 0;

    friend bool operator==(const PrayerSettings &, const PrayerSettings &) = default;
};

struct ActivePrayerAlert {
    PrayerTime prayer;

    friend bool operator==(const ActivePrayerAlert &, const ActivePrayerAlert &) = default;

    // "<prayer>-<seconds since 1970>".
    QString id() const;
};

struct ActiveReminderAlert {
    ReminderItem reminder;
    QDateTime alertDate;

    friend bool operator==(const ActiveReminderAlert &, const ActiveReminderAlert &) = default;

    // "<reminder id>-<seconds since 1970>".
    QString id() const;
};

struct TodayWeather {
    QString city;
    double temperature = 0;
    int weatherCode = 0;
    QDateTime fetchedAt;

    friend bool operator==(const TodayWeather &, const TodayWeather &) = default;

    // A one- or two-word description of the WMO weather code.
    QString conditionText() const;
};

struct NowPlayingItem {
    QString title;
    QString artist;
    QString source;
    bool isPlaying = false;
    bool isMuted = false;
    std::optional<QString> artworkLocation;

    friend bool operator==(const NowPlayingItem &, const NowPlayingItem &) = default;
};

struct WallpaperCandidate {
    QString id;
    QString title;
    WallpaperLibrary collection = WallpaperLibrary::noir;
    WallpaperSource source = WallpaperSource::dropbox;
    QString sourceID;
    WallpaperCategory category = WallpaperCategory::nature;
    WallpaperLibrary library = WallpaperLibrary::noir;
    std::optional<QString> photographerArtist;
    std::optional<QUrl> sourceURL;
    QUrl previewURL;
    QUrl imageURL;
    QUrl thumbnailURL;
    QString license;
    std::optional<QString> dominantColor;
    std::optional<int> width;
    std::optional<int> height;
    bool isPublicDomain = false;
    QString attributionText;
    std::optional<QString> author;
    std::optional<QUrl> sourcePageURL;
    std::optional<QUrl> downloadLocation;
    std::optional<QUrl> localFileURL;

    friend bool operator==(const WallpaperCandidate &, const WallpaperCandidate &) = default;
};

// Whole seconds since 1970, truncated toward zero: the form moments take
// inside identifiers and keys.
qint64 wholeSecondsSince1970(const QDateTime &moment);

// The last component of a file path, as a path is read by the file system
// ("/a/b/" gives "b").
QString lastPathComponent(const QString &path);

} // namespace kolu
