#pragma once

#include "model/Models.h"

#include <QAbstractButton>
#include <QWidget>

namespace kolu {

class ElidedLabel;
class OrlixButton;
class OrlixTextField;
struct SettingsFormEntries;
class SettingsView;

// One search site: its check mark and name; a click selects it. Sites the
// user added carry a remove button.
class WebSearchSiteRow : public QAbstractButton {
    Q_OBJECT
public:
    WebSearchSiteRow(const WebSearchProvider &provider, bool selected, QWidget *parent = nullptr);
    const QString &providerID() const { return m_id; }
    bool isSelectedSite() const { return m_selected; }
    QSize sizeHint() const override;

Q_SIGNALS:
    void removeRequested();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_id;
    QString m_title;
    bool m_selected;
};

// The search sites the links card searches with: which one is chosen, the
// sites the user added (removable), and a form to add one from a name and an
// address holding "{query}". The form's texts live in the window's entries,
// so they survive a page change.
class WebSearchSection : public QWidget {
    Q_OBJECT
public:
    explicit WebSearchSection(SettingsView &view, QWidget *parent = nullptr);

    // Whether a site can be added from these texts: a name that is not blank
    // and a template holding "{query}" exactly.
    static bool canAddSearchProvider(const QString &title, const QString &searchURLTemplate);

private:
    // Lists the sites again and names the chosen one.
    void sync();
    void updateAddEnabled();
    void addSite();

    SettingsView &m_view;
    SettingsFormEntries &m_entries;
    ElidedLabel *m_selectedTitle;
    QWidget *m_rows;
    OrlixTextField *m_name;
    OrlixTextField *m_template;
    OrlixButton *m_add;
};

} // namespace kolu
