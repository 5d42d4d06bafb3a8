// The tray's file traffic for real, on an X server of the test's own: files
// dragged out of the card land in a second X client (the peer), and fifty
// files dragged in from it are held while the panel keeps answering. The
// pointer is driven with xdotool; every step waits on what the other side
// reports, within a bound. However a drag ends, the keyboard it held (so
// that Escape reaches it anywhere) is free again for other programs.
#include "cards/tray/FileTrayCard.h"

#include "cards/tray/FileTrayDragSource.h"
#include "cards/tray/FileTrayDropZone.h"
#include "cards/tray/TrayIcons.h"
#include "cards/tray/TrayRows.h"
#include "cards/tray/TrayThumbnails.h"

#include "../../CardTest.h"
#include "WorkersHeld.h"

#include <QDrag>
#include <QPointer>
#include <QScopeGuard>

#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

// Runs xdotool steps one after another, each once the previous one has
// ended and its condition holds. It is driven by a timer, so it goes on
// inside the event loop a running drag holds.
class PointerScript : public QObject {
public:
    struct Step {
        QStringList xdotool;
        std::function<bool()> then; // holds before the next step starts
    };

    explicit PointerScript(std::vector<Step> steps)
        : m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, &PointerScript::advance);
        m_timer.start(10);
    }
    bool finished() const { return m_index >= m_steps.size() && m_process.state() == QProcess::NotRunning; }
    std::size_t stepsDone() const { return m_index; }

private:
    void advance()
    {
        if (m_process.state() != QProcess::NotRunning)
            return;
        if (m_started && m_steps[m_index].then && !m_steps[m_index].then())
            return;
        if (m_started)
            ++m_index;
        m_started = false;
        if (m_index >= m_steps.size()) {
            m_timer.stop();
            return;
        }
        m_process.start(u"xdotool"_s, m_steps[m_index].xdotool);
        m_started = true;
    }

    std::vector<Step> m_steps;
    std::size_t m_index = 0;
    bool m_started = false;
    QProcess m_process;
    QTimer m_timer;
};

// Whether another X client can take the keyboard now, as a program given
// the focus may. Qt's own connection is made to catch up first, so that
// what it sent before (a grab let go) has reached the server.
bool anotherClientTakesTheKeyboard()
{
    xcb_connection_t *own = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    std::free(xcb_get_input_focus_reply(own, xcb_get_input_focus(own), nullptr));
    xcb_connection_t *other = xcb_connect(nullptr, nullptr);
    const auto closeOther = qScopeGuard([&] { xcb_disconnect(other); });
    if (xcb_connection_has_error(other)) {
        ADD_FAILURE() << "no second connection to the X server";
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    xcb_grab_keyboard_reply_t *reply = xcb_grab_keyboard_reply(
        other, xcb_grab_keyboard(other, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC), nullptr);
    const bool taken = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    if (taken) {
        xcb_ungrab_keyboard(other, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
    }
    return taken;
}

// Counts the drag moves a widget is sent.
class DragMoveCounter : public QObject {
public:
    int moves = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::DragMove)
            ++moves;
        return false;
    }
};

class FileTrayRealDragTest : public test::CardTest<FileTrayCard> {
protected:
    QProcess peer;
    QStringList lines;
    QRect peerFrame;
    DragMoveCounter dragMoves;

    void SetUp() override
    {
        if (QGuiApplication::platformName() != u"xcb"_s)
            GTEST_SKIP() << "needs an X server";
        CardTest::SetUp();
    }

    void TearDown() override
    {
        peer.kill();
        peer.waitForFinished(5000);
        card.reset();
        if (state) // not when skipped
            test::waitUntil([&] { return !TrayThumbnails::of(*state).isBusy(); });
    }

