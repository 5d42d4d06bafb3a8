#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>
#include <QString>

#include <optional>

namespace kolu {

// One short message from the remote feed, shown once as a notification.
struct RemoteAppMessage {
    QString id;
    QString title;
    QString body;
    std::optional<int> minimumBuild;
    std::optional<int> maximumBuild;
    std::optional<QDateTime> startsAt;
    std::optional<QDateTime> expiresAt;

    friend bool operator==(const RemoteAppMessage &, const RemoteAppMessage &) = default;

    // Reads the feed document. Texts are trimmed; build bounds are optional
    // integers; dates are optional internet date-time strings, where an empty
    // one counts as absent. Throws DecodingError when it does not decode.
    static RemoteAppMessage decode(const QByteArray &document);
    static RemoteAppMessage fromJson(const QJsonValue &value);

    // Whether the message applies to `build` at `now`: it has an id, a title
    // and a body; the build lies within the inclusive bounds; and `now` is at
    // or after the start and before the expiry.
    bool isEligible(int build, const QDateTime &now) const;
};

} // namespace kolu
