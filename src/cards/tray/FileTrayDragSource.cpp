#include "cards/tray/FileTrayDragSource.h"

#include "cards/tray/TrayIcons.h"
#include "cards/tray/TrayRules.h"
#include "platform/windowing/KeyboardGrab.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"

#include <QDrag>
#include <QGuiApplication>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

class SystemDragLauncher final : public DragLauncher {
public:
    void startDrag(QWidget *, QMimeData *data, const QPixmap &image, QPoint hotSpot) override
    {
        // Not the row's: the rail may close and delete the row's view while
        // the drag goes on, and a drag deleted with it would never end.
        // Qt deletes it once it has returned.
        auto *drag = new QDrag(&FileTrayDrags::instance());
        drag->setMimeData(data);
        drag->setPixmap(image);
        drag->setHotSpot(hotSpot);
        // Copy alone: a target that asks to move must never delete the
        // user's file.
        drag->exec(Qt::CopyAction, Qt::CopyAction);
    }
};

DragLauncher *&installedLauncher()
{
    static DragLauncher *launcher = nullptr;
    return launcher;
}

} // namespace

FileTrayDrags &FileTrayDrags::instance()
{
    static FileTrayDrags drags;
    return drags;
}

DragLauncher &DragLauncher::current()
{
    static SystemDragLauncher system;
    DragLauncher *installed = installedLauncher();
    return installed ? *installed : system;
}

DragLauncher *DragLauncher::replace(DragLauncher *launcher)
{
    return std::exchange(installedLauncher(), launcher);
}

FileTrayDragSource::FileTrayDragSource(std::function<QList<QUrl>()> urls, QUrl pressed, std::function<void()> onClick,
                                       QWidget *parent)
    : QWidget(parent)
    , m_urls(std::move(urls))
    , m_pressed(std::move(pressed))
    , m_onClick(std::move(onClick))
{
    setObjectName(u"fileTrayDragSource"_s);
    setCursor(Qt::PointingHandCursor);
}

void FileTrayDragSource::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_pressPosition = event->position();
    m_didStartDrag = false;
}

void FileTrayDragSource::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (m_didStartDrag || !m_pressPosition || !tray::movedFarEnoughToDrag(*m_pressPosition, event->position()))
        return;
    const QList<QUrl> urls = tray::cappedDragURLs(m_urls ? m_urls() : QList<QUrl>{}, m_pressed);
    if (urls.isEmpty())
        return;
    m_didStartDrag = true;
    const QPixmap image = dragImage(urls, devicePixelRatioF());
    const QPoint hotSpot(tray::kDragIconSize / 2, tray::kDragIconSize / 2);
    // The drag may outlive this view (the rail closing deletes it): nothing
    // of it is touched afterwards but the guard.
    QPointer<FileTrayDragSource> self(this);
    FileTrayDrags &drags = FileTrayDrags::instance();
    // Escape gives the drag up wherever the pointer goes: once it leaves the
    // rail (which collapses behind it) another program has the focus, and
    // the keys would go there. The rail's window stays while its views go.
    const std::unique_ptr<KeyboardGrab> keyboard = createSystemKeyboardGrab();
    if (window()->testAttribute(Qt::WA_WState_Created) && window()->isVisible())
        keyboard->grab(static_cast<quint32>(window()->winId()));
    ++drags.m_running;
    DragLauncher::current().startDrag(this, dragData(urls), image, hotSpot);
    --drags.m_running;
    keyboard->release();
    if (self && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        m_pressPosition.reset();
    Q_EMIT drags.ended();
}

void FileTrayDragSource::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const bool click = m_pressPosition && !m_didStartDrag && event->button() == Qt::LeftButton;
    m_pressPosition.reset();
    m_didStartDrag = false;
    if (click && m_onClick)
        m_onClick();
}

QMimeData *FileTrayDragSource::dragData(const QList<QUrl> &urls)
{
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

QPixmap FileTrayDragSource::dragImage(const QList<QUrl> &urls, qreal devicePixelRatio)
{
    const int count = int(std::min<qsizetype>(urls.size(), tray::kMaxDraggedFiles));
    const int span = tray::kDragIconSize + tray::kDragFanStep * std::max(0, count - 1);
    QPixmap image(QSize(span, span) * devicePixelRatio);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The first file on top: the others peek out below and to the right.
    for (int i = count - 1; i >= 0; --i) {
        const QRect box(tray::kDragFanStep * i, tray::kDragFanStep * i, tray::kDragIconSize, tray::kDragIconSize);
        const QString path = urls[i].toLocalFile();
        const QIcon icon = fileTypeIcon(path);
        if (!icon.isNull())
            icon.paint(&painter, box);
        else
            IconProvider::paint(painter, QRectF(box), QFileInfo(path).isDir() ? u"folder"_s : u"doc"_s, 30,
                                OrlixStyle::current().iconPrimary());
    }
    return image;
}

} // namespace kolu
