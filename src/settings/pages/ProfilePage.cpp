#include "settings/pages/ProfilePage.h"

#include "model/BuildInfo.h"
#include "platform/desktop/UrlOpener.h"
#include "settings/SettingsLogo.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QFont linkFont()
{
    return OrlixFonts::system(13, QFont::Bold);
}

} // namespace

SettingsLink::SettingsLink(const QString &text, const QUrl &url, UrlOpener &opener, QWidget *parent)
    : QAbstractButton(parent)
    , m_url(url)
    , m_opener(opener)
{
    setText(text);
    setFont(linkFont());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(url.toString());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (isOpenable(m_url))
            m_opener.openUrl(m_url);
    });
    repaintOnStyleChange(this);
}

bool SettingsLink::isOpenable(const QUrl &url)
{
    if (!url.isValid())
        return false;
    if (url.isLocalFile()) {
        // Only a document to read: never a program or a launcher.
        const QFileInfo file(url.toLocalFile());
        return file.isFile() && file.suffix() == u"md";
    }
    return url.scheme() == u"https" && !url.host().isEmpty();
}

QSize SettingsLink::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.horizontalAdvance(text()))) + 1, int(std::ceil(metrics.height()))};
}

void SettingsLink::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    // The accent is made for fills; as text it is kept readable.
    QColor color = OrlixStyle::current().readable(themeAccentColor());
    if (isDown())
        color.setAlphaF(color.alphaF() * 0.7f);
    painter.setPen(color);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
    if (hasFocus() || underMouse()) {
        const QFontMetricsF metrics(font());
        const qreal y = (height() + metrics.ascent() - metrics.descent()) / 2 + 1.5;
        painter.drawLine(QPointF(0, y), QPointF(width(), y));
    }
}

QString SettingsProfilePage::documentationName()
{
    return tr("Kolu's documentation (README)");
}

QUrl SettingsProfilePage::documentationAddress(const QString &programFolder)
{
    const QStringList candidates{programFolder + u"/../share/doc/kolu/README.md"_s, programFolder + u"/README.md"_s};
    for (const QString &path : candidates) {
        const QFileInfo file(path);
        if (file.isFile())
            return QUrl::fromLocalFile(file.canonicalFilePath());
    }
    return {};
}

SettingsProfilePage::SettingsProfilePage(SettingsView &view, QWidget *parent)
    : SettingsPageWidget(parent)
{
    setObjectName(u"settingsProfilePage"_s);
    fullWidth(this); // the page fills the content column
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(26);

    auto *identity = new SettingsInfoCard;
    auto *identityRow = new QWidget;
    auto *row = new QHBoxLayout(identityRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(16);
    auto *logo = new OrlixSettingsLogo(62);
    logo->setFixedSize(62, 62);
    row->addWidget(logo, 0, Qt::AlignVCenter);
    auto *names = new QWidget;
    auto *nameColumn = new QVBoxLayout(names);
    nameColumn->setContentsMargins(0, 0, 0, 0);
    nameColumn->setSpacing(5);
    auto *product = settingsText(tr("Kolu App %1").arg(QString::fromUtf8(buildinfo::kDisplayVersion)),
                                 OrlixFonts::system(18, QFont::Bold), PaletteRole::text, 1);
    product->setObjectName(u"profileProductLine"_s);
    nameColumn->addWidget(product);
    nameColumn->addWidget(settingsText(tr("Designed and built by the Kolu contributors"),
                                       OrlixFonts::system(13, QFont::DemiBold), PaletteRole::secondaryText, 0));
    nameColumn->addWidget(settingsText(tr("Published by the Kolu project"), OrlixFonts::system(12, QFont::DemiBold),
                                       PaletteRole::mutedText, 0));
    row->addWidget(names, 1, Qt::AlignVCenter);
    identity->contentLayout()->addWidget(fullWidth(identityRow));
    page->addWidget(identity);

    auto *about = new SettingsInfoCard;
    auto *aboutContent = new QWidget;
    auto *stack = new QVBoxLayout(aboutContent);
    stack->setContentsMargins(0, 8, 0, 8);
    stack->setSpacing(14);
    stack->addWidget(settingsText(tr("A little space. A better workflow."), OrlixFonts::system(15, QFont::Bold),
                                  PaletteRole::text, 0));
    stack->addWidget(settingsText(
        tr("Kolu is a lightweight Linux desktop companion designed to keep your essentials just a gesture away. "
           "From daily tasks and reminders to music, notes, and productivity tools \u2014 everything stays within "
           "reach, without getting in your way."),
        OrlixFonts::system(13, QFont::DemiBold), PaletteRole::secondaryText, 0));
    stack->addWidget(settingsText(tr("Thoughtfully designed to keep things simple."),
                                  OrlixFonts::system(14, QFont::Bold), PaletteRole::text, 0));
    auto *legal = settingsText(tr("\u00A9 2026 the Kolu contributors. Free software, shared under its licence."),
                               OrlixFonts::system(11, QFont::DemiBold), PaletteRole::mutedText, 0);
    stack->addSpacing(2);
    stack->addWidget(legal);
    auto *more = new QWidget;
    auto *moreColumn = new QVBoxLayout(more);
    moreColumn->setContentsMargins(0, 4, 0, 0);
    moreColumn->setSpacing(4);
    moreColumn->addWidget(
        settingsText(tr("For More Info Read"), OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 1));
    const QUrl documentation = documentationAddress(QCoreApplication::applicationDirPath());
    auto *link = new SettingsLink(documentationName(), documentation, view.state().urlOpener());
    link->setObjectName(u"profileSiteLink"_s);
    moreColumn->addWidget(link, 0, Qt::AlignLeft);
    // Without its documentation beside it, Kolu offers no link at all.
    more->setVisible(!documentation.isEmpty());
    stack->addWidget(more);
    about->contentLayout()->addWidget(fullWidth(aboutContent));
    page->addWidget(new SettingsGroup(tr("About"), about));
}

} // namespace kolu
