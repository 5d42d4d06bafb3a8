#include "cards/tray/FileTrayCard.h"

#include "cards/tray/FileTrayDragSource.h"
#include "cards/tray/FileTrayDropZone.h"
#include "cards/tray/TrayIcons.h"
#include "cards/tray/TrayRows.h"
#include "cards/tray/TrayThumbnails.h"
#include "services/clipboard/ClipboardService.h"
#include "cards/tray/TrayRules.h"
#include "style/widgets/EmptyState.h"

#include "../CardTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLayout>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// Records each drag instead of running the system's.
class RecordingDragLauncher final : public DragLauncher {
public:
    QList<QList<QUrl>> drags;

    void startDrag(QWidget *, QMimeData *data, const QPixmap &, QPoint) override
    {
        drags.append(data->urls());
        delete data;
    }
};

class FileTrayCardTest : public test::CardTest<FileTrayCard> {
protected:
    RecordingDragLauncher launcher;
    DragLauncher *previousLauncher = nullptr;

    FileTrayCardTest() { cardSize = {282, 900}; }

    void SetUp() override
    {
        CardTest::SetUp();
        previousLauncher = DragLauncher::replace(&launcher);
    }
    void TearDown() override
    {
        CardTest::TearDown();
        DragLauncher::replace(previousLauncher);
    }
    bool idle() const override { return !thumbnails().isBusy(); }
    TrayThumbnails &thumbnails() const { return TrayThumbnails::of(*state); }

    // Holds file-00.txt, file-01.txt, ... in that order (the tray puts the
    // last given first, so they are given in reverse).
    QList<QUrl> holdFiles(int count)
    {
        QList<QUrl> urls;
        for (int i = 0; i < count; ++i)
            urls.append(QUrl::fromLocalFile(makeFile(u"file-%1.txt"_s.arg(i, 2, 10, QChar(u'0')))));
        state->addFileTrayURLs(QList<QUrl>(urls.rbegin(), urls.rend()));
        return urls;
    }

    ClipboardItem textEntry(int i)
    {
        return {QUuid::createUuid(),
                ClipboardItemKind::text,
                u"Copied %1"_s.arg(i),
                u"value %1"_s.arg(i),
                clock.now(),
                {},
                {}};
    }

    ClipboardItem imageEntry(const QString &path)
    {
        return {QUuid::createUuid(), ClipboardItemKind::image, u"Image"_s, path, clock.now(), {}, path};
    }

    // Sends a press, moves and a release to the first held row's drag layer,
    // in its own coordinates (fractions of a pixel included).
    void gesture(FileTrayDragSource *source, QList<QPointF> moves)
    {
        const QPointF start(20, 20);
        auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, source->mapToGlobal(at), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(source, &event);
        };
        send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        for (const QPointF &offset : moves)
            send(QEvent::MouseMove, start + offset, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, start + moves.last(), Qt::LeftButton, Qt::NoButton);
    }

    // Delivers a drag and drop at `point` of the card the way the window does:
    // to the innermost widget there that takes drops.
    struct DropResult {
        bool enterAccepted, dropAccepted;
        Qt::DropAction action;
        QWidget *target;
    };
    DropResult dropAt(QPoint point, const QMimeData &data, Qt::DropAction proposed)
    {
        QWidget *target = card->childAt(point);
        while (target && !target->acceptDrops())
            target = target->parentWidget();
        if (!target && card->acceptDrops())
            target = card.get();
        if (!target)
            return {false, false, Qt::IgnoreAction, nullptr};
        const QPoint local = target->mapFrom(card.get(), point);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(local, offered, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setDropAction(proposed);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(local), offered, &data, Qt::LeftButton, Qt::NoModifier);
        drop.setDropAction(proposed);
        QApplication::sendEvent(target, &drop);
        return {enter.isAccepted(), drop.isAccepted(), drop.dropAction(), target};
    }
};

