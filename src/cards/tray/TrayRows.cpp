#include "cards/tray/TrayRows.h"

#include "cards/tray/FileTrayDragSource.h"
#include "cards/tray/TrayIcons.h"
#include "cards/tray/TrayRules.h"
#include "cards/tray/TrayThumbnails.h"
#include "state/AppState.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/PlainButton.h"
#include "style/widgets/RailIconButton.h"
#include "style/widgets/StyledWidget.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kMarkLeft = 9, kMarkWidth = 18, kCardSpacing = 9, kCardRight = 10;

// The held file's card: selection mark, picture, name and type, on a fill
// that shows the selection. The card is its own drag source, so every press
// on it (picture and texts included) is a click or a drag; its picture takes
// no mouse. The texts are painted (elided to the width), as the tray may hold
// many rows.
class FileCard : public FileTrayDragSource {
public:
    FileCard(const FileTrayRow &row, QString name, QString type, std::function<QList<QUrl>()> urls, QUrl pressed,
             std::function<void()> onClick, QWidget *parent)
        : FileTrayDragSource(std::move(urls), std::move(pressed), std::move(onClick), parent)
        , m_row(row)
        , m_name(std::move(name))
        , m_type(std::move(type))
    {
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const OrlixStyle &style = OrlixStyle::current();
        const QColor tint = style.tint(RailModule::fileTray);
        const bool selected = m_row.isSelected();
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPainterPath shape = continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), 14);
        const QColor fill = selected ? withAlpha(tint, 0.14) : withAlpha(style.surface(), 0.64);
        painter.fillPath(shape, fill);
        painter.strokePath(shape, QPen(selected ? withAlpha(tint, 0.34) : withAlpha(style.hairline(), 0.28), 0.8));
        // The mark, 18 wide, left of the picture.
        IconProvider::paint(
            painter, QRectF(kMarkLeft, 0, kMarkWidth, height()), selected ? u"checkmark.circle.fill"_s : u"circle"_s,
            13, style.symbolInk(selected ? tint : style.iconSecondary(), selected ? withAlpha(tint, 0.14) : QColor()),
            IconWeight::bold);

        static const QFont nameFont = OrlixFonts::system(12, QFont::Bold);
        static const QFont typeFont = OrlixFonts::system(10, QFont::DemiBold);
        const QFontMetricsF nameMetrics(nameFont);
        const QFontMetricsF typeMetrics(typeFont);
        const QString type = m_row.isMissing() ? tray::missingFileText() : m_type;
        const qreal left = kMarkLeft + kMarkWidth + kCardSpacing + FileTrayIcon::kSize + kCardSpacing;
        const qreal width = std::max<qreal>(0, this->width() - left - kCardRight);
        const qreal block = nameMetrics.height() + 2 + typeMetrics.height();
        qreal y = (height() - block) / 2;
        painter.setFont(nameFont);
        painter.setPen(style.text());
        painter.drawText(QRectF(left, y, width, nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         nameMetrics.elidedText(m_name, Qt::ElideRight, width));
        y += nameMetrics.height() + 2;
        painter.setFont(typeFont);
        painter.setPen(style.readableOnFill(style.secondaryText(), fill));
        painter.drawText(QRectF(left, y, width, typeMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         typeMetrics.elidedText(type, Qt::ElideRight, width));
    }

private:
    const FileTrayRow &m_row;
    QString m_name;
    QString m_type;
};

} // namespace

