#include "settings/onboarding/OnboardingPages.h"

#include "settings/SettingsLogo.h"
#include "style/OrlixStyle.h"

using namespace Qt::StringLiterals;

namespace kolu {

std::vector<OnboardingPage> onboardingPages()
{
    const OrlixStyle &style = OrlixStyle::current();
    return {
        {u"Meet Kolu"_s, u"A quiet edge shelf for the tools you touch all day."_s, u"sidebar.right"_s,
         themeAccentColor()},
        {u"Copy & Links"_s,
         u"Copied text, screenshots, images, and saved links stay close without opening a full manager."_s, u"star"_s,
         style.tint(RailModule::links)},
        {u"File Tray"_s,
         u"Drop files on Kolu, hold them temporarily, then drag them back into your file manager, "
         "mail, chat, or creative apps."_s,
         u"tray.and.arrow.down"_s, style.tint(RailModule::fileTray)},
        {u"Calendar, Reminders, Focus"_s,
         u"Upcoming events, quick reminders, and a small Pomodoro timer live right at the edge."_s, u"calendar"_s,
         style.tint(RailModule::calendar)},
        {u"Soundscapes & Wallpapers"_s,
         u"Control ambient audio, Quran radio, and the Kolu wallpaper library without breaking your "
         "workspace."_s,
         u"music.note"_s, style.tint(RailModule::nowPlaying)},
    };
}

} // namespace kolu
