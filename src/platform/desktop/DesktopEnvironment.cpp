#include "platform/desktop/DesktopEnvironment.h"

#include <QStringList>

#include <optional>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

std::optional<DesktopKind> kindOfName(const QString &rawName)
{
    const QString name = rawName.trimmed().toLower();
    // GNOME's relatives keep their picture in GNOME's own settings.
    if (name == u"gnome"_s || name == u"gnome-classic"_s || name == u"gnome-flashback"_s || name == u"ubuntu"_s
        || name == u"unity"_s || name == u"budgie"_s || name == u"budgie-desktop"_s || name == u"pop"_s)
        return DesktopKind::gnome;
    if (name == u"x-cinnamon"_s || name == u"cinnamon"_s)
        return DesktopKind::cinnamon;
    if (name == u"mate"_s)
        return DesktopKind::mate;
    if (name == u"kde"_s || name == u"plasma"_s || name == u"plasmawayland"_s)
        return DesktopKind::plasma;
    if (name == u"xfce"_s || name == u"xfce4"_s || name == u"xubuntu"_s)
        return DesktopKind::xfce;
    return std::nullopt;
}

} // namespace

SessionEnvironment SessionEnvironment::current()
{
    return {qEnvironmentVariable("XDG_CURRENT_DESKTOP"), qEnvironmentVariable("DESKTOP_SESSION"),
            qEnvironmentVariable("DISPLAY")};
}

DesktopKind detectDesktop(const SessionEnvironment &environment)
{
    for (const QString &name : environment.currentDesktop.split(u':', Qt::SkipEmptyParts)) {
        if (const auto kind = kindOfName(name))
            return *kind;
    }
    // DESKTOP_SESSION may be a path to the session file.
    const QString session = environment.desktopSession.section(u'/', -1);
    if (const auto kind = kindOfName(session))
        return *kind;
    return DesktopKind::other;
}

} // namespace kolu
