#include "services/info/OrlixUpdateController.h"

#include "model/BuildInfo.h"
#include "model/UserDefaults.h"

#include <QPointer>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

std::optional<QString> nonEmpty(const char *setting)
{
    const QString value = QString::fromUtf8(setting);
    if (value.isEmpty())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<OrlixUpdateConfiguration> OrlixUpdateConfiguration::make(const std::optional<QString> &feedURLString,
                                                                       const std::optional<QString> &publicKey)
{
    if (!feedURLString || !publicKey)
        return std::nullopt;
    const QUrl url(*feedURLString, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().toLower() != u"https"_s || url.host().isEmpty())
        return std::nullopt;
    const QString key = publicKey->trimmed();
    if (key.isEmpty())
        return std::nullopt;
    return OrlixUpdateConfiguration{url, key};
}

std::optional<OrlixUpdateConfiguration> OrlixUpdateConfiguration::compiledIn()
{
    return make(nonEmpty(buildinfo::kUpdateFeedURL), nonEmpty(buildinfo::kUpdatePublicKey));
}

OrlixUpdateController::OrlixUpdateController(Network &network, UserDefaults &defaults,
                                             std::optional<OrlixUpdateConfiguration> configuration, Clock &clock,
                                             QString currentBuild, QObject *parent)
    : QObject(parent)
    , m_configuration(std::move(configuration))
    , m_network(network)
    , m_defaults(defaults)
    , m_clock(clock)
    , m_currentBuild(std::move(currentBuild))
{
    if (!m_configuration)
        return;
    // A first look soon after launch, then once an hour: a check runs when
    // automatic checks are on and the last one is a day old.
    m_automaticTimer = m_clock.createTimer(this);
    connect(m_automaticTimer, &ClockTimer::timeout, this, [this] {
        if (!m_automaticTimer->isActive())
            m_automaticTimer->start(kAutomaticCheckPace, true);
        checkAutomaticallyIfDue();
    });
    m_automaticTimer->start(kFirstAutomaticCheckDelay, false);
}

OrlixUpdateController::~OrlixUpdateController() = default;

QString OrlixUpdateController::defaultCurrentBuild()
{
    return QString::fromUtf8(buildinfo::kBuildNumber);
}

bool OrlixUpdateController::canCheckForUpdates() const
{
    return isConfigured() && m_status.state != UpdateStatus::State::checking;
}

bool OrlixUpdateController::automaticallyChecksForUpdates() const
{
    return isConfigured() && m_defaults.boolValue(SettingsKey::automaticallyChecksForUpdates);
}

void OrlixUpdateController::setAutomaticallyChecksForUpdates(bool enabled)
{
    if (isConfigured())
        m_defaults.set(SettingsKey::automaticallyChecksForUpdates, enabled);
    Q_EMIT changed();
}

void OrlixUpdateController::setAutomaticallyDownloadsUpdates(bool)
{
    Q_EMIT changed();
}

std::optional<QDateTime> OrlixUpdateController::lastUpdateCheckDate() const
{
    if (!isConfigured())
        return std::nullopt;
    return m_defaults.date(SettingsKey::lastUpdateCheckDate);
}

void OrlixUpdateController::setStatus(UpdateStatus status)
{
    m_status = std::move(status);
    Q_EMIT changed();
}

void OrlixUpdateController::checkAutomaticallyIfDue()
{
    if (!automaticallyChecksForUpdates() || !canCheckForUpdates())
        return;
    const auto last = lastUpdateCheckDate();
    const QDateTime now = m_clock.now();
    const qint64 interval = std::chrono::seconds(kAutomaticCheckInterval).count();
    // A last check in the future (the clock was set back) counts as due.
    if (last && *last <= now && last->secsTo(now) < interval)
        return;
    checkForUpdates(); // runs on by itself; its outcome lands in status()
}

QCoro::Task<> OrlixUpdateController::checkForUpdates()
{
    if (!canCheckForUpdates()) {
        Q_EMIT changed();
        co_return;
    }
    QPointer<OrlixUpdateController> self(this);
    m_defaults.setDate(SettingsKey::lastUpdateCheckDate, m_clock.now());
    setStatus({UpdateStatus::State::checking, u"Checking for updates…"_s, std::nullopt});

    UpdateStatus outcome;
    try {
        const QUrl feedURL = m_configuration->feedURL;
        const QByteArray feed = co_await fetchUpdateFeed(m_network, feedURL, m_clock, kRequestTimeout);
        if (!self)
            co_return;
        // Nothing is offered from a feed that its key did not sign.
        QByteArray signature;
        try {
            signature = co_await fetchUpdateFeed(m_network, updateFeedSignatureURL(feedURL), m_clock, kRequestTimeout,
                                                 kMaxUpdateSignatureBytes);
        } catch (const UpdateError &) {
            throw UpdateError::notVerified(); // no signature, or none that could be one
        }
        if (!self)
            co_return;
        if (!isSignedUpdateFeed(feed, signature, m_configuration->publicKey))
            throw UpdateError::notVerified();
        const UpdateFeedItem newest = newestRelease(feed);
        const std::optional<int> order = compareBuildNumbers(newest.build, m_currentBuild);
        if (order && *order > 0)
            outcome = {UpdateStatus::State::updateAvailable, u"Kolu %1 is available."_s.arg(newest.version), newest};
        else
            outcome = {UpdateStatus::State::upToDate, u"Kolu is up to date."_s, std::nullopt};
    } catch (const Error &error) {
        if (!self)
            co_return;
        outcome = {UpdateStatus::State::failed, error.description(), std::nullopt};
    }
    setStatus(std::move(outcome));
}

} // namespace kolu
