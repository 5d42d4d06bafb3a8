#include "cards/links/LinksCard.h"

#include "cards/links/FavoriteLinkTile.h"
#include "cards/links/LinkCardRules.h"
#include "cards/links/LinkControls.h"
#include "style/Motion.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/MenuPicker.h"
#include "style/widgets/OrlixTextField.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QMenu>
#include <QVariantAnimation>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

LinksCard::LinksCard(AppState &state, QWidget *parent)
    : ModuleCard(tr("Favorites Links"), u"star"_s, parent)
    , m_state(state)
{
    setObjectName(u"linksCard"_s);

    // Web search: the query, then the search site and the search button.
    auto *search = new QWidget(this);
    search->setObjectName(u"linkSearchBar"_s);
    auto *searchColumn = new QVBoxLayout(search);
    searchColumn->setContentsMargins(0, 0, 0, 0);
    searchColumn->setSpacing(10);
    m_query = new OrlixTextField(search);
    m_query->setObjectName(u"linkSearchField"_s);
    m_query->setPlaceholderText(tr("Web search"));
    searchColumn->addWidget(m_query);
    auto *searchRow = new QHBoxLayout;
    searchRow->setSpacing(10);
    m_providers = new MenuPicker({}, search);
    m_providers->setObjectName(u"linkSearchProviderPicker"_s);
    m_providers->menu()->setObjectName(u"linkSearchProviderMenu"_s);
    m_providers->setAccessibleName(tr("Search site"));
    m_providers->setFixedSize(118, 36);
    searchRow->addWidget(m_providers, 0, Qt::AlignVCenter);
    m_searchButton = new LinkSearchButton(search);
    searchRow->addWidget(m_searchButton, 1, Qt::AlignVCenter);
    searchColumn->addLayout(searchRow);
    addContent(search);
    connect(m_query, &QLineEdit::returnPressed, this, &LinksCard::search);
    connect(m_query, &QLineEdit::textChanged, this, &LinksCard::updateSearchButton);
    connect(m_searchButton, &QAbstractButton::clicked, this, &LinksCard::search);
    connect(m_providers, &MenuPicker::activated, this, [this](int index) {
        const auto &providers = m_state.webSearchProviders();
        if (index >= 0 && std::size_t(index) < providers.size())
            m_state.setSelectedWebSearchProviderID(providers[std::size_t(index)].id);
    });

    // The composer: the invitation, or the two fields, beside its button.
    auto *composer = new QWidget(this);
    composer->setObjectName(u"linkComposer"_s);
    auto *composerRow = new QHBoxLayout(composer);
    composerRow->setContentsMargins(0, 0, 0, 0);
    composerRow->setSpacing(8);
    m_composerFields = new QWidget(composer);
    auto *fields = new QVBoxLayout(m_composerFields);
    fields->setContentsMargins(0, 0, 0, 0);
    fields->setSpacing(8);
    m_invitation = new LinkComposerInvitation(m_composerFields);
    fields->addWidget(m_invitation);
    m_title = new OrlixTextField(m_composerFields);
    m_title->setObjectName(u"linkTitleField"_s);
    m_title->setPlaceholderText(tr("Site name"));
    m_title->hide();
    fields->addWidget(m_title);
    m_url = new OrlixTextField(m_composerFields);
    m_url->setObjectName(u"linkUrlField"_s);
    m_url->setPlaceholderText(tr("URL"));
    m_url->hide();
    fields->addWidget(m_url);
    composerRow->addWidget(m_composerFields, 1, Qt::AlignVCenter);
    m_composerButton = new LinkComposerButton(composer);
    m_composerButton->setToolTip(tr("Add link"));
    composerRow->addWidget(m_composerButton, 0, Qt::AlignVCenter);
    addContent(composer);
    connect(m_invitation, &QAbstractButton::clicked, this, &LinksCard::beginComposing);
    connect(m_composerButton, &QAbstractButton::clicked, this, &LinksCard::composerAction);
    connect(m_url, &QLineEdit::returnPressed, this, &LinksCard::submitURL);
    connect(m_url, &QLineEdit::textChanged, this, &LinksCard::updateComposerButton);

    // The favourites, or what stands in for them.
    m_empty = new EmptyState(u"star"_s, tr("No favorite links"), tr("Add websites you open often."), this);
    m_empty->setObjectName(u"linkEmptyState"_s);
    addContent(m_empty);
    m_grid = new FavoriteLinkGrid(m_state, this);
    addContent(m_grid);

    connect(&m_state, &AppState::changed, this, &LinksCard::onStateChanged);
    updateProviders();
    updateSearchButton();
    updateComposerButton();
    updateFavorites();
}

