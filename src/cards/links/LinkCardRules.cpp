#include "cards/links/LinkCardRules.h"

#include "cards/links/HostLabel.h"
#include "state/LinkRules.h"

#include <QCoreApplication>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <array>
#include <iterator>

using namespace Qt::StringLiterals;

namespace kolu::linkcard {

namespace {

constexpr int kTileMinimumWidth = 78;
constexpr int kGridSpacing = 10;

// The first code point of `text`, 0 when empty.
char32_t firstCodePoint(const QString &text)
{
    if (text.isEmpty())
        return 0;
    if (text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate())
        return QChar::surrogateToUcs4(text.at(0), text.at(1));
    return text.at(0).unicode();
}

bool isWordCharacter(const QString &grapheme)
{
    const char32_t c = firstCodePoint(grapheme);
    return c != 0 && QChar::isLetterOrNumber(c);
}

struct Rgb {
    int r, g, b;
};

// The standard named colours, light and dark appearance.
constexpr std::array<std::array<Rgb, 2>, 7> kNamedColors{{
    {{{50, 173, 230}, {100, 210, 255}}}, // cyan
    {{{0, 199, 190}, {99, 230, 226}}},   // mint
    {{{0, 122, 255}, {10, 132, 255}}},   // blue
    {{{175, 82, 222}, {191, 90, 242}}},  // purple
    {{{255, 45, 85}, {255, 55, 95}}},    // pink
    {{{255, 149, 0}, {255, 159, 10}}},   // orange
    {{{255, 204, 0}, {255, 214, 10}}},   // yellow
}};

} // namespace

std::vector<SavedLink> visibleLinks(const std::vector<SavedLink> &links)
{
    std::vector<SavedLink> favorites;
    std::copy_if(links.begin(), links.end(), std::back_inserter(favorites),
                 [](const SavedLink &link) { return link.isFavorite; });
    std::stable_sort(favorites.begin(), favorites.end(),
                     [](const SavedLink &a, const SavedLink &b) { return a.dateAdded > b.dateAdded; });
    if (favorites.size() > std::size_t(maxVisibleLinks))
        favorites.resize(maxVisibleLinks);
    return favorites;
}

bool canSave(const QString &url)
{
    return !url.trimmed().isEmpty();
}

int gridColumns(int width)
{
    return std::max(1, (width + kGridSpacing) / (kTileMinimumWidth + kGridSpacing));
}

QString hostOf(const QString &url)
{
    if (!linkrules::parsesAsURL(url))
        return {};
    return QUrl(url, QUrl::StrictMode).host();
}

QString withoutLeadingWww(const QString &host)
{
    return host.startsWith(u"www."_s, Qt::CaseInsensitive) ? host.mid(4) : host;
}

QString tileName(const SavedLink &link)
{
    const QString title = link.title.trimmed();
    if (!title.isEmpty())
        return title;
    const QString host = withoutLeadingWww(hostLabel(hostOf(link.url)));
    if (!host.isEmpty())
        return host;
    return QCoreApplication::translate("FavoriteLinkTile", "Link");
}

QString displaySource(const SavedLink &link)
{
    const QString title = link.title.trimmed();
    if (!title.isEmpty())
        return title;
    const QString host = hostOf(link.url);
    return host.isEmpty() ? link.url : host;
}

QStringList graphemes(const QString &text)
{
    QStringList out;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype next = finder.toNextBoundary(); next >= 0; next = finder.toNextBoundary()) {
        if (next > start)
            out.append(text.mid(start, next - start));
        start = next;
    }
    return out;
}

QString monogram(const QString &displaySource)
{
    QString text = displaySource;
    text.remove(u"www."_s).remove(u"https://"_s).remove(u"http://"_s);
    const QStringList characters = graphemes(text);

    // Words: runs of characters that begin with a letter or a number.
    std::vector<QString> initials;
    bool inWord = false;
    for (const QString &character : characters) {
        const bool word = isWordCharacter(character);
        if (word && !inWord)
            initials.push_back(character);
        inWord = word;
    }
    QString result;
    if (initials.size() < 2)
        result = characters.mid(0, 2).join(QString());
    else
        result = initials[0] + initials[1];
    return result.toUpper();
}

int monogramLength(const QString &monogram)
{
    return int(graphemes(monogram).size());
}

int iconColorIndex(const QString &displaySource)
{
    qint64 sum = 0;
    for (char32_t c : QStringView(displaySource).toUcs4())
        sum += c;
    return int(sum % 7);
}

QColor namedIconColor(int index, ColorScheme scheme)
{
    const Rgb &c = kNamedColors[std::size_t(std::clamp(index, 0, 6))][scheme == ColorScheme::dark ? 1 : 0];
    return QColor(c.r, c.g, c.b);
}

std::optional<QUrl> openableURL(const SavedLink &link)
{
    if (!linkrules::isWebAddressWithHost(link.url))
        return std::nullopt;
    return QUrl(link.url, QUrl::StrictMode);
}

QColor searchButtonTint(OrlixTheme theme, const QColor &linksTint, const QColor &hero)
{
    switch (theme) {
    case OrlixTheme::activeDark: return QColor::fromRgbF(0.31f, 0.9f, 0.365f);
    case OrlixTheme::heroLight: return hero;
    case OrlixTheme::default_:
    case OrlixTheme::flatOlive: break;
    }
    return linksTint;
}

QColor searchButtonForeground(OrlixTheme theme, double heroLuminance)
{
    if (theme != OrlixTheme::heroLight)
        return Qt::black;
    return heroLuminance < 0.56 ? QColor(Qt::white) : QColor::fromRgbF(0.07f, 0.08f, 0.095f);
}

} // namespace kolu::linkcard
