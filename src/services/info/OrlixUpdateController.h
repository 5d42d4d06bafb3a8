#pragma once

#include "model/Clock.h"
#include "services/info/UpdateFeed.h"

#include <QDateTime>
#include "platform/net/Http.h"
#include <QObject>
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <optional>

namespace kolu {

class UserDefaults;

// The compiled-in update settings, when they are usable.
struct OrlixUpdateConfiguration {
    QUrl feedURL;      // https, with a host
    QString publicKey; // trimmed, non-empty

    friend bool operator==(const OrlixUpdateConfiguration &, const OrlixUpdateConfiguration &) = default;

    // Nothing unless the feed address parses as it stands, is https and has a
    // host, and the key is not blank.
    static std::optional<OrlixUpdateConfiguration> make(const std::optional<QString> &feedURLString,
                                                        const std::optional<QString> &publicKey);
    // From the build's settings; an empty setting counts as absent.
    static std::optional<OrlixUpdateConfiguration> compiledIn();
};

// Where the last update check stands.
struct UpdateStatus {
    enum class State { idle, checking, upToDate, updateAvailable, failed };

    State state = State::idle;
    QString message;                       // the sentence for the status line
    std::optional<UpdateFeedItem> release; // updateAvailable: what to offer

    friend bool operator==(const UpdateStatus &, const UpdateStatus &) = default;
};

// Decides once, at creation, whether updates can be offered, and when they
// can, checks the update feed on request and, when the user has switched
// automatic checks on, once a day. A newer release is offered with its
// download page, and only from a feed that the configured key signed;
// installing it is the package manager's business, so nothing is ever
// downloaded or installed here.
class OrlixUpdateController final : public QObject {
    Q_OBJECT
public:
    // `currentBuild` is our own build number.
    OrlixUpdateController(
        Network &network, UserDefaults &defaults,
        std::optional<OrlixUpdateConfiguration> configuration = OrlixUpdateConfiguration::compiledIn(),
        Clock &clock = SystemClock::instance(), QString currentBuild = defaultCurrentBuild(),
        QObject *parent = nullptr);
    ~OrlixUpdateController() override;

    // Set once at creation.
    bool isConfigured() const { return m_configuration.has_value(); }
    const std::optional<OrlixUpdateConfiguration> &configuration() const { return m_configuration; }

    // Checks the feed and publishes the outcome in status(). Does nothing but
    // emit changed() when not configured or while a check runs. Never throws.
    QCoro::Task<> checkForUpdates();
    // Configured and no check running.
    bool canCheckForUpdates() const;

    // Stored in the user defaults; false and unchangeable when not
    // configured.
    bool automaticallyChecksForUpdates() const;
    void setAutomaticallyChecksForUpdates(bool enabled);
    // Updates are never downloaded here: always false, writes are ignored.
    bool automaticallyDownloadsUpdates() const { return false; }
    void setAutomaticallyDownloadsUpdates(bool enabled);

    // When the last check was started; nothing before the first, and
    // nothing when not configured.
    std::optional<QDateTime> lastUpdateCheckDate() const;

    const UpdateStatus &status() const { return m_status; }

    static QString defaultCurrentBuild();

    static constexpr std::chrono::hours kAutomaticCheckInterval{24};
    static constexpr std::chrono::minutes kAutomaticCheckPace{60};
    static constexpr std::chrono::seconds kFirstAutomaticCheckDelay{60};
    static constexpr std::chrono::seconds kRequestTimeout{30};

Q_SIGNALS:
    // After every action and every change of status().
    void changed();

private:
    void checkAutomaticallyIfDue();
    void setStatus(UpdateStatus status);

    const std::optional<OrlixUpdateConfiguration> m_configuration;
    Network &m_network;
    UserDefaults &m_defaults;
    Clock &m_clock;
    const QString m_currentBuild;
    ClockTimer *m_automaticTimer = nullptr;
    UpdateStatus m_status;
};

} // namespace kolu
