#include "settings/pages/WebSearchSection.h"

#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/RailIconButton.h"
#include "style/widgets/StyledWidget.h"
#include "style/widgets/SymbolLabel.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kRowHeight = 26;
constexpr int kSymbolSide = 18;

} // namespace

WebSearchSiteRow::WebSearchSiteRow(const WebSearchProvider &provider, bool selected, QWidget *parent)
    : QAbstractButton(parent)
    , m_id(provider.id)
    , m_title(provider.title)
    , m_selected(selected)
{
    setObjectName(u"webSearchSiteRow"_s);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(provider.title);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(kRowHeight);
    repaintOnStyleChange(this);
    if (!provider.isBuiltIn) {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addStretch(1);
        auto *remove = new RailIconButton(u"trash"_s, tr("Remove search site"), this);
        remove->setObjectName(u"webSearchRemoveButton"_s);
        remove->setSymbolSize(12);
        remove->setFixedSize(26, 26);
        layout->addWidget(remove);
        connect(remove, &RailIconButton::clicked, this, &WebSearchSiteRow::removeRequested);
    }
}

QSize WebSearchSiteRow::sizeHint() const
{
    const QFontMetricsF metrics(OrlixFonts::system(12, QFont::DemiBold));
    return {static_cast<int>(kSymbolSide + 8 + metrics.horizontalAdvance(m_title) + 34), kRowHeight};
}

void WebSearchSiteRow::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF symbol(0, (height() - kSymbolSide) / 2.0, kSymbolSide, kSymbolSide);
    IconProvider::paint(painter, symbol, m_selected ? u"checkmark.circle.fill"_s : u"circle"_s, 12,
                        style.symbolInk(m_selected ? style.tint(RailModule::links) : style.secondaryText()),
                        IconWeight::bold);
    const QFont font = OrlixFonts::system(12, QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(style.text());
    const qreal left = kSymbolSide + 8;
    const QRectF text(left, 0, width() - left - 34, height());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(font).elidedText(m_title, Qt::ElideRight, text.width()));
}

bool WebSearchSection::canAddSearchProvider(const QString &title, const QString &searchURLTemplate)
{
    return !title.trimmed().isEmpty() && searchURLTemplate.contains(u"{query}"_s, Qt::CaseSensitive);
}

WebSearchSection::WebSearchSection(SettingsView &view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
    , m_entries(view.formEntries())
{
    setObjectName(u"webSearchSection"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    auto *header = new QHBoxLayout;
    header->addWidget(new SymbolLabel(tr("Web Search"), u"magnifyingglass"_s, OrlixFonts::system(12, QFont::Bold)));
    header->addStretch(1);
    m_selectedTitle = settingsText({}, OrlixFonts::system(11, QFont::Bold), PaletteRole::secondaryText, 1);
    m_selectedTitle->setObjectName(u"webSearchSelectedTitle"_s);
    m_selectedTitle->setAlignment(Qt::AlignRight);
    header->addWidget(m_selectedTitle);
    layout->addLayout(header);

    m_rows = new QWidget(this);
    m_rows->setObjectName(u"webSearchSiteList"_s);
    auto *rowsLayout = new QVBoxLayout(m_rows);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->setSpacing(6);
    layout->addWidget(m_rows);

    auto *form = new QHBoxLayout;
    form->setSpacing(8);
    m_name = new OrlixTextField;
    m_name->setObjectName(u"webSearchNameField"_s);
    m_name->setPlaceholderText(tr("Site name"));
    m_name->setText(m_entries.newSearchProviderTitle);
    m_template = new OrlixTextField;
    m_template->setObjectName(u"webSearchTemplateField"_s);
    m_template->setPlaceholderText(tr("Search URL with {query}"));
    m_template->setText(m_entries.newSearchProviderTemplate);
    m_add = new OrlixButton(OrlixButton::Kind::secondary, {});
    m_add->setObjectName(u"webSearchAddButton"_s);
    m_add->setSymbol(u"plus"_s);
    m_add->setToolTip(tr("Add search site"));
    m_add->setAccessibleName(tr("Add search site"));
    m_add->setFixedSize(32, 32);
    form->addWidget(m_name, 2);
    form->addWidget(m_template, 3);
    form->addWidget(m_add);
    layout->addLayout(form);

    connect(m_name, &OrlixTextField::textChanged, this, [this](const QString &text) {
        m_entries.newSearchProviderTitle = text;
        updateAddEnabled();
    });
    connect(m_template, &OrlixTextField::textChanged, this, [this](const QString &text) {
        m_entries.newSearchProviderTemplate = text;
        updateAddEnabled();
    });
    connect(m_add, &OrlixButton::clicked, this, &WebSearchSection::addSite);

    updateAddEnabled();
    connect(&view.state(), &AppState::changed, this, [this](AppState::Field field) {
        switch (field) {
        case AppState::Field::webSearchProviders:
        case AppState::Field::selectedWebSearchProviderID: sync(); break;
        default: break;
        }
    });
    sync();
}

void WebSearchSection::sync()
{
    AppState &state = m_view.state();
    auto *rowsLayout = static_cast<QVBoxLayout *>(m_rows->layout());
    while (QLayoutItem *item = rowsLayout->takeAt(0)) {
        if (QWidget *widget = item->widget()) {
            // A row may be the one whose click got here: it goes once the
            // click is over.
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        }
        delete item;
    }
    const QString &selected = state.selectedWebSearchProviderID();
    for (const WebSearchProvider &provider : state.webSearchProviders()) {
        auto *row = new WebSearchSiteRow(provider, provider.id == selected, m_rows);
        const QString id = provider.id;
        connect(row, &WebSearchSiteRow::clicked, this, [&state, id] { state.setSelectedWebSearchProviderID(id); });
        connect(row, &WebSearchSiteRow::removeRequested, this,
                [&state, provider] { state.deleteWebSearchProvider(provider); });
        rowsLayout->addWidget(row);
    }
    m_selectedTitle->setText(state.selectedWebSearchProvider().title);
}

void WebSearchSection::updateAddEnabled()
{
    m_add->setEnabled(canAddSearchProvider(m_name->text(), m_template->text()));
}

void WebSearchSection::addSite()
{
    if (!canAddSearchProvider(m_name->text(), m_template->text()))
        return;
    const QString title = m_name->text();
    const QString searchTemplate = m_template->text();
    m_view.state().addWebSearchProvider(title, searchTemplate);
    // Cleared whether or not the site was taken.
    m_name->clear();
    m_template->clear();
}

} // namespace kolu
