#include "cards/links/BrandIconTable.h"

using namespace Qt::StringLiterals;

namespace kolu::brandicons {

// Several domains of one brand share its icon. A host that is a subdomain of
// a row (docs.example.com of example.com) gets that row's icon, so no row may
// be a subdomain of another: Google's services are listed one by one.
AliasTable shippedAliases()
{
    return {
        {u"github.com"_s, u"github"_s},
        {u"gitlab.com"_s, u"gitlab"_s},
        {u"stackoverflow.com"_s, u"stackoverflow"_s},
        {u"youtube.com"_s, u"youtube"_s},
        {u"youtu.be"_s, u"youtube"_s},
        {u"netflix.com"_s, u"netflix"_s},
        {u"twitch.tv"_s, u"twitch"_s},
        {u"mail.google.com"_s, u"gmail"_s},
        {u"drive.google.com"_s, u"googledrive"_s},
        {u"docs.google.com"_s, u"googledocs"_s},
        {u"proton.me"_s, u"proton"_s},
        {u"protonmail.com"_s, u"proton"_s},
        {u"discord.com"_s, u"discord"_s},
        {u"telegram.org"_s, u"telegram"_s},
        {u"whatsapp.com"_s, u"whatsapp"_s},
        {u"spotify.com"_s, u"spotify"_s},
        {u"soundcloud.com"_s, u"soundcloud"_s},
        {u"theguardian.com"_s, u"theguardian"_s},
        {u"nytimes.com"_s, u"newyorktimes"_s},
        {u"wikipedia.org"_s, u"wikipedia"_s},
        {u"figma.com"_s, u"figma"_s},
        {u"notion.so"_s, u"notion"_s},
        {u"notion.com"_s, u"notion"_s},
        {u"reddit.com"_s, u"reddit"_s},
        {u"x.com"_s, u"x"_s},
        {u"twitter.com"_s, u"x"_s},
        {u"duckduckgo.com"_s, u"duckduckgo"_s},
    };
}

// The build reads the `{u"<slug>"_s, 0xRRGGBB}` rows to copy the icons: keep the form.
ColorTable shippedColors()
{
    return {
        {u"discord"_s, 0x5865F2},    {u"duckduckgo"_s, 0xDE5833},
        {u"figma"_s, 0xF24E1E},      {u"github"_s, 0x181717},
        {u"gitlab"_s, 0xFC6D26},     {u"gmail"_s, 0xEA4335},
        {u"googledocs"_s, 0x4285F4}, {u"googledrive"_s, 0x4285F4},
        {u"netflix"_s, 0xE50914},    {u"newyorktimes"_s, 0x000000},
        {u"notion"_s, 0x000000},     {u"proton"_s, 0x6D4AFF},
        {u"reddit"_s, 0xFF4500},     {u"soundcloud"_s, 0xFF5500},
        {u"spotify"_s, 0x1ED760},    {u"stackoverflow"_s, 0xF58025},
        {u"telegram"_s, 0x26A5E4},   {u"theguardian"_s, 0x052962},
        {u"twitch"_s, 0x9146FF},     {u"whatsapp"_s, 0x25D366},
        {u"wikipedia"_s, 0x000000},  {u"x"_s, 0x000000},
        {u"youtube"_s, 0xFF0000},
    };
}

} // namespace kolu::brandicons
