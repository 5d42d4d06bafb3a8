#pragma once

#include "platform/net/Http.h"
#include <QString>
#include <QUrl>

#include <optional>

namespace kolu {

// The feed's address, present only when it is a secure web address with a
// host. Without one the message feed is off for the run.
struct RemoteAppMessageConfiguration {
    QUrl feedURL;

    friend bool operator==(const RemoteAppMessageConfiguration &, const RemoteAppMessageConfiguration &) = default;

    // Nothing when the text is absent, does not parse as an address (it is
    // not trimmed), its scheme is not https (in any case), or it has no host.
    static std::optional<RemoteAppMessageConfiguration> fromFeedURLString(const std::optional<QString> &feedURLString);

    // The compiled-in feed address; empty by default, which turns the feed off.
    static std::optional<QString> compiledFeedURLString();
};

// Holds the network session through which the feed is downloaded.
class RemoteAppMessageService {
public:
    explicit RemoteAppMessageService(Network &session)
        : m_session(&session)
    {
    }

    Network &session() const { return *m_session; }

private:
    Network *m_session;
};

} // namespace kolu