TEST_F(FileTrayCardTest, CountsEnabledStatesAndEmptyStatesFollowTheState)
{
    makeCard();
    for (const auto &[held, subtitle] : {std::pair{0, "0 items"}, {1, "1 item"}, {2, "2 items"}, {0, "0 items"}}) {
        state->setFileTrayItems({});
        holdFiles(held);
        SCOPED_TRACE(held);
        EXPECT_EQ(text(u"fileTrayCount"_s), QString::fromLatin1(subtitle));
        EXPECT_EQ(find(u"fileTrayShareButton"_s)->isEnabled(), held > 0);
        EXPECT_EQ(find(u"fileTrayClearAllButton"_s)->isEnabled(), held > 0);
        EXPECT_EQ(find(u"fileTrayEmptyState"_s)->isVisible(), held == 0);
        EXPECT_EQ(card->fileRows().size(), std::size_t(held));
    }

    for (const int captured : {0, 9, 3}) {
        std::vector<ClipboardItem> items;
        for (int i = 0; i < captured; ++i)
            items.push_back(textEntry(i));
        state->setClipboardItems(items);
        SCOPED_TRACE(captured);
        EXPECT_EQ(text(u"clipboardCount"_s), u"%1 captured"_s.arg(captured));
        EXPECT_EQ(card->clipboardRows().size(), std::size_t(std::min(captured, 6)));
        EXPECT_EQ(find(u"clipboardEmptyState"_s)->isVisible(), captured == 0);
        EXPECT_EQ(find(u"clipboardClearButton"_s)->isEnabled(), captured > 0);
        if (captured > 0) {
            EXPECT_EQ(card->clipboardRows().front()->item(), items.front()); // newest first
        }
    }
}

TEST_F(FileTrayCardTest, FileDropsAnywhereOnTheCardAreTakenAsACopyAndTextIsRefused)
{
    makeCard();
    QApplication::processEvents();
    const QString first = makeFile(u"report.pdf"_s);
    const QString second = makeFile(u"photo.png"_s, test::pngBytes());
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});

    // A hovering drag shows on the drop zone until it leaves.
    FileTrayDropZone *zone = card->dropZone();
    const QString resting = zone->title();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(card.get(), &enter);
    EXPECT_TRUE(card->isDropTarget() && zone->isTargeted());
    EXPECT_NE(zone->title(), resting);
    QDragLeaveEvent leave;
    QApplication::sendEvent(card.get(), &leave);
    EXPECT_FALSE(card->isDropTarget());
    EXPECT_EQ(zone->title(), resting);

    // On the clipboard half, proposing a move as a file manager does.
    const QWidget *clipboard = find<QWidget>(u"clipboardEmptyState"_s);
    const QPoint onClipboard = clipboard->mapTo(card.get(), clipboard->rect().center());
    DropResult result = dropAt(onClipboard, files, Qt::MoveAction);
    EXPECT_EQ(result.target, card.get());
    EXPECT_TRUE(result.enterAccepted && result.dropAccepted);
    EXPECT_EQ(result.action, Qt::CopyAction);
    ASSERT_EQ(state->fileTrayItems().size(), 2u);
    EXPECT_EQ(state->fileTrayItems()[0].url.toLocalFile(), second);
    EXPECT_TRUE(QFile::exists(first) && QFile::exists(second));
    EXPECT_FALSE(card->isDropTarget());

    QMimeData textOnly;
    textOnly.setText(u"just some words"_s);
    result = dropAt(onClipboard, textOnly, Qt::CopyAction);
    EXPECT_FALSE(result.enterAccepted || result.dropAccepted);
    QMimeData web;
    web.setUrls({QUrl(u"https://example.org/page"_s)});
    EXPECT_FALSE(dropAt(onClipboard, web, Qt::CopyAction).dropAccepted);
    EXPECT_EQ(state->fileTrayItems().size(), 2u);
}

