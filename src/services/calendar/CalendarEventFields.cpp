#include "services/calendar/CalendarEventFields.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QStringList uniqued(const QStringList &values)
{
    QStringList result;
    for (const QString &value : values) {
        if (!result.contains(value))
            result.push_back(value);
    }
    return result;
}

} // namespace

std::optional<QUrl> firstLink(const QString &text)
{
    static const QRegularExpression link(uR"((?:\b[A-Za-z][A-Za-z0-9+.\-]*://|\bwww\.)[^\s<>"]+)"_s);
    QRegularExpressionMatchIterator matches = link.globalMatch(text);
    while (matches.hasNext()) {
        QString candidate = matches.next().captured();
        // Punctuation that ends a sentence is not part of the address.
        while (!candidate.isEmpty() && u".,;:!?)]}'"_s.contains(candidate.back()))
            candidate.chop(1);
        if (candidate.startsWith(u"www.", Qt::CaseInsensitive))
            candidate = QString(u"http://" + candidate);
        const QUrl url(candidate, QUrl::StrictMode);
        if (url.isValid() && !url.host().isEmpty())
            return url;
    }
    return std::nullopt;
}

std::optional<QUrl> meetingURL(const std::optional<QString> &url, const std::optional<QString> &location,
                               const std::optional<QString> &notes)
{
    if (url) {
        const QUrl own(url->trimmed(), QUrl::StrictMode);
        if (own.isValid() && !own.scheme().isEmpty())
            return own;
    }
    QStringList parts;
    if (location)
        parts.push_back(*location);
    if (notes)
        parts.push_back(*notes);
    return firstLink(parts.join(u' '));
}

std::optional<QString> initials(const std::optional<QString> &text)
{
    if (!text || text->isEmpty())
        return std::nullopt;
    static const QRegularExpression separators(uR"([\s._\-]+)"_s);
    const QStringList words = text->split(separators, Qt::SkipEmptyParts);
    QString result;
    if (words.size() >= 2)
        result = QString(words[0].left(1) + words[1].left(1));
    else
        result = text->left(2);
    result = result.toUpper();
    if (result.isEmpty())
        return std::nullopt;
    return result;
}

QStringList attendeeInitials(const std::vector<StoredAttendee> &attendees)
{
    QStringList found;
    for (const StoredAttendee &attendee : attendees) {
        const QString name = attendee.name ? attendee.name->trimmed() : QString();
        QString fallback = attendee.address;
        // Calendars write the scheme in either case.
        fallback.remove(u"mailto:"_s, Qt::CaseInsensitive);
        fallback = fallback.section(u'@', 0, 0).trimmed();
        const auto letters = initials(name.isEmpty() ? fallback : name);
        if (letters && !letters->isEmpty())
            found.push_back(*letters);
    }
    return uniqued(found).mid(0, 4);
}

} // namespace kolu
