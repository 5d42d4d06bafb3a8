#include "cards/tray/FileTrayCard.h"

#include "cards/StatusTintColor.h"
#include "cards/tray/FileTrayDragSource.h"
#include "cards/tray/FileTrayDropZone.h"
#include "cards/tray/TrayRows.h"
#include "cards/tray/TrayRules.h"
#include "services/clipboard/ClipboardService.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/EmptyState.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/StyledWidget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLayoutItem>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The section header's 24-point symbol tile in the tray's tint.
class HeaderTile : public QWidget {
public:
    HeaderTile(QString symbol, QWidget *parent)
        : QWidget(parent)
        , m_symbol(std::move(symbol))
    {
        setFixedSize(24, 24);
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QColor tint = OrlixStyle::current().tint(RailModule::fileTray);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(QRectF(rect()), 7), withAlpha(tint, 0.13));
        IconProvider::paint(painter, QRectF(rect()), m_symbol, 12,
                            OrlixStyle::current().symbolInk(tint, withAlpha(tint, 0.13)), IconWeight::bold);
    }

private:
    QString m_symbol;
};

// A hairline across the card.
class Divider : public QWidget {
public:
    explicit Divider(QWidget *parent)
        : QWidget(parent)
    {
        setFixedHeight(1);
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), withAlpha(OrlixStyle::current().line(), 0.36));
    }
};

// Lays the drop zone out past the column by its growth room on either
// side, so the panel it draws at rest lines up with the Share button and
// the section headers.
class GrowthRoomItem : public QWidgetItem {
public:
    using QWidgetItem::QWidgetItem;

    void setGeometry(const QRect &rect) override
    {
        QWidgetItem::setGeometry(rect.adjusted(-FileTrayDropZone::kGrowthRoom, 0, FileTrayDropZone::kGrowthRoom, 0));
    }
    int heightForWidth(int width) const override
    {
        return QWidgetItem::heightForWidth(width + 2 * FileTrayDropZone::kGrowthRoom);
    }
};

OrlixButton *smallTextButton(const QString &text, QWidget *parent)
{
    auto *button = new OrlixButton(OrlixButton::Kind::secondary, text, parent);
    button->setFixedHeight(24);
    return button;
}

// Each showing of the card looks for a screenshot saved moments ago.
QCoro::Task<> captureRecentScreenshot(QPointer<AppState> state)
{
    std::optional<ClipboardCaptureResult> capture;
    try {
        capture = co_await state->clipboardService().captureRecentScreenshotIfNeeded();
    } catch (...) {
        co_return;
    }
    if (state && capture)
        state->addClipboardCaptureResult(*capture);
}

// Rows leave after the event that replaced them: a row's own button may be
// what changed the list.
template<typename Row>
void dropRows(std::vector<Row *> &rows)
{
    for (Row *row : rows) {
        row->hide();
        row->deleteLater();
    }
    rows.clear();
}

} // namespace

