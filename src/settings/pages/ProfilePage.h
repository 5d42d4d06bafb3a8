#pragma once

#include "settings/SettingsKit.h"

#include <QAbstractButton>
#include <QUrl>
#include <QWidget>

namespace kolu {

class SettingsView;
class UrlOpener;

// A link in the theme's accent: clicking it hands a secure (https) address,
// or a Markdown document on this computer, to the opener; any other address
// is refused and nothing opens.
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

    // The name of the link to Kolu's own documentation.
    static QString documentationName();
    // The README that ships with Kolu: the one `cmake --install` put beside
    // the program (`<prefix>/share/doc/kolu/README.md` for `<prefix>/bin`),
    // else, run from the build, the copy the build put next to it; empty
    // when neither is there.
    static QUrl documentationAddress(const QString &programFolder);
};

} // namespace kolu
