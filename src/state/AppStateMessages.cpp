// The remote message feed: when to fetch it, the request, and delivering a
// message once per id on this machine.
#include "state/AppState.h"

#include "model/BuildInfo.h"
#include "model/Error.h"
#include "platform/net/Http.h"
#include "services/notifications/NotificationService.h"
#include "services/info/RemoteAppMessageConfiguration.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr SettingsKey kDeliveredIDsKey = SettingsKey::deliveredRemoteAppMessageIDs;
constexpr std::chrono::milliseconds kFeedTimeout{12'000};

// A decimal integer with an optional sign and nothing else; 0 otherwise.
int buildNumberFrom(const std::optional<QString> &text)
{
    if (!text || text->isEmpty())
        return 0;
    QStringView digits(*text);
    if (digits.front() == u'+' || digits.front() == u'-')
        digits = digits.mid(1);
    const auto isDecimalDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isDecimalDigit))
        return 0;
    bool ok = false;
    const int value = text->toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

AppState::BundleInformation AppState::BundleInformation::compiledIn()
{
    return BundleInformation{RemoteAppMessageConfiguration::compiledFeedURLString(),
                             QString::fromUtf8(buildinfo::kBuildNumber)};
}

void AppState::checkRemoteMessageIfNeeded(bool force)
{
    const QDateTime now = m_clock.now();
    if (!force && m_lastRemoteMessageCheck.msecsTo(now) <= remoteMessageCheckInterval.count())
        return;
    // Stamped before the address is looked at, so a run without a feed does
    // not look again at every tick.
    m_lastRemoteMessageCheck = now;
    const auto configuration = RemoteAppMessageConfiguration::fromFeedURLString(m_bundleInformation.messageFeedURL);
    if (!configuration)
        return;
    fetchRemoteMessage(QPointer<AppState>(this), configuration->feedURL,
                       buildNumberFrom(m_bundleInformation.buildNumber));
}

QCoro::Task<> AppState::fetchRemoteMessage(QPointer<AppState> self, QUrl feedURL, int build)
{
    if (!self)
        co_return;
    Network &session = self->remoteMessageService().session();
    Clock &clock = self->clock();
    // Eligibility is judged at the moment the fetch starts.
    const QDateTime startedAt = clock.now();
    HttpRequest request{feedURL};
    request.alwaysFromNetwork = true;
    try {
        const HttpResponse response = co_await httpGet(session, request, clock, kFeedTimeout);
        if (!self || !response.isSuccess())
            co_return;
        const RemoteAppMessage message = RemoteAppMessage::decode(response.body);
        if (!message.isEligible(build, startedAt))
            co_return;
        self->deliverRemoteMessageIfNeeded(message);
    } catch (...) {
        // Every failure of the feed is silent; the next check comes in six hours.
    }
}

void AppState::deliverRemoteMessageIfNeeded(const RemoteAppMessage &message)
{
    const QStringList stored = m_defaults.stringListValue(kDeliveredIDsKey);
    QSet<QString> delivered(stored.begin(), stored.end());
    if (delivered.contains(message.id))
        return;
    delivered.insert(message.id);
    // Recorded before it is shown, so a message is never shown twice.
    m_defaults.setStringList(kDeliveredIDsKey, QStringList(delivered.begin(), delivered.end()));
    notificationService().send(message.title, message.body);
}

} // namespace kolu