TEST_F(FileTrayCardTest, APressThatMovesThreePixelsInAStraightLineIsAClickAndFartherOneDragOfAtMostTwelve)
{
    makeCard();
    const QList<QUrl> urls = holdFiles(14);
    const FileTrayItem first = state->fileTrayItems()[0];
    const std::pair<QList<QPointF>, bool> presses[] = {
        {{QPointF(1.5, 0), QPointF(3.0, 0)}, false},
        {{QPointF(3.1, 0)}, true},
        {{QPointF(0, -3.1), QPointF(0, -10), QPointF(0, -30)}, true},
    };
    for (const auto &[moves, drags] : presses) {
        launcher.drags.clear();
        state->setSelectedFileTrayIDs({});
        gesture(card->fileRows().front()->dragSource(), moves);
        SCOPED_TRACE(moves.front().x());
        // A click toggles the selection; a drag starts once and is no click.
        EXPECT_EQ(launcher.drags.size(), drags ? 1 : 0);
        EXPECT_EQ(state->selectedFileTrayIDs().contains(first.id), !drags);
        if (drags) {
            EXPECT_EQ(launcher.drags.front(), QList<QUrl>{first.url}); // unselected: itself alone
        }
    }

    // All fourteen selected. Pressed among the first twelve: the first
    // twelve in list order; pressed as the fourteenth: the first eleven and itself.
    launcher.drags.clear();
    for (const FileTrayItem &item : state->fileTrayItems())
        state->toggleFileTraySelection(item);
    gesture(card->fileRows()[2]->dragSource(), {QPointF(8, 8)});
    gesture(card->fileRows()[13]->dragSource(), {QPointF(8, 8)});
    ASSERT_EQ(launcher.drags.size(), 2);
    EXPECT_EQ(launcher.drags[0], urls.first(12));
    EXPECT_EQ(launcher.drags[1], urls.first(11) + QList<QUrl>{urls[13]});
    EXPECT_EQ(state->selectedFileTrayIDs().size(), 14); // dragging changes no selection

    for (const auto &[to, drags] : {std::pair{QPointF(0, 0), false},
                                    {QPointF(3, 0), false},
                                    {QPointF(0, -3), false},
                                    {QPointF(3.1, 0), true},
                                    {QPointF(2.2, 2.2), true},
                                    {QPointF(0, -40), true}})
        EXPECT_EQ(tray::movedFarEnoughToDrag({10, 10}, QPointF(10, 10) + to), drags) << to.x() << "," << to.y();
}

TEST_F(FileTrayCardTest, ImageEntriesAboveTheByteLimitAreNeverRead)
{
    QByteArray bytes = test::pngBytes();
    bytes.append(QByteArray(20'971'520 - bytes.size(), '\0')); // past the picture's end: still a PNG
    const QString exact = makeFile(u"exact.png"_s, bytes);
    const QString over = makeFile(u"over.png"_s, bytes + '\0');
    state->setClipboardItems({imageEntry(over), imageEntry(exact)});
    const int before = thumbnails().decodesStarted();
    makeCard();

    ASSERT_EQ(card->clipboardRows().size(), 2u);
    ClipboardItemIcon *overIcon = card->clipboardRows()[0]->icon();
    ClipboardItemIcon *exactIcon = card->clipboardRows()[1]->icon();
    ASSERT_TRUE(test::waitUntil([&] { return exactIcon->look() == ClipboardItemIcon::Look::thumbnail; }));
    EXPECT_EQ(overIcon->look(), ClipboardItemIcon::Look::largeImagePlaceholder);
    EXPECT_EQ(thumbnails().decodesStarted(), before + 1); // the exact one alone
}

TEST_F(FileTrayCardTest, PicturesAreDecodedOnceAndAgainOnlyWhenTheFileChanges)
{
    const QString path = makeFile(u"shot.png"_s, test::pngBytes({300, 300}, Qt::blue));
    state->addFileTrayURLs({QUrl::fromLocalFile(path)});
    state->setClipboardItems({imageEntry(path)});
    const int before = thumbnails().decodesStarted();
    makeCard();
    auto *icon = find<FileTrayIcon>(u"fileTrayIcon"_s);
    ASSERT_TRUE(test::waitUntil([&] {
        return icon->look() == FileTrayIcon::Look::picture
               && card->clipboardRows().front()->icon()->look() == ClipboardItemIcon::Look::thumbnail;
    }));
    const int decodes = thumbnails().decodesStarted();
    EXPECT_LE(decodes - before, 2); // one per drawn size, never per paint
    for (int i = 0; i < 5; ++i) {
        card->repaint();
        holdFiles(1); // the rows are built again
        state->setClipboardItems({imageEntry(path)});
    }
    EXPECT_EQ(thumbnails().decodesStarted(), decodes);

    // The picture is kept scaled, not at its full size.
    const TrayThumbnails::Thumbnail kept = thumbnails().request(path, 92);
    ASSERT_EQ(kept.state, TrayThumbnails::State::ready);
    EXPECT_EQ(kept.image.size(), QSize(92, 92));

    ASSERT_TRUE(test::writeFile(path, test::pngBytes({200, 200}, Qt::green), QDateTime::currentDateTime().addSecs(60)));
    state->setClipboardItems({imageEntry(path)});
    EXPECT_GT(thumbnails().decodesStarted(), decodes);
}

