#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace kolu {

// A live radio station: its titles, the stream addresses tried in order, and
// who provides it.
struct QuranRadioStation {
    QString id; // "bahrain" for the built-in station, "custom" for the user's
    QString nameArabic;
    QString nameEnglish;
    QString country;
    QUrl streamURL;
    QList<QUrl> fallbackStreamURLs;
    QString providerName;
    QUrl providerURL;
    QString attributionText;

    // streamURL followed by the fallbacks.
    QList<QUrl> streamAddresses() const;

    // The user's station, built from a trimmed name and a validated address.
    static QuranRadioStation custom(const QString &name, const QUrl &streamURL);

    // Whether `text` is an address the radio accepts for a user's station:
    // a well-formed HTTPS address with a host. Returns the address, or an
    // invalid QUrl.
    static QUrl validatedStreamURL(const QString &text);

    friend bool operator==(const QuranRadioStation &, const QuranRadioStation &) = default;
};

} // namespace kolu
