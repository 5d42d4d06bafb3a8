#pragma once

#include "model/Clock.h"
#include "model/Error.h"

#include <QByteArray>
#include "platform/net/Http.h"
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <optional>
#include <vector>

namespace kolu {

// A failure of the update check, with the sentence shown to the user.
class UpdateError : public Error {
public:
    using Error::Error;
    ~UpdateError() override;

    static UpdateError notConfigured();
    static UpdateError notReadable();
    static UpdateError tooLarge();
    static UpdateError noValidVersion();
    static UpdateError notVerified();
    static UpdateError badStatus(int statusCode);
};

// One release listed by the update feed.
struct UpdateFeedItem {
    QString build;     // compared with our own build number
    QString version;   // shown to the user; the build when the feed gives none
    QUrl downloadPage; // where the user gets it

    friend bool operator==(const UpdateFeedItem &, const UpdateFeedItem &) = default;
};

// The update feed is an RSS 2.0 document; every <item> of its channel is a
// release:
//
//   <rss version="2.0"><channel>
//     <item>
//       <title>Kolu 0.2.0</title>
//       <build>42</build>             build number, dotted decimal
//       <version>0.2.0</version>      optional
//       <link>https://…/0.2.0</link>  download page, https
//     </item>
//   </channel></rss>
//
// The feed is signed: beside it, at its address with ".sig" added to the
// path, lies the base64 Ed25519 signature of the feed's exact bytes, made
// with the key whose public half (the raw 32 bytes, base64) is built in.
//
// The newest release by build number, ignoring items whose build number is
// not dotted decimal or whose page is not an https address with a host.
// Throws UpdateError when the document is not well-formed XML or lists no
// valid release.
UpdateFeedItem newestRelease(const QByteArray &feed);

// Compares two dotted decimal build numbers ("42", "1.10.2") numerically,
// component by component, missing components counting as zero. Nothing when
// either is not such a number.
std::optional<int> compareBuildNumbers(const QString &a, const QString &b);

// The address of the signature of the feed at `feedURL`.
QUrl updateFeedSignatureURL(const QUrl &feedURL);

// Whether `signature`, as the feed's signature file holds it, is `publicKey`'s
// signature of `feed`.
bool isSignedUpdateFeed(const QByteArray &feed, const QByteArray &signature, const QString &publicKey);

inline constexpr qint64 kMaxUpdateFeedBytes = 1024 * 1024;
inline constexpr qint64 kMaxUpdateSignatureBytes = 1024;

// Fetches the feed at `url`. Throws TransportError when it cannot be fetched
// and UpdateError for an error status or a feed larger than `maxBytes`
// (the download stops there).
QCoro::Task<QByteArray> fetchUpdateFeed(Network &network, QUrl url, Clock &clock, std::chrono::milliseconds timeout,
                                        qint64 maxBytes = kMaxUpdateFeedBytes);

} // namespace kolu