TEST_F(FileTrayCardTest, DeletedFilesShowTheirPlaceholders)
{
    const QString held = makeFile(u"gone.png"_s, test::pngBytes());
    const QString notPicture = makeFile(u"fake.png"_s, "not a picture");
    state->addFileTrayURLs({QUrl::fromLocalFile(held), QUrl::fromLocalFile(notPicture)});
    ASSERT_TRUE(QFile::remove(held));
    state->setClipboardItems({imageEntry(home.path(u"Files/captured.png"_s))}); // never there
    makeCard();

    EXPECT_EQ(card->clipboardRows().front()->icon()->look(), ClipboardItemIcon::Look::kindIcon);
    const auto icons = card->findChildren<FileTrayIcon *>();
    ASSERT_EQ(icons.size(), 2);
    // The unreadable "picture" shows its type's icon once its decode failed.
    waitIdle();
    for (FileTrayIcon *fileIcon : icons) {
        const bool missing = fileIcon->path() == held;
        EXPECT_EQ(fileIcon->look(), missing ? FileTrayIcon::Look::missing : FileTrayIcon::Look::typeIcon);
    }
}

// A held file deleted or moved away while the card shows it: its row says
// so at once, and it is never dragged, alone or with the selection.
TEST_F(FileTrayCardTest, AHeldFileThatGoesAwaySaysItIsMissingAndIsNeverDragged)
{
    makeCard();
    const QList<QUrl> urls = holdFiles(3);
    ASSERT_EQ(card->fileRows().size(), 3u);
    for (FileTrayRow *row : card->fileRows())
        EXPECT_FALSE(row->isMissing());
    ASSERT_TRUE(QFile::remove(urls[0].toLocalFile()));
    ASSERT_TRUE(QFile::rename(urls[1].toLocalFile(), home.path(u"elsewhere.txt"_s)));
    ASSERT_TRUE(test::waitUntil([&] { return card->fileRows()[0]->isMissing() && card->fileRows()[1]->isMissing(); }));
    EXPECT_FALSE(card->fileRows()[2]->isMissing());

    launcher.drags.clear();
    gesture(card->fileRows()[0]->dragSource(), {QPointF(0, 20)});
    EXPECT_TRUE(launcher.drags.isEmpty());
    state->setSelectedFileTrayIDs({});
    for (const FileTrayItem &item : state->fileTrayItems())
        state->toggleFileTraySelection(item);
    gesture(card->fileRows()[1]->dragSource(), {QPointF(0, 20)});
    ASSERT_EQ(launcher.drags.size(), 1);
    EXPECT_EQ(launcher.drags.front(), QList<QUrl>{urls[2]});

    // Built again later, the rows know at once.
    card.reset();
    makeCard();
    ASSERT_EQ(card->fileRows().size(), 3u);
    EXPECT_TRUE(card->fileRows()[0]->isMissing() && card->fileRows()[1]->isMissing());
    EXPECT_FALSE(card->fileRows()[2]->isMissing());
}

// At the rail's standard width the drop zone's title and help line each fit
// on one line, and its panel spans exactly the Share button's width.
TEST_F(FileTrayCardTest, TheDropZoneTextsFitOnOneLineAndItsPanelLinesUpWithTheShareButton)
{
    makeCard();
    card->layout()->activate();
    FileTrayDropZone *zone = card->dropZone();
    const qreal column = zone->textColumnWidth();
    const QFontMetricsF title(FileTrayDropZone::titleFont());
    EXPECT_LE(title.horizontalAdvance(zone->title()), column) << zone->title().toStdString();
    zone->setTargeted(true);
    EXPECT_LE(title.horizontalAdvance(zone->title()), column) << zone->title().toStdString();
    zone->setTargeted(false);
    const QFont help = FileTrayDropZone::subtitleFont(column);
    EXPECT_LE(QFontMetricsF(help).horizontalAdvance(FileTrayDropZone::subtitle()), column);
    EXPECT_EQ(help.pixelSize(), 11);

    const auto inCard = [&](QWidget *w, const QRectF &r) { return r.translated(w->mapTo(card.get(), QPoint())); };
    QWidget *share = find(u"fileTrayShareButton"_s);
    QWidget *header = find(u"fileTrayHeader"_s);
    const QRectF panel = inCard(zone, zone->panelRect());
    const QRectF button = inCard(share, QRectF(share->rect()));
    EXPECT_EQ(panel.left(), button.left());
    EXPECT_EQ(panel.right(), button.right());
    EXPECT_EQ(inCard(header, QRectF(header->rect())).left(), button.left());
}