    void showCard()
    {
        makeCard();
        card->setGeometry(0, 0, 300, 720);
        card->installEventFilter(&dragMoves);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(card.get(), 20000));
    }

    void startPeer(const QStringList &arguments)
    {
        QObject::connect(&peer, &QProcess::readyReadStandardOutput, &peer, [this] {
            while (peer.canReadLine()) {
                const QString line = QString::fromUtf8(peer.readLine()).trimmed();
                lines.append(line);
                if (line.startsWith(u"ready "_s)) {
                    const QStringList v = line.split(u' ');
                    peerFrame = QRect(v[1].toInt(), v[2].toInt(), v[3].toInt(), v[4].toInt());
                }
            }
        });
        peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        peer.start(QStringLiteral(KOLU_DROP_PEER), arguments);
        ASSERT_TRUE(test::waitUntil([&] { return peerFrame.isValid(); })) << "the peer did not come up";
    }

    int count(const QString &prefix) const
    {
        return int(std::count_if(lines.begin(), lines.end(), [&](const QString &l) { return l.startsWith(prefix); }));
    }

    // Presses at `from` and moves off it until `started`, then moves onto
    // `to` until `entered`, twice more by `by` until `moved` counts each
    // move, and lets go until `dropped`.
    static std::vector<PointerScript::Step> dragPath(QPoint from, QPoint to, QPoint by, std::function<bool()> started,
                                                     std::function<bool()> entered, std::function<int()> moved,
                                                     std::function<bool()> dropped)
    {
        const auto at = [](QPoint p) {
            return QStringList{u"mousemove"_s, QString::number(p.x()), QString::number(p.y())};
        };
        return {{at(from) + QStringList{u"mousedown"_s, u"1"_s} + at(from + by) + at(from + 2 * by), started},
                {at(to), entered},
                {at(to + by), [moved] { return moved() >= 1; }},
                {at(to + 2 * by), [moved] { return moved() >= 2; }},
                {{u"mouseup"_s, u"1"_s}, dropped}};
    }
};

TEST_F(FileTrayRealDragTest, FilesDraggedOutLandInAnotherClientAsACopy)
{
    QList<QUrl> urls;
    for (const QString &name : {u"first.txt"_s, u"second.pdf"_s, u"third.png"_s})
        urls.prepend(QUrl::fromLocalFile(makeFile(name)));
    state->addFileTrayURLs(urls); // shown first.txt, second.pdf, third.png
    showCard();
    const std::vector<FileTrayItem> held = state->fileTrayItems();
    ASSERT_EQ(held.size(), 3u);
    state->toggleFileTraySelection(held[0]);
    state->toggleFileTraySelection(held[2]);
    startPeer({});

    FileTrayRow *pressed = card->fileRows()[2];
    const QPoint start = pressed->dragSource()->mapToGlobal(pressed->dragSource()->rect().center());
    bool heldWhileDragging = false;
    PointerScript script(dragPath(
        start, peerFrame.center(), QPoint(8, 0), [] { return FileTrayDragSource::isAnyDragRunning(); },
        [&] {
            if (count(u"enter"_s) < 1)
                return false;
            heldWhileDragging = !anotherClientTakesTheKeyboard();
            return true;
        },
        [&] { return count(u"move"_s); }, [&] { return count(u"drop "_s) >= 1; }));
    ASSERT_TRUE(test::waitUntil([&] { return script.finished() && !FileTrayDragSource::isAnyDragRunning(); },
                                std::chrono::seconds(40)))
        << "stopped after step " << script.stepsDone() << "; the peer said: " << lines.join(u" | "_s).toStdString();

    EXPECT_TRUE(lines.contains(u"drop copy 2"_s)) << lines.join(u" | "_s).toStdString();
    EXPECT_TRUE(heldWhileDragging) << "the drag held no keyboard";
    EXPECT_TRUE(anotherClientTakesTheKeyboard()) << "held after a drop on another program";
    EXPECT_TRUE(lines.contains(u"url "_s + held[0].url.toString()));
    EXPECT_TRUE(lines.contains(u"url "_s + held[2].url.toString()));
    EXPECT_FALSE(lines.contains(u"url "_s + held[1].url.toString()));
    // A copy: the files and the tray stay as they were.
    for (const FileTrayItem &item : held)
        EXPECT_TRUE(QFile::exists(item.url.toLocalFile()));
    EXPECT_EQ(state->fileTrayItems(), held);
}

