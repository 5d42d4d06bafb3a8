#pragma once

#include "state/AppState.h"
#include "style/widgets/ModuleCard.h"

class QVariantAnimation;

namespace kolu {

class EmptyState;
class FavoriteLinkGrid;
class LinkComposerButton;
class LinkComposerInvitation;
class LinkSearchButton;
class MenuPicker;
class OrlixTextField;

// The links module: a web search with a choice of search site, a composer
// that opens from a one-line invitation into "Site name" and "URL", and the
// newest favourites as a grid of tiles. The saved links and the search sites
// belong to the state; the card keeps only what is being typed.
class LinksCard : public ModuleCard {
    Q_OBJECT
public:
    explicit LinksCard(AppState &state, QWidget *parent = nullptr);

    enum class ComposerField { title, url };

    bool isComposing() const { return m_composing; }
    bool canSave() const;

    // The composer button: opens the form, saves a ready one, or moves the
    // focus to the field that still needs text.
    void composerAction();
    // Opens the form; the focus goes to "Site name" on the next turn.
    void beginComposing();
    // Runs the web search with the query as typed.
    void search();

private:
    void addLink();
    void submitURL();
    void focusField(ComposerField field);
    void setComposing(bool composing);
    void onStateChanged(AppState::Field field);
    void updateProviders();
    void updateSearchButton();
    void updateComposerButton();
    void updateFavorites();
    void fadeComposerIn();

    AppState &m_state;
    OrlixTextField *m_query;
    MenuPicker *m_providers;
    LinkSearchButton *m_searchButton;
    QWidget *m_composerFields;
    LinkComposerInvitation *m_invitation;
    OrlixTextField *m_title;
    OrlixTextField *m_url;
    LinkComposerButton *m_composerButton;
    EmptyState *m_empty;
    FavoriteLinkGrid *m_grid;
    QVariantAnimation *m_fade = nullptr;
    bool m_composing = false;
};

} // namespace kolu