TraySectionHeader::TraySectionHeader(const QString &title, const QString &symbol, QWidget *action, QWidget *parent)
    : QWidget(parent)
    , m_title(new ElidedLabel(title, this))
    , m_subtitle(new ElidedLabel({}, this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(9);
    row->addWidget(new HeaderTile(symbol, this), 0, Qt::AlignVCenter);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(1);
    m_title->setFont(OrlixFonts::system(13, QFont::Bold));
    m_subtitle->setFont(OrlixFonts::system(10, QFont::DemiBold));
    texts->addWidget(m_title);
    texts->addWidget(m_subtitle);
    row->addLayout(texts, 1);
    if (action)
        row->addWidget(action, 0, Qt::AlignVCenter);
    const auto applyColors = [this] {
        m_title->setColor(OrlixStyle::current().text());
        m_subtitle->setColor(OrlixStyle::current().secondaryText());
    };
    applyColors();
    onStyleChange(this, applyColors);
}

void TraySectionHeader::setSubtitle(const QString &subtitle)
{
    m_subtitle->setText(subtitle);
}

FileTrayCard::FileTrayCard(AppState &state, QWidget *parent)
    : ModuleCard(u"Tray"_s, u"tray.and.arrow.down"_s, parent)
    , m_state(state)
    , m_dropZone(new FileTrayDropZone(this))
    , m_share(new OrlixButton(OrlixButton::Kind::primary, u"Share with KDE Connect"_s, this))
    , m_clearAll(smallTextButton(u"Clear All"_s, this))
    , m_fileList(new QWidget(this))
    , m_fileLayout(new QVBoxLayout(m_fileList))
    , m_filesEmpty(new EmptyState(u"tray.and.arrow.down"_s, u"Drop files here"_s,
                                  u"Hold files temporarily, then drag them back out."_s, this))
    , m_status(new ElidedLabel({}, this))
    , m_clearClipboard(smallTextButton(u"Clear"_s, this))
    , m_clipboardList(new QWidget(this))
    , m_clipboardLayout(new QVBoxLayout(m_clipboardList))
    , m_clipboardEmpty(new EmptyState(u"doc.on.clipboard"_s, u"No captured copies"_s,
                                      u"Copied links, text, images, and files appear here."_s, this))
    , m_heldFiles(new QFileSystemWatcher(this))
{
    setObjectName(u"fileTrayCard"_s);
    setAcceptDrops(true);
    m_filesHeader = new TraySectionHeader(u"Held files"_s, u"tray"_s, m_clearAll, this);
    m_clipboardHeader = new TraySectionHeader(u"Clipboard"_s, u"doc.on.clipboard"_s, m_clearClipboard, this);
    m_filesHeader->setObjectName(u"fileTrayHeader"_s);
    m_filesHeader->subtitleLabel()->setObjectName(u"fileTrayCount"_s);
    m_clipboardHeader->setObjectName(u"clipboardHeader"_s);
    m_clipboardHeader->subtitleLabel()->setObjectName(u"clipboardCount"_s);
    m_share->setObjectName(u"fileTrayShareButton"_s);
    m_share->setSymbol(u"paperplane.fill"_s);
    m_share->setToolTip(u"Share Tray files with KDE Connect"_s);
    m_share->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_share->setMinimumWidth(0);
    m_share->setFixedHeight(36);
    m_clearAll->setObjectName(u"fileTrayClearAllButton"_s);
    m_clearClipboard->setObjectName(u"clipboardClearButton"_s);
    m_fileList->setObjectName(u"fileTrayList"_s);
    m_filesEmpty->setObjectName(u"fileTrayEmptyState"_s);
    m_clipboardList->setObjectName(u"clipboardList"_s);
    m_clipboardEmpty->setObjectName(u"clipboardEmptyState"_s);
    m_status->setObjectName(u"fileTrayStatus"_s);
    m_status->setFont(OrlixFonts::system(10, QFont::DemiBold));
    m_status->setMaximumLines(2);
    m_fileLayout->setContentsMargins(0, 0, 0, 0);
    m_fileLayout->setSpacing(8);
    m_clipboardLayout->setContentsMargins(0, 0, 0, 0);
    m_clipboardLayout->setSpacing(8);

    QVBoxLayout *stack = contentLayout();
    stack->addItem(new GrowthRoomItem(m_dropZone));
    stack->addWidget(m_share);
    stack->addWidget(m_filesHeader);
    stack->addWidget(m_fileList);
    stack->addWidget(m_filesEmpty);
    stack->addWidget(m_status);
    stack->addWidget(new Divider(this));
    stack->addWidget(m_clipboardHeader);
    stack->addWidget(m_clipboardList);
    stack->addWidget(m_clipboardEmpty);

    connect(m_share, &QAbstractButton::clicked, this, [this] { m_state.airDropFileTrayItems(); });
    connect(m_clearAll, &QAbstractButton::clicked, this, &FileTrayCard::clearAll);
    connect(m_clearClipboard, &QAbstractButton::clicked, this, [this] { m_state.clearClipboardHistory(); });
    connect(&m_state, &AppState::changed, this, &FileTrayCard::onStateChanged);
    connect(m_heldFiles, &QFileSystemWatcher::fileChanged, this, &FileTrayCard::heldFileChanged);
    // Whichever row (of this card or of one the rail has since let go)
    // started it, the rows the drag held back are built once it ends.
    connect(&FileTrayDrags::instance(), &FileTrayDrags::ended, this, [this] {
        if (m_filesDirty && !FileTrayDrags::instance().isRunning())
            updateFiles();
    });
    connect(m_heldFiles, &QFileSystemWatcher::directoryChanged, this, &FileTrayCard::heldFileChanged);
    onStyleChange(this, &FileTrayCard::updateShareStatus);

    updateFiles();
    updateShareStatus();
    updateClipboard();
}

void FileTrayCard::onStateChanged(AppState::Field field)
{
    switch (field) {
    case AppState::Field::fileTrayItems: updateFiles(); break;
    case AppState::Field::selectedFileTrayIDs: updateSelection(); break;
    case AppState::Field::fileTrayAirDropStatus: updateShareStatus(); break;
    case AppState::Field::clipboardItems:
    case AppState::Field::savedClipboardUnreadable: updateClipboard(); break;
    default: break;
    }
}

void FileTrayCard::clearAll()
{
    m_state.setFileTrayItems({});
    m_state.setSelectedFileTrayIDs({});
}

void FileTrayCard::updateFiles()
{
    const std::vector<FileTrayItem> &items = m_state.fileTrayItems();
    m_filesHeader->setSubtitle(tray::heldCountText(qsizetype(items.size())));
    m_clearAll->setEnabled(!items.empty());
    m_share->setEnabled(!items.empty());
    m_filesEmpty->setVisible(items.empty());
    m_fileList->setVisible(!items.empty());

    // A running drag holds its row: the list follows once it ends.
    if (FileTrayDragSource::isAnyDragRunning()) {
        m_filesDirty = true;
        return;
    }
    m_filesDirty = false;
    dropRows(m_fileRows);
    for (const FileTrayItem &item : items) {
        auto *row = new FileTrayRow(m_state, item, m_fileList);
        m_fileLayout->addWidget(row);
        m_fileRows.push_back(row);
    }

    // A file that cannot be watched is not there (any more).
    if (const QStringList watched = m_heldFiles->files() + m_heldFiles->directories(); !watched.isEmpty())
        m_heldFiles->removePaths(watched);
    QStringList paths;
    for (const FileTrayItem &item : items)
        paths.append(item.url.toLocalFile());
    const QStringList missing = paths.isEmpty() ? QStringList() : m_heldFiles->addPaths(paths);
    for (FileTrayRow *row : m_fileRows)
        row->setMissing(missing.contains(row->item().url.toLocalFile()));
}

void FileTrayCard::heldFileChanged(const QString &path)
{
    // Written to, replaced, deleted or moved: only whether it is still there
    // counts. A watch that ended with the file is taken up again if the file
    // came back.
    const bool present = QFileInfo::exists(path);
    if (present && !m_heldFiles->files().contains(path) && !m_heldFiles->directories().contains(path))
        m_heldFiles->addPath(path);
    for (FileTrayRow *row : m_fileRows) {
        if (row->item().url.toLocalFile() == path)
            row->setMissing(!present);
    }
}

void FileTrayCard::updateSelection()
{
    for (FileTrayRow *row : m_fileRows)
        row->selectionChanged();
}

void FileTrayCard::updateShareStatus()
{
    const QString &message = m_state.fileTrayAirDropStatus().message;
    m_status->setText(message);
    m_status->setColor(
        statusTintColor(m_state.fileTrayAirDropStatus().tint, OrlixStyle::current().tint(RailModule::fileTray)));
    m_status->setVisible(!message.isEmpty());
}

void FileTrayCard::updateClipboard()
{
    const std::vector<ClipboardItem> &items = m_state.clipboardItems();
    m_clipboardHeader->setSubtitle(tray::capturedCountText(qsizetype(items.size())));
    m_clearClipboard->setEnabled(!items.empty());
    // A saved history that could not be read is no cleared one: the card
    // says so until the history changes.
    m_clipboardEmpty->setContent(u"doc.on.clipboard"_s, u"No captured copies"_s,
                                 m_state.savedClipboardUnreadable()
                                     ? u"Saved copies could not be read and were kept aside."_s
                                     : u"Copied links, text, images, and files appear here."_s);
    m_clipboardEmpty->setVisible(items.empty());
    m_clipboardList->setVisible(!items.empty());
    dropRows(m_clipboardRows);
    const std::size_t shown = std::min<std::size_t>(items.size(), tray::kShownClipboardRows);
    for (std::size_t i = 0; i < shown; ++i) {
        auto *row = new ClipboardRow(m_state, items[i], m_clipboardList);
        m_clipboardLayout->addWidget(row);
        m_clipboardRows.push_back(row);
    }
}

void FileTrayCard::showEvent(QShowEvent *event)
{
    ModuleCard::showEvent(event);
    if (!event->spontaneous())
        captureRecentScreenshot(QPointer<AppState>(&m_state));
}

bool FileTrayCard::offersFiles(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
}

void FileTrayCard::setDropTarget(bool targeted)
{
    if (targeted == m_isDropTarget)
        return;
    m_isDropTarget = targeted;
    m_dropZone->setTargeted(targeted);
}

void FileTrayCard::dragEnterEvent(QDragEnterEvent *event)
{
    if (!offersFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    // Always a copy, whatever the source proposes: a move would let the
    // source program delete the user's file once it is "moved" here.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    setDropTarget(true);
}

void FileTrayCard::dragMoveEvent(QDragMoveEvent *event)
{
    if (!offersFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileTrayCard::dragLeaveEvent(QDragLeaveEvent *event)
{
    setDropTarget(false);
    event->accept();
}

void FileTrayCard::dropEvent(QDropEvent *event)
{
    setDropTarget(false);
    if (!offersFiles(event->mimeData()) || !m_state.receiveFileTrayDrop(*event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

} // namespace kolu
