#include "model/Records.h"

using namespace Qt::StringLiterals;

namespace kolu {

qint64 wholeSecondsSince1970(const QDateTime &moment)
{
    return moment.toMSecsSinceEpoch() / 1000; // integer division truncates toward zero
}

QString lastPathComponent(const QString &path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == u'/')
        --end;
    if (end == 0)
        return {};
    const QString trimmed = path.left(end);
    if (trimmed == u"/"_s)
        return trimmed;
    return trimmed.mid(trimmed.lastIndexOf(u'/') + 1);
}

const std::vector<WebSearchProvider> &WebSearchProvider::builtInProviders()
{
    static const std::vector<WebSearchProvider> providers{
        {u"google"_s, u"Google"_s, u"https://www.google.com/search?q={query}"_s, true},
        {u"pinterest"_s, u"Pinterest"_s, u"https://www.pinterest.com/search/pins/?q={query}"_s, true},
        {u"youtube"_s, u"YouTube"_s, u"https://www.youtube.com/results?search_query={query}"_s, true},
    };
    return providers;
}

const WebSearchProvider &WebSearchProvider::google()
{
    return builtInProviders().front();
}

QString ClipboardItem::displayDetail() const
{
    switch (kind) {
    case ClipboardItemKind::link: {
        const QUrl parsed(value, QUrl::StrictMode);
        if (parsed.isValid() && !parsed.host().isEmpty())
            return parsed.host();
        return value;
    }
    case ClipboardItemKind::text: return value;
    case ClipboardItemKind::image: return filePath ? lastPathComponent(*filePath) : u"Image"_s;
    case ClipboardItemKind::file: return lastPathComponent(value);
    }
    return value;
}

QString FileTrayItem::displayType() const
{
    const QString name = lastPathComponent(url.path());
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot > 0 ? name.mid(dot + 1).trimmed() : QString();
    return extension.isEmpty() ? u"File"_s : extension.toUpper();
}

QString CalendarEvent::startsInText(const QDateTime &now) const
{
    const qint64 minutes = now.msecsTo(startDate) / 60000; // truncated toward zero
    if (minutes < 1)
        return u"Now"_s;
    if (minutes > 59)
        return u"Starts in %1h %2m"_s.arg(minutes / 60).arg(minutes % 60);
    return u"Starts in %1m"_s.arg(minutes);
}

QString AppleNoteFolder::displayName() const
{
    if (accountName.isEmpty())
        return name;
    return name + u" · "_s + accountName;
}

QString ActivePrayerAlert::id() const
{
    return rawValue(prayer.name) + u'-' + QString::number(wholeSecondsSince1970(prayer.date));
}

QString ActiveReminderAlert::id() const
{
    return reminder.id + u'-' + QString::number(wholeSecondsSince1970(alertDate));
}

QString TodayWeather::conditionText() const
{
    // clang-format off
    switch (weatherCode) {
    case 0: return u"Clear"_s;
    case 1: case 2: return u"Mostly clear"_s;
    case 3: return u"Cloudy"_s;
    case 45: case 48: return u"Fog"_s;
    case 51: case 53: case 55: case 56: case 57: return u"Drizzle"_s;
    case 61: case 63: case 65: case 66: case 67: case 80: case 81: case 82: return u"Rain"_s;
    case 71: case 73: case 75: case 77: case 85: case 86: return u"Snow"_s;
    case 95: case 96: case 99: return u"Storm"_s;
    default: return u"Weather"_s;
    }
    // clang-format on
}

} // namespace kolu