// The buttons reach the state; what they change the state's own tests cover.
TEST_F(FileTrayCardTest, RowButtonsRemoveDeleteAndOpenAndClearAllKeepsTheStatusLine)
{
    const ClipboardItem kept = textEntry(1);
    state->setClipboardItems({textEntry(0), kept});
    makeCard();
    holdFiles(3);
    const FileTrayItem middle = card->fileRows()[1]->item();
    QTest::mouseClick(card->fileRows()[0]->dragSource(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(card->fileRows()[0]->isSelected());
    QTest::mouseClick(card->fileRows()[1]->findChild<QAbstractButton *>(u"fileTrayRemoveButton"_s), Qt::LeftButton);
    ASSERT_EQ(state->fileTrayItems().size(), 2u);
    EXPECT_TRUE(state->fileTrayItems()[0].id != middle.id && state->fileTrayItems()[1].id != middle.id);
    EXPECT_EQ(state->selectedFileTrayIDs().size(), 1);

    // The newest entry's row comes first.
    click(u"clipboardDeleteButton"_s);
    EXPECT_EQ(state->clipboardItems(), std::vector<ClipboardItem>{kept});
    test::settle();
    ASSERT_EQ(card->findChildren<ClipboardRow *>().size(), 1);
    click(u"clipboardOpenButton"_s);
    EXPECT_EQ(services.pasteboard->text(), u"value 1"_s);

    // Clear All empties the items and the selection; the status line stays.
    state->setFileTrayAirDropStatus({u"Drop files first"_s, StatusTint::orange});
    click(u"fileTrayClearAllButton"_s);
    EXPECT_TRUE(state->fileTrayItems().empty());
    EXPECT_TRUE(state->selectedFileTrayIDs().isEmpty());
    EXPECT_TRUE(find(u"fileTrayStatus"_s)->isVisible());
    EXPECT_EQ(text(u"fileTrayStatus"_s), u"Drop files first"_s);
    test::settle();
    EXPECT_TRUE(card->findChildren<FileTrayRow *>().isEmpty());

    state->setFileTrayAirDropStatus({{}, state->fileTrayAirDropStatus().tint});
    EXPECT_FALSE(find(u"fileTrayStatus"_s)->isVisible());
}

// A state whose clipboard service looks in the test home's screenshot folder.
class FileTrayScreenshotTest : public FileTrayCardTest {
protected:
    AppServices makeServices() override
    {
        AppServices own = services.take();
        own.makeClipboardService = [this](const LocalStore &store) {
            return std::make_unique<ClipboardService>(*services.pasteboard, store.subdirectory(u"Clipboard"_s), clock,
                                                      QStringList{home.path(u"Pictures/Screenshots"_s)});
        };
        return own;
    }
};

TEST_F(FileTrayScreenshotTest, ShowingTheCardTakesAFreshScreenshot)
{
    ASSERT_TRUE(test::writeFile(home.path(u"Pictures/Screenshots/Screenshot one.png"_s), test::pngBytes(),
                                clock.now().addSecs(-5)));
    makeCard();
    ASSERT_TRUE(test::waitUntil([&] { return !state->clipboardItems().empty(); }));
    EXPECT_EQ(state->clipboardItems().front().kind, ClipboardItemKind::image);
    EXPECT_EQ(card->clipboardRows().size(), 1u);
}

TEST(TrayRules, PictureExtensions)
{
    for (const char *name : {"a.png", "a.PNG", "b.jpg", "c.JPEG", "d.heic", "e.gif", "f.tiff", "g.webp"})
        EXPECT_TRUE(tray::hasImageExtension(QString::fromLatin1(name))) << name;
    for (const char *name : {"a.pdf", "b.tif", "c", "d.png.txt", "e.svg"})
        EXPECT_FALSE(tray::hasImageExtension(QString::fromLatin1(name))) << name;
}

TEST_F(FileTrayCardTest, AHistoryFileThatCouldNotBeReadIsSaidUntilTheHistoryChanges)
{
    const QString file = state->files().pathOf<ClipboardItemsFile>();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly) && damaged.write("[{\"kind\": \"te") > 0);
    damaged.close();
    state->loadSavedState();
    makeCard();
    auto *empty = find<EmptyState>(u"clipboardEmptyState"_s);
    EXPECT_TRUE(empty->isVisible());
    EXPECT_EQ(empty->subtitleLabel()->text(), u"Saved copies could not be read and were kept aside."_s);

    state->setClipboardItems({textEntry(0)});
    state->setClipboardItems({});
    EXPECT_EQ(empty->subtitleLabel()->text(), u"Copied links, text, images, and files appear here."_s);
}

} // namespace
} // namespace kolu