// The rail collapses once the pointer has left it: its expanded view, the
// card with the pressed row among it, is hidden and deleted while the drag
// goes on. The drag still ends where the pointer lets go, and the card the
// rail shows next lists the held files at once.
TEST_F(FileTrayRealDragTest, ADragOutEndsWhereverItGoesWhenTheRailCollapsesMeanwhile)
{
    QList<QUrl> urls;
    for (const QString &name : {u"kept.txt"_s, u"report.pdf"_s})
        urls.prepend(QUrl::fromLocalFile(makeFile(name)));
    state->addFileTrayURLs(urls);
    QWidget rail;
    const auto cardFirst = qScopeGuard([&] { card.reset(); }); // before the rail takes it along
    rail.setGeometry(0, 0, 300, 720);
    makeCard();
    card->setParent(&rail);
    card->setGeometry(0, 0, 300, 720);
    card->show();
    rail.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&rail, 20000));
    startPeer({});
    const std::vector<FileTrayItem> held = state->fileTrayItems();
    ASSERT_EQ(held.size(), 2u);

    // A drag that never ends would hold the test inside its event loop:
    // past the bound it is called off, and the test fails.
    bool calledOff = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        calledOff = FileTrayDragSource::isAnyDragRunning();
        QDrag::cancel();
    });
    watchdog.start(std::chrono::seconds(60));

    QPointer<FileTrayCard> expanded(card.get());
    const auto collapse = [&] {
        if (card) {
            FileTrayCard *leaving = card.release();
            leaving->hide();
            leaving->deleteLater();
            rail.resize(8, 720);
        }
        return true;
    };
    const auto reopen = [&] {
        makeCard();
        card->setParent(&rail);
        rail.resize(300, 720);
        card->setGeometry(0, 0, 300, 720);
        card->show();
    };
    const auto at = [](QPoint p) {
        return QStringList{u"mousemove"_s, QString::number(p.x()), QString::number(p.y())};
    };
    const auto running = [] { return FileTrayDragSource::isAnyDragRunning(); };
    const QPoint by(8, 0);
    const QPoint nowhere(760, 600); // the bare root window
    const auto pressOn = [&](FileTrayRow *row) {
        const QPoint start = row->dragSource()->mapToGlobal(row->dragSource()->rect().center());
        return at(start) + QStringList{u"mousedown"_s, u"1"_s} + at(start + by) + at(start + 2 * by);
    };

    // Out of the rail, which collapses; two seconds over nothing (the
    // pointer held still by the X client), then onto the other program.
    PointerScript out({{pressOn(card->fileRows()[1]), running},
                       {at(nowhere), collapse},
                       {QStringList{u"sleep"_s, u"2"_s}, [&] { return expanded.isNull(); }},
                       {at(peerFrame.center()), [&] { return count(u"enter"_s) >= 1; }},
                       {at(peerFrame.center() + by), [&] { return count(u"move"_s) >= 1; }},
                       {at(peerFrame.center() + 2 * by), [&] { return count(u"move"_s) >= 2; }},
                       {{u"mouseup"_s, u"1"_s}, [&] { return count(u"drop "_s) >= 1; }}});
    ASSERT_TRUE(test::waitUntil([&] { return out.finished() && !running(); }, std::chrono::seconds(40)))
        << "stopped after step " << out.stepsDone() << "; the peer said: " << lines.join(u" | "_s).toStdString();
    ASSERT_FALSE(calledOff) << "the drag never ended; the peer said: " << lines.join(u" | "_s).toStdString();
    EXPECT_TRUE(lines.contains(u"drop copy 1"_s)) << lines.join(u" | "_s).toStdString();
    EXPECT_TRUE(anotherClientTakesTheKeyboard()) << "held after a drop on another program, the view gone meanwhile";
    EXPECT_TRUE(lines.contains(u"url "_s + held[1].url.toString()));
    EXPECT_EQ(state->fileTrayItems(), held);
    reopen();
    ASSERT_EQ(card->fileRows().size(), 2u);
    EXPECT_TRUE(card->fileRows()[0]->isVisibleTo(card.get()));

    // Let go over nothing: the drag ends, nothing lands, the rows stay.
    lines.clear();
    PointerScript nothing({{pressOn(card->fileRows()[0]), running},
                           {at(nowhere), collapse},
                           {at(nowhere + by), [&] { return !card; }},
                           {{u"mouseup"_s, u"1"_s}, [&] { return !running(); }}});
    ASSERT_TRUE(test::waitUntil([&] { return nothing.finished() && !running(); }, std::chrono::seconds(40)))
        << "stopped after step " << nothing.stepsDone();
    EXPECT_EQ(count(u"drop "_s), 0);
    EXPECT_TRUE(anotherClientTakesTheKeyboard()) << "held after a drop on nothing, the view gone meanwhile";
    reopen();
    EXPECT_EQ(card->fileRows().size(), 2u);

    // Escape gives the drag up wherever the pointer is; the card that stayed
    // open lists its rows again at once.
    bool heldWhileDragging = false;
    PointerScript escape({{pressOn(card->fileRows()[0]), running},
                          {at(peerFrame.center()),
                           [&] {
                               if (count(u"enter"_s) < 1)
                                   return false;
                               heldWhileDragging = !anotherClientTakesTheKeyboard();
                               return true;
                           }},
                          {{u"key"_s, u"Escape"_s}, [&] { return !running(); }},
                          {{u"mouseup"_s, u"1"_s}, {}}});
    ASSERT_TRUE(test::waitUntil([&] { return escape.finished() && !running(); }, std::chrono::seconds(40)))
        << "stopped after step " << escape.stepsDone() << "; the peer said: " << lines.join(u" | "_s).toStdString();
    EXPECT_EQ(count(u"drop "_s), 0);
    EXPECT_EQ(card->fileRows().size(), 2u);
    EXPECT_TRUE(heldWhileDragging) << "the drag held no keyboard";
    EXPECT_TRUE(anotherClientTakesTheKeyboard()) << "held after Escape";

    // Out of the rail, which collapses, with another program holding the
    // keyboard: Escape over it still gives the drag up, and nothing lands.
    PointerScript elsewhere({{pressOn(card->fileRows()[0]), running},
                             {at(nowhere), collapse},
                             {{u"search"_s, u"--name"_s, u"^kolu-drop-peer$"_s, u"windowfocus"_s, u"--sync"_s}, {}},
                             {at(peerFrame.center()), [&] { return count(u"enter"_s) >= 2; }},
                             {{u"key"_s, u"Escape"_s}, [&] { return !running(); }},
                             {{u"mouseup"_s, u"1"_s}, {}}});
    ASSERT_TRUE(test::waitUntil([&] { return elsewhere.finished() && !running(); }, std::chrono::seconds(40)))
        << "stopped after step " << elsewhere.stepsDone() << "; the peer said: " << lines.join(u" | "_s).toStdString();
    EXPECT_EQ(count(u"drop "_s), 0);
    EXPECT_TRUE(anotherClientTakesTheKeyboard()) << "held after Escape over another program, the view gone meanwhile";
    reopen();
    EXPECT_EQ(card->fileRows().size(), 2u);
    EXPECT_FALSE(calledOff) << "a drag had to be called off";
}

