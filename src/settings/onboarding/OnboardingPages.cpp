#include "settings/onboarding/OnboardingPages.h"

#include "settings/SettingsLogo.h"
#include "style/OrlixStyle.h"

namespace kolu {

std::vector<OnboardingPage> onboardingPages()
{
    const OrlixStyle &style = OrlixStyle::current();
    return {
        {QStringLiteral("Meet Kolu"), QStringLiteral("A quiet edge shelf for the tools you touch all day."),
         QStringLiteral("sidebar.right"), themeAccentColor()},
        {QStringLiteral("Copy & Links"),
         QStringLiteral("Copied text, screenshots, images, and saved links stay close without opening a full manager."),
         QStringLiteral("star"), style.tint(RailModule::links)},
        {QStringLiteral("File Tray"),
         QStringLiteral("Drop files on Kolu, hold them temporarily, then drag them back into your file manager, "
                        "mail, chat, or creative apps."),
         QStringLiteral("tray.and.arrow.down"), style.tint(RailModule::fileTray)},
        {QStringLiteral("Calendar, Reminders, Focus"),
         QStringLiteral("Upcoming events, quick reminders, and a small Pomodoro timer live right at the edge."),
         QStringLiteral("calendar"), style.tint(RailModule::calendar)},
        {QStringLiteral("Soundscapes & Wallpapers"),
         QStringLiteral("Control ambient audio, Quran radio, and the Kolu wallpaper library without breaking your "
                        "workspace."),
         QStringLiteral("music.note"), style.tint(RailModule::nowPlaying)},
    };
}

} // namespace kolu
