#include "settings/pages/UpdatesPage.h"

#include "model/BuildInfo.h"
#include "platform/desktop/UrlOpener.h"
#include "services/info/OrlixUpdateController.h"
#include "settings/SettingsLogo.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "settings/pages/ReleaseNotesCard.h"
#include "settings/pages/RowHolder.h"
#include "settings/pages/UpdateCheckWindow.h"
#include "state/AppState.h"
#include "style/DateText.h"
#include "style/Fonts.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixSwitch.h"

#include <QHBoxLayout>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const char kProductLine[] = "Kolu App Beta 1.3";
const char kReleaseVersion[] = "Beta 1.3";
const char kReleaseLabel[] = "Current";
const char kVersionFallback[] = "1.3.0";
const char kBuildFallback[] = "22";

// A switch labelled by a bold title over a detail line.
OrlixSwitch *addSwitchRow(QVBoxLayout *into, const QString &title, const QString &detail, const QString &name,
                          QWidget *parent)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 9, 0, 9);
    row->setSpacing(12);
    auto *labels = new QVBoxLayout;
    labels->setSpacing(2);
    labels->addWidget(settingsText(title, OrlixFonts::system(13, QFont::Bold), PaletteRole::text, 0, parent));
    labels->addWidget(
        settingsText(detail, OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 0, parent));
    row->addWidget(rowHolder(labels, nullptr), 1);
    auto *toggle = new OrlixSwitch(parent);
    toggle->setObjectName(name);
    toggle->setAccessibleName(title);
    row->addWidget(toggle, 0, Qt::AlignVCenter);
    into->addWidget(rowHolder(row, nullptr));
    return toggle;
}

} // namespace

QString currentVersionDetail(const QString &shortVersion, const QString &build)
{
    const QString version = shortVersion.isEmpty() ? QString::fromLatin1(kVersionFallback) : shortVersion;
    const QString number = build.isEmpty() ? QString::fromLatin1(kBuildFallback) : build;
    return QObject::tr("Version %1 \u2022 Build %2").arg(version, number);
}

QString lastUpdateCheckDetail(const OrlixUpdateController &controller)
{
    if (!controller.isConfigured())
        return QObject::tr("The update feed has not been configured.");
    if (const auto last = controller.lastUpdateCheckDate())
        return QObject::tr("Last check attempted %1").arg(DateText::user().format(*last, u"yMMMdjmm"_s));
    return QObject::tr("No update check has been completed yet.");
}

const QStringList &currentReleaseNotes()
{
    static const QStringList notes{
        QObject::tr("Added the top rail layout with a compact width that follows enabled tabs."),
        QObject::tr("Added clipboard history limits and refined the centered copy notification."),
        QObject::tr("Added Anghami and SoundCloud app recognition to Now Playing."),
        QObject::tr("Added Bahrain Radio controls and one custom radio station."),
        QObject::tr("Prepared Kolu's update checker and reduced background work while the rail is closed."),
    };
    return notes;
}

