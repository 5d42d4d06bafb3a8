#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QUrl;

namespace kolu {

class ElidedLabel;
class OrlixButton;
class OrlixSwitch;
class OrlixUpdateController;
class SettingsView;
class UpdateCheckWindow;

// "Version 1.3.0 • Build 22": each part as compiled in, or its fallback when
// the build carries none.
QString currentVersionDetail(const QString &shortVersion, const QString &build);
// The line under the service status: no feed, the last check's date, or no
// check yet.
QString lastUpdateCheckDetail(const OrlixUpdateController &controller);
// What changed in the release shown on the page, in order.
const QStringList &currentReleaseNotes();

// The Updates page: the running version, the update service with "Check
// Now", the automatic check and download switches, and the version
// history. It reads the window's update controller afresh whenever the
// controller changes; a check's progress and outcome show in a window of
// their own, whose download button hands the release's page to the desktop.
class UpdatesPage : public QWidget {
    Q_OBJECT
public:
    explicit UpdatesPage(SettingsView &view, QWidget *parent = nullptr);

    // The window of the last check started here, if any.
    UpdateCheckWindow *checkWindow() const;

private:
    void sync();
    void checkNow();

    OrlixUpdateController &m_controller;
    std::function<void(const QUrl &)> m_openDownloadPage;
    ElidedLabel *m_serviceStatus;
    ElidedLabel *m_lastCheck;
    OrlixButton *m_checkNow;
    OrlixSwitch *m_automaticChecks;
    OrlixSwitch *m_automaticDownloads;
    QPointer<UpdateCheckWindow> m_checkWindow;
};

} // namespace kolu
