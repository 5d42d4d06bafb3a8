#include "model/Enums.h"

using namespace Qt::StringLiterals;

namespace kolu {

QString title(RailModule module)
{
    switch (module) {
    case RailModule::today: return u"Today"_s;
    case RailModule::calendar: return u"Calendar"_s;
    case RailModule::prayers: return u"Prayers"_s;
    case RailModule::notes: return u"Notes"_s;
    case RailModule::focus: return u"Focus"_s;
    case RailModule::links: return u"Favorites Links"_s;
    case RailModule::fileTray: return u"Tray"_s;
    case RailModule::wallpapers: return u"Wallpapers"_s;
    case RailModule::reminders: return u"Reminders"_s;
    case RailModule::nowPlaying: return u"Soundscapes"_s;
    }
    return {};
}

QString symbol(RailModule module)
{
    switch (module) {
    case RailModule::today: return u"sun.max"_s;
    case RailModule::calendar: return u"calendar"_s;
    case RailModule::prayers: return u"seal"_s;
    case RailModule::notes: return u"note.text"_s;
    case RailModule::focus: return u"timer"_s;
    case RailModule::links: return u"star"_s;
    case RailModule::fileTray: return u"tray.and.arrow.down"_s;
    case RailModule::wallpapers: return u"photo.on.rectangle.angled"_s;
    case RailModule::reminders: return u"checklist"_s;
    case RailModule::nowPlaying: return u"music.note"_s;
    }
    return {};
}

QString displayName(PrayerName name)
{
    switch (name) {
    case PrayerName::fajr: return u"Fajr"_s;
    case PrayerName::sunrise: return u"Sunrise"_s;
    case PrayerName::dhuhr: return u"Dhuhr"_s;
    case PrayerName::asr: return u"Asr"_s;
    case PrayerName::maghrib: return u"Maghrib"_s;
    case PrayerName::isha: return u"Isha"_s;
    }
    return rawValue(name);
}

} // namespace kolu
