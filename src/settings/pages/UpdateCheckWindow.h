#pragma once

#include <QWidget>

#include <functional>

class QUrl;

namespace kolu {

class ElidedLabel;
class OrlixButton;
class OrlixUpdateController;
class SmallSpinner;

// A small window that follows one update check: a spinner while it runs,
// then the outcome ("Kolu is up to date.", "Kolu 0.5.0 is available." with
// a button to its download page, or why the check failed).
class UpdateCheckWindow : public QWidget {
    Q_OBJECT
public:
    // `openDownloadPage` hands the release's page to the desktop.
    UpdateCheckWindow(OrlixUpdateController &controller, std::function<void(const QUrl &)> openDownloadPage,
                      QWidget *parent = nullptr);

    // Shows the window above its parent and starts a check.
    void startCheck();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();

    OrlixUpdateController &m_controller;
    std::function<void(const QUrl &)> m_openDownloadPage;
    SmallSpinner *m_spinner;
    ElidedLabel *m_title;
    ElidedLabel *m_message;
    OrlixButton *m_download;
    OrlixButton *m_close;
};

} // namespace kolu