FileTrayRow::FileTrayRow(AppState &state, FileTrayItem item, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_item(std::move(item))
{
    setObjectName(u"fileTrayRow"_s);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    const QString path = m_item.url.toLocalFile();
    QPointer<AppState> guard(&m_state);
    const FileTrayItem held = m_item;
    auto *card = new FileCard(
        *this, QFileInfo(path).fileName(), m_item.displayType(),
        [guard, held] { return guard ? guard->fileTrayDragURLs(held) : QList<QUrl>{}; }, m_item.url,
        [guard, held] {
            if (guard)
                guard->toggleFileTraySelection(held);
        },
        this);
    m_card = card;
    m_dragSource = card;
    m_card->setAccessibleName(QFileInfo(path).fileName());
    auto *content = new QHBoxLayout(m_card);
    content->setContentsMargins(kMarkLeft + kMarkWidth + kCardSpacing, 8, kCardRight, 8); // the mark is painted
    auto *icon = new FileTrayIcon(m_item.url, TrayThumbnails::of(m_state), m_card);
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    content->addWidget(icon);
    content->addStretch(1);
    row->addWidget(m_card, 1);

    auto *remove = new RailIconButton(u"xmark"_s, u"Remove"_s, this);
    remove->setObjectName(u"fileTrayRemoveButton"_s);
    connect(remove, &QAbstractButton::clicked, this, [this] { m_state.removeFileTrayItem(m_item); });
    row->addWidget(remove, 0, Qt::AlignVCenter);
}

bool FileTrayRow::isSelected() const
{
    return m_state.selectedFileTrayIDs().contains(m_item.id);
}

void FileTrayRow::selectionChanged()
{
    m_card->update();
}

void FileTrayRow::setMissing(bool missing)
{
    if (missing == m_missing)
        return;
    m_missing = missing;
    m_card->update();
}

ClipboardRow::ClipboardRow(AppState &state, ClipboardItem item, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_item(std::move(item))
{
    setObjectName(u"clipboardRow"_s);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(9);
    m_icon = new ClipboardItemIcon(m_item, tray::kindSymbol(m_item.kind), tray::kindTint(m_item.kind),
                                   tray::kLargeImagePreviewLimitBytes, TrayThumbnails::of(m_state), this);
    row->addWidget(m_icon, 0, Qt::AlignVCenter);

    auto *open = new PlainButton(this);
    open->setObjectName(u"clipboardOpenButton"_s);
    open->setCursor(Qt::PointingHandCursor);
    open->setFocusPolicy(Qt::TabFocus);
    open->setAccessibleName(m_item.title);
    auto *texts = new QVBoxLayout(open);
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(1);
    auto *title = new ElidedLabel(m_item.title, open);
    title->setObjectName(u"clipboardTitle"_s);
    title->setFont(OrlixFonts::system(12, QFont::Bold));
    title->setAttribute(Qt::WA_TransparentForMouseEvents);
    // One line each: line breaks of a copied text show as spaces.
    QString detailText = m_item.displayDetail();
    detailText.replace(u'\n', u' ');
    auto *detail = new ElidedLabel(detailText.simplified(), open);
    detail->setObjectName(u"clipboardDetail"_s);
    detail->setFont(OrlixFonts::system(10, QFont::DemiBold));
    detail->setAttribute(Qt::WA_TransparentForMouseEvents);
    texts->addStretch(1);
    texts->addWidget(title);
    texts->addWidget(detail);
    texts->addStretch(1);
    open->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    row->addWidget(open, 1);
    connect(open, &QAbstractButton::clicked, this, [this] { m_state.openClipboardItem(m_item); });

    auto *copy = new RailIconButton(u"doc.on.doc"_s, u"Copy"_s, this);
    copy->setObjectName(u"clipboardCopyButton"_s);
    connect(copy, &QAbstractButton::clicked, this, [this] { m_state.copyClipboardItem(m_item); });
    row->addWidget(copy, 0, Qt::AlignVCenter);
    auto *remove = new RailIconButton(u"trash"_s, u"Delete"_s, this);
    remove->setObjectName(u"clipboardDeleteButton"_s);
    // The row goes with the entry: the call is the last thing it does.
    connect(remove, &QAbstractButton::clicked, this, [this] { m_state.deleteClipboardItem(m_item); });
    row->addWidget(remove, 0, Qt::AlignVCenter);

    const auto applyColors = [title, detail] {
        title->setColor(OrlixStyle::current().text());
        detail->setColor(OrlixStyle::current().secondaryText());
    };
    applyColors();
    onStyleChange(this, applyColors);
    repaintOnStyleChange(this);
}

void ClipboardRow::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), 13);
    painter.fillPath(shape, withAlpha(style.surface(), 0.5));
    painter.strokePath(shape, QPen(withAlpha(style.hairline(), 0.2), 0.8));
}

} // namespace kolu
