#include "settings/pages/UpdateCheckWindow.h"

#include "services/info/OrlixUpdateController.h"
#include "settings/SettingsKit.h"
#include "settings/WindowBackdrop.h"
#include "settings/pages/RowHolder.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/SmallSpinner.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

UpdateCheckWindow::UpdateCheckWindow(OrlixUpdateController &controller,
                                     std::function<void(const QUrl &)> openDownloadPage, QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , m_controller(controller)
    , m_openDownloadPage(std::move(openDownloadPage))
    , m_spinner(new SmallSpinner(this, 18))
    , m_title(settingsText(QString(), OrlixFonts::system(15, QFont::Bold), PaletteRole::text, 0, this))
    , m_message(settingsText(QString(), OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 0, this))
    , m_download(new OrlixButton(OrlixButton::Kind::primary, tr("Open Download Page"), this))
    , m_close(new OrlixButton(OrlixButton::Kind::secondary, tr("Close"), this))
{
    setObjectName(u"updateCheckWindow"_s);
    setWindowTitle(tr("Software Update"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedWidth(380);
    m_title->setObjectName(u"updateCheckTitle"_s);
    m_message->setObjectName(u"updateCheckMessage"_s);
    m_spinner->setObjectName(u"updateCheckSpinner"_s);
    m_download->setObjectName(u"updateCheckDownload"_s);
    m_download->setSymbol(u"arrow.up.right"_s);
    m_close->setObjectName(u"updateCheckClose"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 18);
    layout->setSpacing(10);
    auto *header = new QHBoxLayout;
    header->setSpacing(10);
    header->addWidget(m_spinner, 0, Qt::AlignVCenter);
    header->addWidget(m_title, 1);
    layout->addWidget(rowHolder(header, nullptr));
    layout->addWidget(m_message);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    buttons->addWidget(m_download);
    buttons->addWidget(m_close);
    layout->addWidget(rowHolder(buttons, nullptr));

    connect(m_close, &OrlixButton::clicked, this, &QWidget::close);
    connect(m_download, &OrlixButton::clicked, this, [this] {
        const auto &release = m_controller.status().release;
        if (release && m_openDownloadPage)
            m_openDownloadPage(release->downloadPage);
    });
    connect(&m_controller, &OrlixUpdateController::changed, this, &UpdateCheckWindow::refresh);
    onStyleChange(this, [this] {
        setPalette(windowPalette(OrlixStyle::current().colorScheme()));
        update();
    });
    setPalette(windowPalette(OrlixStyle::current().colorScheme()));
    refresh();
}

void UpdateCheckWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintWindowBackdrop(painter, rect(), OrlixStyle::current().colorScheme());
}

void UpdateCheckWindow::startCheck()
{
    show();
    raise();
    activateWindow();
    m_controller.checkForUpdates(); // runs on by itself; its outcome arrives through changed()
    refresh();
}

void UpdateCheckWindow::refresh()
{
    const UpdateStatus &status = m_controller.status();
    using State = UpdateStatus::State;
    const bool checking = status.state == State::checking;
    m_spinner->setVisible(checking);
    switch (status.state) {
    case State::idle:
    case State::checking:
        m_title->setText(tr("Checking for updates…"));
        m_message->setText(tr("Kolu is reading the update feed."));
        break;
    case State::upToDate:
        m_title->setText(tr("You're up to date"));
        m_message->setText(status.message);
        break;
    case State::updateAvailable:
        m_title->setText(tr("Update available"));
        m_message->setText(status.message + u' '
                           + tr("Install it with your package manager or from its download page."));
        break;
    case State::failed:
        m_title->setText(tr("Update check failed"));
        m_message->setText(status.message + u' ' + tr("Nothing was installed."));
        break;
    }
    m_download->setVisible(status.state == State::updateAvailable && status.release);
    m_close->setText(checking ? tr("Hide") : tr("Close"));
    adjustSize();
}

} // namespace kolu
