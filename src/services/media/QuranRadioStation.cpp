#include "services/media/QuranRadioStation.h"

using namespace Qt::StringLiterals;

namespace kolu {

QList<QUrl> QuranRadioStation::streamAddresses() const
{
    QList<QUrl> addresses{streamURL};
    addresses.append(fallbackStreamURLs);
    return addresses;
}

QuranRadioStation QuranRadioStation::custom(const QString &name, const QUrl &streamURL)
{
    return QuranRadioStation{
        .id = u"custom"_s,
        .nameArabic = name,
        .nameEnglish = name,
        .country = u"Custom Station"_s,
        .streamURL = streamURL,
        .fallbackStreamURLs = {},
        .providerName = name,
        .providerURL = streamURL,
        .attributionText = u"Custom live stream"_s,
    };
}

QUrl QuranRadioStation::validatedStreamURL(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(u"https"_s, Qt::CaseInsensitive) != 0 || url.host().isEmpty())
        return {};
    return url;
}

} // namespace kolu
