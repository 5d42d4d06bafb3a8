#include "cards/links/HostLabel.h"

#include <QChar>
#include <QStringView>
#include <QUrl>

#include <algorithm>
#include <initializer_list>
#include <set>

namespace kolu::linkcard {

namespace {

using Scripts = std::set<QChar::Script>;

Scripts scriptsOf(QStringView label)
{
    Scripts scripts;
    for (char32_t c : label.toUcs4()) {
        const QChar::Script script = QChar::script(c);
        // Digits, hyphens and combining marks belong to every script.
        if (script != QChar::Script_Common && script != QChar::Script_Inherited && script != QChar::Script_Unknown)
            scripts.insert(script);
    }
    return scripts;
}

bool isAllowedMix(const Scripts &scripts)
{
    if (scripts.size() <= 1)
        return true;
    const std::initializer_list<Scripts> languages = {
        {QChar::Script_Latin, QChar::Script_Han, QChar::Script_Hiragana, QChar::Script_Katakana},
        {QChar::Script_Latin, QChar::Script_Han, QChar::Script_Hangul},
        {QChar::Script_Latin, QChar::Script_Han, QChar::Script_Bopomofo},
    };
    for (const Scripts &language : languages) {
        if (std::includes(language.begin(), language.end(), scripts.begin(), scripts.end()))
            return true;
    }
    return false;
}

} // namespace

bool mixesScripts(const QString &host)
{
    for (QStringView label : QStringView(host).split(u'.')) {
        if (!isAllowedMix(scriptsOf(label)))
            return true;
    }
    return false;
}

QString hostLabel(const QString &host)
{
    const QByteArray ascii = QUrl::toAce(host);
    if (ascii.isEmpty())
        return host;
    const QString written = QUrl::fromAce(ascii, QUrl::IgnoreIDNWhitelist);
    if (mixesScripts(written))
        return QString::fromLatin1(ascii);
    return written;
}

} // namespace kolu::linkcard
