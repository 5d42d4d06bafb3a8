#include "AppStateFixture.h"

#include <QMimeData>

namespace {

class AppStateFileTrayTest : public test::AppStateActionsTest {
protected:
    std::unique_ptr<AppState> state = makeLoadedState();

    QUrl fileURL(const QString &relative) { return QUrl::fromLocalFile(makeFile(relative)); }

    QStringList names() const
    {
        QStringList result;
        for (const FileTrayItem &item : state->fileTrayItems())
            result.append(QFileInfo(item.url.toLocalFile()).fileName());
        return result;
    }

    test::Status share()
    {
        test::awaitTask(state->airDropFileTrayItems());
        return test::fileTrayStatus(*state);
    }

    static ProcessResult answer(const QByteArray &output, int exitCode = 0)
    {
        return {.started = true, .exitCode = exitCode, .standardOutput = output};
    }
};

} // namespace

TEST_F(AppStateFileTrayTest, DroppedFilesArriveNewestFirstOnceEachUpToTwentyFour)
{
    makeFile(u"dir/a.txt"_s);
    state->addFileTrayURLs({QUrl::fromLocalFile(home.path(u"a/../dir/a.txt"_s)), QUrl(u"https://example.com/c.txt"_s),
                            QUrl::fromLocalFile(home.path(u"gone.txt"_s)), fileURL(u"b.txt"_s)});
    EXPECT_EQ(names(), (QStringList{u"b.txt"_s, u"a.txt"_s}));
    EXPECT_EQ(state->fileTrayItems().back().url, QUrl::fromLocalFile(home.path(u"dir/a.txt"_s))) << "standardized";
    EXPECT_EQ(state->fileTrayItems().front().dateAdded, clock.now());
    const FileTrayItem held = state->fileTrayItems().back();
    state->toggleFileTraySelection(held);

    // Dropped again, in another spelling, even climbing above the root.
    state->addFileTrayURLs({QUrl::fromLocalFile(home.path(u"dir/./sub/../a.txt"_s))});
    state->addFileTrayURLs({QUrl(QString(u"file:///../.."_s + home.path(u"dir/a.txt"_s)))});
    EXPECT_EQ(names(), (QStringList{u"a.txt"_s, u"b.txt"_s}));
    EXPECT_TRUE(state->fileTrayItems().front().id != held.id && state->selectedFileTrayIDs().isEmpty());

    // A drop counts when it offers a file address, as an address or as text.
    QMimeData text, web, files, fileText;
    text.setText(u"just some words"_s);
    web.setUrls({QUrl(u"https://example.com"_s)});
    files.setUrls({fileURL(u"x.txt"_s), QUrl(u"https://example.com"_s)});
    fileText.setText(QString(QString::fromUtf8(fileURL(u"y.txt"_s).toEncoded()) + u"\n"_s));
    for (const auto &[drop, taken] :
         {std::pair(&text, false), std::pair(&web, false), std::pair(&files, true), std::pair(&fileText, true)})
        EXPECT_EQ(state->receiveFileTrayDrop(*drop), taken);
    EXPECT_EQ(names(), (QStringList{u"y.txt"_s, u"x.txt"_s, u"a.txt"_s, u"b.txt"_s}));

    QList<QUrl> urls;
    for (int i = 0; i < 30; ++i)
        urls.append(fileURL(u"f%1"_s.arg(i)));
    state->addFileTrayURLs(urls);
    ASSERT_EQ(state->fileTrayItems().size(), 24u);
    EXPECT_EQ(names().front() + names().back(), u"f29f6"_s);

    // A file given twice counts where it was given last; files gone by the
    // time of the drop are passed over, also at the end of a long list.
    urls = {fileURL(u"g0"_s), fileURL(u"g1"_s), fileURL(u"g0"_s)};
    for (int i = 0; i < 40; ++i)
        urls.append(QUrl::fromLocalFile(home.path(u"vanished-%1"_s.arg(i))));
    state->addFileTrayURLs(urls);
    EXPECT_EQ(names().mid(0, 4), (QStringList{u"g0"_s, u"g1"_s, u"f29"_s, u"f28"_s}));
    EXPECT_EQ(names().size(), 24);
}

TEST_F(AppStateFileTrayTest, ADragCarriesOnlyHeldFilesStillOnDisk)
{
    state->addFileTrayURLs({fileURL(u"c.txt"_s), fileURL(u"b.txt"_s), fileURL(u"a.txt"_s)});
    const std::vector<FileTrayItem> held = state->fileTrayItems(); // a, b, c
    state->toggleFileTraySelection(held[0]);
    state->toggleFileTraySelection(held[1]);
    ASSERT_TRUE(QFile::remove(held[1].url.toLocalFile()));
    EXPECT_EQ(state->fileTrayDragURLs(held[1]), QList<QUrl>{held[0].url}) << "the selection, less the gone file";
    EXPECT_EQ(state->fileTrayDragURLs(held[0]), QList<QUrl>{held[0].url});
    ASSERT_TRUE(QFile::rename(held[2].url.toLocalFile(), home.path(u"moved.txt"_s)));
    EXPECT_EQ(state->fileTrayDragURLs(held[2]), QList<QUrl>{}) << "a moved file alone gives nothing to drag";
    ASSERT_TRUE(QFile::remove(held[0].url.toLocalFile()));
    EXPECT_EQ(state->fileTrayDragURLs(held[0]), QList<QUrl>{});
}

TEST_F(AppStateFileTrayTest, SharingSendsEachFileToAReachableDeviceOrSaysWhyNot)
{
    const test::Status dropFirst{u"Drop files first"_s, StatusTint::orange};
    const test::Status unavailable{u"KDE Connect is not available"_s, StatusTint::orange};
    EXPECT_EQ(share(), dropFirst);
    state->addFileTrayURLs({fileURL(u"gone.txt"_s), fileURL(u"a.txt"_s), fileURL(u"b c.txt"_s)});
    const FileTrayItem selected = state->fileTrayItems().back();
    state->toggleFileTraySelection(selected);
    QFile::remove(selected.url.toLocalFile());
    EXPECT_EQ(share(), dropFirst) << "a selection whose files are gone does not fall back to the others";
    state->toggleFileTraySelection(selected);

    services.processes->setMissing({u"kdeconnect-cli"_s});
    EXPECT_EQ(share(), unavailable);
    services.processes->setMissing({});
    services.processes->respond(u"kdeconnect-cli"_s, answer("\n"));
    EXPECT_EQ(share(), unavailable) << "no paired device in reach";

    const qsizetype before = services.processes->runs().size();
    services.processes->setResponder([](const test::RecordedProcess &call) {
        return call.arguments.contains(u"--list-available"_s) ? answer("phone1\nphone2\n") : answer("");
    });
    EXPECT_EQ(share(), test::Status(u"Choose a nearby device in KDE Connect"_s, StatusTint::accent));
    const auto runs = services.processes->runs().mid(before);
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[1].arguments.mid(1, 1), QStringList{u"phone1"_s});
    EXPECT_EQ(runs[1].arguments.last(), home.path(u"b c.txt"_s));
    EXPECT_EQ(runs[2].arguments.last(), home.path(u"a.txt"_s));
    services.processes->setResponder([](const test::RecordedProcess &call) {
        return call.arguments.contains(u"--list-available"_s) ? answer("phone1\n") : answer("", 1);
    });
    EXPECT_EQ(share(), unavailable) << "a failed send is not reported as sent";
}
