#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "settings/pages/LocalDataPage.h"
#include "settings/pages/WebSearchSection.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/RailIconButton.h"
#include "style/widgets/SegmentedPicker.h"

#include "../SettingsFixture.h"
#include "TestFiles.h"

#include <QFile>
#include <QTest>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

class LocalDataPageTest : public SettingsTest {
protected:
    SettingsView view{*state, updates};
    SettingsFormEntries &entries = view.formEntries();

    static QString detail(const LocalDataPage &page, const QString &row)
    {
        return page.findChild<SettingsRow *>(row)->detailLabel()->text();
    }
    static QList<WebSearchSiteRow *> siteRows(const LocalDataPage &page)
    {
        return page.findChildren<WebSearchSiteRow *>();
    }
};

TEST_F(LocalDataPageTest, CountsAndTheClearTrayButtonFollowTheState)
{
    LocalDataPage page(view);
    page.show();
    auto *clear = page.findChild<OrlixButton *>(u"localDataClearTray"_s);
    EXPECT_FALSE(clear->isEnabled());
    EXPECT_EQ(detail(page, u"localDataTrayRow"_s), u"0 held files. References original files without moving them."_s);

    state->setLinks({SavedLink{QUuid::createUuid(), u"Example"_s, u"https://example.com"_s, clock.now()}});
    EXPECT_EQ(detail(page, u"localDataLinksRow"_s), u"1 link, 0 captured copies"_s);

    const QString held = home.path(u"held.txt"_s);
    ASSERT_TRUE(writeFile(held));
    ASSERT_TRUE(writeFile(home.path(u"other.txt"_s)));
    state->addFileTrayURLs({QUrl::fromLocalFile(held), QUrl::fromLocalFile(home.path(u"other.txt"_s))});
    ASSERT_FALSE(state->fileTrayItems().empty());
    for (const FileTrayItem &item : state->fileTrayItems())
        state->toggleFileTraySelection(item);
    EXPECT_TRUE(clear->isEnabled());
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_TRUE(state->fileTrayItems().empty());
    EXPECT_TRUE(state->selectedFileTrayIDs().empty());
    EXPECT_TRUE(QFile::exists(held)) << "clearing the tray deletes no file";
    EXPECT_FALSE(clear->isEnabled());
    state->addFileTrayURLs({QUrl::fromLocalFile(held)});
    EXPECT_EQ(detail(page, u"localDataTrayRow"_s), u"1 held file. References original files without moving them."_s);
}

TEST_F(LocalDataPageTest, ChoosingASmallerHistoryTrimsAtOnce)
{
    std::vector<ClipboardItem> items;
    const QString folder = state->store().subdirectory(u"Clipboard"_s);
    for (int i = 0; i < 25; ++i) {
        const QString path = folder + u"/image-%1.png"_s.arg(i);
        ASSERT_TRUE(writeFile(path, "png"));
        items.push_back({QUuid::createUuid(), ClipboardItemKind::image, path, path, clock.now(), std::nullopt, path});
    }
    state->setClipboardItems(items);
    LocalDataPage page(view);
    page.show();
    // Which entries and files go is the state's rule, tested there.
    auto *picker = page.findChild<SegmentedPicker *>(u"clipboardHistoryPicker"_s);
    EXPECT_EQ(picker->currentIndex(), 3);
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(0).center().toPoint());
    EXPECT_EQ(state->clipboardHistoryLimit(), 10);
    EXPECT_EQ(state->clipboardItems().size(), 10u);
    EXPECT_EQ(detail(page, u"localDataLinksRow"_s), u"0 links, 10 captured copies"_s);
}

TEST_F(LocalDataPageTest, TheAddButtonNeedsANameAndTheQueryPlaceholder)
{
    struct Case {
        QString name;
        QString searchTemplate;
        bool enabled;
    };
    const Case cases[] = {
        {u""_s, u"https://s.example/?q={query}"_s, false},        {u"   "_s, u"https://s.example/?q={query}"_s, false},
        {u"Example"_s, u"https://s.example/?q={QUERY}"_s, false}, {u"Example"_s, u"https://s.example/"_s, false},
        {u"Example"_s, u"https://s.example/?q={query}"_s, true},
    };
    LocalDataPage page(view);
    page.show();
    auto *name = page.findChild<OrlixTextField *>(u"webSearchNameField"_s);
    auto *searchTemplate = page.findChild<OrlixTextField *>(u"webSearchTemplateField"_s);
    auto *add = page.findChild<OrlixButton *>(u"webSearchAddButton"_s);
    for (const Case &c : cases) {
        name->setText(c.name);
        searchTemplate->setText(c.searchTemplate);
        EXPECT_EQ(add->isEnabled(), c.enabled) << c.name.toStdString() << " " << c.searchTemplate.toStdString();
    }
    EXPECT_EQ(entries.newSearchProviderTitle, u"Example"_s) << "the form's texts live in the window";
}

TEST_F(LocalDataPageTest, AnAddedSiteIsLastCheckedAndRemovable)
{
    LocalDataPage page(view);
    page.show();
    const qsizetype builtIn = siteRows(page).size();
    ASSERT_GT(builtIn, 0);
    for (WebSearchSiteRow *row : siteRows(page))
        EXPECT_EQ(row->findChild<RailIconButton *>(u"webSearchRemoveButton"_s), nullptr) << "built-in sites stay";
    const QString defaultID = state->selectedWebSearchProviderID();

    page.findChild<OrlixTextField *>(u"webSearchNameField"_s)->setText(u"Example"_s);
    page.findChild<OrlixTextField *>(u"webSearchTemplateField"_s)->setText(u"https://s.example/?q={query}"_s);
    QTest::mouseClick(page.findChild<OrlixButton *>(u"webSearchAddButton"_s), Qt::LeftButton);
    EXPECT_TRUE(page.findChild<OrlixTextField *>(u"webSearchNameField"_s)->text().isEmpty());

    QList<WebSearchSiteRow *> rows = siteRows(page);
    ASSERT_EQ(rows.size(), builtIn + 1);
    WebSearchSiteRow *added = rows.last();
    EXPECT_TRUE(added->isSelectedSite());
    EXPECT_EQ(page.findChild<ElidedLabel *>(u"webSearchSelectedTitle"_s)->text(), u"Example"_s);

    // A click on a row selects it; removing the selected site falls back.
    QTest::mouseClick(rows.first(), Qt::LeftButton, {}, QPoint(4, rows.first()->height() / 2));
    EXPECT_EQ(state->selectedWebSearchProviderID(), rows.first()->providerID());
    QTest::mouseClick(siteRows(page).last(), Qt::LeftButton, {}, QPoint(4, 10));
    EXPECT_EQ(state->selectedWebSearchProviderID(), siteRows(page).last()->providerID());
    QTest::mouseClick(siteRows(page).last()->findChild<RailIconButton *>(u"webSearchRemoveButton"_s), Qt::LeftButton);
    rows = siteRows(page);
    EXPECT_EQ(rows.size(), builtIn);
    EXPECT_EQ(state->selectedWebSearchProviderID(), defaultID);
    EXPECT_TRUE(rows.first()->isSelectedSite());
}

} // namespace

} // namespace kolu::test
