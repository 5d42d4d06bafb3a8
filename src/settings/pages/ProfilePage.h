#pragma once

#include "settings/pages/PageKit.h"

#include <QAbstractButton>
#include <QUrl>
#include <QWidget>

namespace kolu {

class SettingsView;
class UrlOpener;

// A link in the theme's accent: clicking it hands a secure (https) address
// to the opener; any other address is refused and nothing opens.
class SettingsLink : public QAbstractButton {
    Q_OBJECT
public:
    SettingsLink(const QString &text, const QUrl &url, UrlOpener &opener, QWidget *parent = nullptr);
    const QUrl &url() const { return m_url; }
    // Whether the address may be opened from here.
    static bool isOpenable(const QUrl &url);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QUrl m_url;
    UrlOpener &m_opener;
};

// The Profile page: the logo and credits, then the "About" card.
class SettingsProfilePage : public SettingsPageWidget {
    Q_OBJECT
public:
    SettingsProfilePage(SettingsView &view, QWidget *parent = nullptr);

    static QString siteName();
    static QUrl siteAddress();
};

} // namespace kolu