UpdatesPage::UpdatesPage(SettingsView &view, QWidget *parent)
    : QWidget(parent)
    , m_controller(view.updateController())
    , m_openDownloadPage([&state = view.state()](const QUrl &url) { state.urlOpener().openUrl(url); })
{
    setObjectName(u"updatesPage"_s);
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(26);

    auto *card = new SettingsInfoCard;
    card->setObjectName(u"updatesServiceCard"_s);
    QVBoxLayout *content = card->contentLayout();
    auto *versionLine = settingLine(
        tr(kProductLine),
        currentVersionDetail(QString::fromUtf8(buildinfo::kShortVersion), QString::fromUtf8(buildinfo::kBuildNumber)),
        u"app.badge"_s, themeAccentColor(), card);
    versionLine->setObjectName(u"updatesVersionLine"_s);
    content->addWidget(versionLine);
    content->addWidget(new SettingsDivider(card));

    auto *service = new QHBoxLayout;
    service->setContentsMargins(0, 8, 0, 8);
    service->setSpacing(12);
    auto *serviceText = new QVBoxLayout;
    serviceText->setSpacing(3);
    m_serviceStatus = settingsText(QString(), OrlixFonts::system(13, QFont::Bold), PaletteRole::text, 0, card);
    m_serviceStatus->setObjectName(u"updatesServiceStatus"_s);
    m_lastCheck = settingsText(QString(), OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 0, card);
    m_lastCheck->setObjectName(u"updatesLastCheck"_s);
    serviceText->addWidget(m_serviceStatus);
    serviceText->addWidget(m_lastCheck);
    service->addWidget(rowHolder(serviceText, nullptr), 1);
    m_checkNow = new OrlixButton(OrlixButton::Kind::primary, tr("Check Now"), card);
    m_checkNow->setObjectName(u"updatesCheckNow"_s);
    m_checkNow->setSymbol(u"arrow.clockwise"_s);
    service->addWidget(m_checkNow, 0, Qt::AlignVCenter);
    content->addWidget(rowHolder(service, nullptr));
    content->addWidget(new SettingsDivider(card));
    m_automaticChecks =
        addSwitchRow(content, tr("Automatically check for updates"),
                     tr("Kolu checks once per day when this option is enabled."), u"updatesAutomaticChecks"_s, card);
    content->addWidget(new SettingsDivider(card));
    m_automaticDownloads = addSwitchRow(content, tr("Download updates automatically"),
                                        tr("Downloaded updates are still installed with your approval."),
                                        u"updatesAutomaticDownloads"_s, card);
    page->addWidget(new SettingsGroup(tr("Software Update"), card, this));

    auto *notes = new ReleaseNotesCard(tr(kReleaseVersion), tr(kReleaseLabel), currentReleaseNotes());
    page->addWidget(new SettingsGroup(tr("Version History"), notes, this));

    connect(m_checkNow, &OrlixButton::clicked, this, &UpdatesPage::checkNow);
    // The switches act on the controller, whose change signal redraws them.
    connect(m_automaticChecks, &OrlixSwitch::clicked, this,
            [this](bool on) { m_controller.setAutomaticallyChecksForUpdates(on); });
    connect(m_automaticDownloads, &OrlixSwitch::clicked, this,
            [this](bool on) { m_controller.setAutomaticallyDownloadsUpdates(on); });
    connect(&m_controller, &OrlixUpdateController::changed, this, &UpdatesPage::sync);
    sync();
}

void UpdatesPage::sync()
{
    const bool configured = m_controller.isConfigured();
    m_serviceStatus->setText(configured ? tr("Update service configured") : tr("Update service unavailable"));
    m_lastCheck->setText(lastUpdateCheckDetail(m_controller));
    m_checkNow->setEnabled(configured && m_controller.canCheckForUpdates());
    // The switches act on clicks alone, so setting them here loops back to nothing.
    m_automaticChecks->setChecked(m_controller.automaticallyChecksForUpdates());
    m_automaticChecks->setEnabled(configured);
    m_automaticDownloads->setChecked(m_controller.automaticallyDownloadsUpdates());
    m_automaticDownloads->setEnabled(configured && m_controller.automaticallyChecksForUpdates());
}

UpdateCheckWindow *UpdatesPage::checkWindow() const
{
    return m_checkWindow;
}

void UpdatesPage::checkNow()
{
    // One window per settings window: a page built again finds the last one.
    if (!m_checkWindow)
        m_checkWindow = window()->findChild<UpdateCheckWindow *>(u"updateCheckWindow"_s, Qt::FindDirectChildrenOnly);
    if (!m_checkWindow)
        m_checkWindow = new UpdateCheckWindow(m_controller, m_openDownloadPage, window());
    m_checkWindow->startCheck();
}

} // namespace kolu