bool LinksCard::canSave() const
{
    return linkcard::canSave(m_url->text());
}

void LinksCard::search()
{
    // The state trims the query and ignores a blank one; the text stays.
    m_state.openWebSearch(m_query->text());
}

void LinksCard::beginComposing()
{
    setComposing(true);
    // The fields take the focus once they are shown and laid out.
    QMetaObject::invokeMethod(
        this, [this] { focusField(ComposerField::title); }, Qt::QueuedConnection);
}

void LinksCard::composerAction()
{
    if (!m_composing) {
        beginComposing();
    } else if (canSave()) {
        addLink();
    } else {
        focusField(m_title->text().trimmed().isEmpty() ? ComposerField::title : ComposerField::url);
    }
}

void LinksCard::submitURL()
{
    if (canSave())
        addLink();
    else
        focusField(ComposerField::url);
}

void LinksCard::addLink()
{
    const QString url = m_url->text().trimmed();
    if (url.isEmpty())
        return;
    // The title goes as typed: the state names an untitled link by its host.
    m_state.addLink(m_title->text(), url);
    m_title->clearFocus();
    m_url->clearFocus();
    m_title->clear();
    m_url->clear();
    setComposing(false);
}

void LinksCard::focusField(ComposerField field)
{
    if (!m_composing)
        return;
    (field == ComposerField::title ? m_title : m_url)->setFocus(Qt::OtherFocusReason);
}

void LinksCard::setComposing(bool composing)
{
    if (composing == m_composing)
        return;
    m_composing = composing;
    m_invitation->setVisible(!composing);
    m_title->setVisible(composing);
    m_url->setVisible(composing);
    m_composerButton->setToolTip(composing ? tr("Save link") : tr("Add link"));
    updateComposerButton();
    fadeComposerIn();
}

void LinksCard::fadeComposerIn()
{
    // The new face of the composer fades in; the animation lives while it runs.
    delete m_fade;
    m_fade = nullptr;
    m_composerFields->setGraphicsEffect(nullptr);
    if (!isVisible())
        return;
    auto *effect = new QGraphicsOpacityEffect(m_composerFields);
    effect->setOpacity(0);
    m_composerFields->setGraphicsEffect(effect);
    m_fade = new QVariantAnimation(this);
    m_fade->setDuration(OrlixMotion::smooth().durationMs);
    m_fade->setEasingCurve(OrlixMotion::smooth().curve);
    m_fade->setStartValue(0.0);
    m_fade->setEndValue(1.0);
    connect(m_fade, &QVariantAnimation::valueChanged, effect,
            [effect](const QVariant &value) { effect->setOpacity(std::min(1.0, value.toDouble())); });
    connect(m_fade, &QVariantAnimation::finished, this, [this] {
        m_composerFields->setGraphicsEffect(nullptr);
        m_fade->deleteLater();
        m_fade = nullptr;
    });
    m_fade->start();
}

void LinksCard::onStateChanged(AppState::Field field)
{
    switch (field) {
    case AppState::Field::links:
    case AppState::Field::savedLinksUnreadable: updateFavorites(); break;
    case AppState::Field::webSearchProviders:
    case AppState::Field::selectedWebSearchProviderID: updateProviders(); break;
    default: break;
    }
}

void LinksCard::updateProviders()
{
    QStringList titles;
    int current = -1;
    const auto &providers = m_state.webSearchProviders();
    const QString selected = m_state.selectedWebSearchProvider().id;
    for (std::size_t i = 0; i < providers.size(); ++i) {
        titles << providers[i].title;
        if (current < 0 && providers[i].id == selected)
            current = int(i);
    }
    if (titles != m_providers->items())
        m_providers->setItems(titles);
    m_providers->setCurrentIndex(current);
}

void LinksCard::updateSearchButton()
{
    m_searchButton->setEnabled(!m_query->text().trimmed().isEmpty());
}

void LinksCard::updateComposerButton()
{
    m_composerButton->setReady(m_composing && canSave());
}

void LinksCard::updateFavorites()
{
    const auto links = linkcard::visibleLinks(m_state.links());
    // A saved list that could not be read is no deleted one: the card says
    // so until the list changes.
    m_empty->setContent(u"star"_s, tr("No favorite links"),
                        m_state.savedLinksUnreadable() ? tr("Saved links could not be read and were kept aside.")
                                                       : tr("Add websites you open often."));
    m_empty->setVisible(links.empty());
    m_grid->setVisible(!links.empty());
    m_grid->setLinks(links);
}

} // namespace kolu