TEST_F(FileTrayRealDragTest, FiftyFilesDroppedFromAnotherClientAreHeldAsACopyWithoutStallingThePanel)
{
    QStringList paths;
    for (int i = 0; i < 50; ++i)
        paths.append(makeFile(u"picture-%1.png"_s.arg(i, 2, 10, QChar(u'0')), test::pngBytes({400, 400})));
    showCard();
    startPeer(QStringList{u"--source"_s} + paths);

    // No picture can be decoded until the workers are let go: whatever the
    // panel does meanwhile, it does on the main thread without them.
    test::WorkersHeld workers(TrayThumbnails::of(*state).workers());
    const QPoint zone = card->dropZone()->mapToGlobal(card->dropZone()->rect().center());
    PointerScript script(dragPath(
        peerFrame.center(), zone, QPoint(10, 0), [&] { return count(u"dragging"_s) >= 1; },
        [&] { return card->isDropTarget(); }, [&] { return dragMoves.moves; },
        [&] { return count(u"dragged "_s) >= 1; }));
    ASSERT_TRUE(test::waitUntil([&] { return script.finished(); }, std::chrono::seconds(40)))
        << "stopped after step " << script.stepsDone() << "; the peer said: " << lines.join(u" | "_s).toStdString();

    // The source offered a move and proposed it; the tray took a copy.
    EXPECT_TRUE(lines.contains(u"dragged copy"_s)) << lines.join(u" | "_s).toStdString();
    ASSERT_EQ(state->fileTrayItems().size(), std::size_t(AppState::maxFileTrayItems));
    EXPECT_EQ(state->fileTrayItems().front().url.toLocalFile(), paths.last());
    EXPECT_FALSE(card->isDropTarget());
    for (const QString &path : paths)
        EXPECT_TRUE(QFile::exists(path));

    // The panel answers while every picture still waits for a worker.
    ASSERT_EQ(card->fileRows().size(), 24u);
    EXPECT_TRUE(TrayThumbnails::of(*state).isBusy());
    FileTrayRow *row = card->fileRows()[5];
    QTest::mouseClick(row->dragSource(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(row->isSelected());

    workers.release();
    const auto icons = card->findChildren<FileTrayIcon *>();
    ASSERT_TRUE(test::waitUntil([&] {
        return std::all_of(icons.begin(), icons.end(),
                           [](const FileTrayIcon *icon) { return icon->look() == FileTrayIcon::Look::picture; });
    }));
}

} // namespace
} // namespace kolu
