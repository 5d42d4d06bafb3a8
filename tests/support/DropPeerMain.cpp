// A second X client for the tray's real drag tests. It reports on standard
// output, one line at a time:
//   ready <x> <y> <width> <height>   its window is up, in root coordinates
//   enter | move                    a drag offering file addresses is over it
//   drop <action> <n>               a drop landed (copy/move/link), n files,
//   url <address>                   followed by one line per address
// As a target it accepts text/uri-list only, as a copy. Given file paths
// (kolu_drop_peer --source <path>...), it is also a drag source: a press
// and move in its window drags those files out, offering copy and move as a
// file manager does, and reports "dragging" when its drag starts and
// "dragged <action>" when it ends.
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

QString actionName(Qt::DropAction action)
{
    return action == Qt::CopyAction   ? u"copy"_s
           : action == Qt::MoveAction ? u"move"_s
           : action == Qt::LinkAction ? u"link"_s
                                      : u"none"_s;
}

class Peer : public QWidget {
public:
    explicit Peer(QList<QUrl> source)
        : m_source(std::move(source))
    {
        setWindowTitle(u"kolu-drop-peer"_s);
        setAcceptDrops(true);
    }

protected:
    void showEvent(QShowEvent *) override
    {
        QTimer::singleShot(0, this, [this] {
            const QRect frame(mapToGlobal(QPoint(0, 0)), size());
            say(u"ready %1 %2 %3 %4"_s.arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height()));
        });
    }
    void dragEnterEvent(QDragEnterEvent *event) override { offer(event, u"enter"_s); }
    void dragMoveEvent(QDragMoveEvent *event) override { offer(event, u"move"_s); }
    // Takes file addresses only, as a copy.
    static void offer(QDragMoveEvent *event, const QString &what)
    {
        if (!event->mimeData()->hasUrls())
            return event->ignore();
        event->setDropAction(Qt::CopyAction);
        event->accept();
        say(what);
    }
    void dropEvent(QDropEvent *event) override
    {
        const QList<QUrl> urls = event->mimeData()->urls();
        event->setDropAction(Qt::CopyAction);
        event->accept();
        say(u"drop %1 %2"_s.arg(actionName(event->dropAction())).arg(urls.size()));
        for (const QUrl &url : urls)
            say(u"url "_s + url.toString());
    }
    void mousePressEvent(QMouseEvent *event) override { m_press = event->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (m_source.isEmpty() || m_dragging || (event->position().toPoint() - m_press).manhattanLength() < 4)
            return;
        m_dragging = true;
        auto *drag = new QDrag(this);
        auto *data = new QMimeData;
        data->setUrls(m_source);
        drag->setMimeData(data);
        say(u"dragging"_s);
        const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
        say(u"dragged "_s + actionName(result));
        m_dragging = false;
    }

private:
    QList<QUrl> m_source;
    QPoint m_press;
    bool m_dragging = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QList<QUrl> source;
    const QStringList args = QApplication::arguments().mid(1);
    if (!args.isEmpty() && args.first() == "--source"_L1)
        for (const QString &path : args.mid(1))
            source.append(QUrl::fromLocalFile(path));
    Peer peer(std::move(source));
    peer.setGeometry(420, 80, 200, 200);
    peer.show();
    return app.exec();
}
