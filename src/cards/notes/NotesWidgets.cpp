#include "cards/notes/NotesWidgets.h"

#include "cards/notes/NotesRules.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/MenuLook.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/PanelPicture.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QColor notesTint()
{
    return OrlixStyle::current().tint(RailModule::notes);
}

QColor tileColor(int index)
{
    switch (index) {
    case 1: return QColor::fromRgbF(0.56f, 0.68f, 1.0f, 0.14f);
    case 2: return QColor::fromRgbF(1.0f, 0.78f, 0.38f, 0.13f);
    case 3: return QColor::fromRgbF(0.92f, 0.54f, 0.72f, 0.12f);
    default: return withAlpha(notesTint(), 0.16);
    }
}

void paintPanel(QPainter &painter, const QRectF &rect, qreal radius, const QColor &fill, const QColor &stroke)
{
    PanelPicture::paint(painter, rect.adjusted(0.4, 0.4, -0.4, -0.4), {radius, fill, stroke, 0.8});
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(stroke, 0.8));
}

// The folder menu's face: the chosen folder and a chevron on a field.
class FolderMenuButton : public QToolButton {
public:
    explicit FolderMenuButton(QWidget *parent)
        : QToolButton(parent)
    {
        setPopupMode(QToolButton::InstantPopup);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setCursor(Qt::PointingHandCursor);
        repaintOnStyleChange(this);
    }

    QSize sizeHint() const override { return {120, 8 + fontMetrics().height() + 8}; }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        // The menu opens under the button's leading edge: never narrower.
        if (menu())
            menu()->setMinimumWidth(width());
        QToolButton::resizeEvent(event);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const OrlixStyle &style = OrlixStyle::current();
        paintPanel(painter, rect(), 9, style.innerShade(), withAlpha(style.hairline(), 0.3));
        painter.setOpacity(isEnabled() ? 1.0 : 0.5);
        painter.setFont(OrlixFonts::system(11, QFont::Bold));
        painter.setPen(style.text());
        const QRectF textRect = QRectF(rect()).adjusted(10, 0, -10 - 9 - 7, 0);
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                         painter.fontMetrics().elidedText(text(), Qt::ElideRight, int(textRect.width())));
        IconProvider::paint(painter, QRectF(width() - 10 - 9, (height() - 9) / 2.0, 9, 9), u"chevron.down"_s, 9,
                            style.secondaryText(), IconWeight::bold);
    }
};

} // namespace

NoteTile::NoteTile(const AppleNoteItem &note, QWidget *parent)
    : QWidget(parent)
    , m_note(note)
    , m_title(new ElidedLabel(notes::shownTitle(note.title), this))
    , m_modified(new ElidedLabel(note.modifiedText, this))
{
    setObjectName(u"noteTile"_s);
    m_title->setObjectName(u"noteTileTitle"_s);
    m_modified->setObjectName(u"noteTileModified"_s);
    setFixedHeight(154);
    setCursor(Qt::PointingHandCursor);
    setToolTip(u"Open in editor"_s);
    setAccessibleName(note.title);
    m_title->setFont(OrlixFonts::system(15, QFont::Black));
    m_title->setMaximumLines(4);
    // Each title reads in its own direction, whatever the tiles around it hold.
    m_title->setLayoutDirection(m_title->text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    m_modified->setFont(OrlixFonts::system(9, QFont::Bold));
    m_modified->setMaximumLines(1);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(10, 10 + 22 + 8, 10, 10);
    stack->setSpacing(8);
    stack->addWidget(m_title);
    stack->addStretch(1);
    auto *footer = new QHBoxLayout;
    footer->setContentsMargins(9 + 5, 0, 0, 0);
    footer->addWidget(m_modified, 1);
    stack->addLayout(footer);

    applyColors();
    onStyleChange(this, &NoteTile::applyColors);
}

void NoteTile::applyColors()
{
    m_title->setColor(OrlixStyle::current().text());
    m_modified->setColor(OrlixStyle::current().text());
    update();
}

void NoteTile::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = notesTint();
    paintPanel(painter, rect(), 14, tileColor(notes::tintIndex(m_note.id)), withAlpha(tint, 0.16));
    const QRectF badge(10, 10, 22, 22);
    PanelPicture::paint(painter, badge, {7, withAlpha(tint, 0.16), {}, 0});
    IconProvider::paint(painter, badge, u"note.text"_s, 12, style.symbolInk(tint, withAlpha(tint, 0.16)),
                        IconWeight::bold);
    const QColor tile = tileColor(notes::tintIndex(m_note.id));
    IconProvider::paint(painter, QRectF(width() - 10 - 10, 10, 10, 10), u"arrow.up.right"_s, 10,
                        style.symbolInk(withAlpha(style.secondaryText(), 0.7), tile), IconWeight::bold);
    const QRectF clock(10, m_modified->geometry().center().y() - 4.5, 9, 9);
    IconProvider::paint(painter, clock, u"clock"_s, 9, style.symbolInk(style.secondaryText(), tile), IconWeight::bold);
}

void NoteTile::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT openRequested(m_note.id);
    QWidget::mouseReleaseEvent(event);
}

NotesComposer::NotesComposer(QWidget *parent)
    : QWidget(parent)
    , m_title(new OrlixTextField(this))
    , m_folderButton(new FolderMenuButton(this))
    , m_body(new OrlixTextArea(this))
    , m_save(new OrlixButton(OrlixButton::Kind::primary, u"Save"_s, this))
    , m_status(new ElidedLabel({}, this))
    , m_categoryLabel(new ElidedLabel(u"Category"_s, this))
{
    setObjectName(u"notesComposer"_s);
    m_title->setObjectName(u"noteTitleField"_s);
    m_title->setPlaceholderText(u"Note title"_s);
    m_folderButton->setObjectName(u"noteFolderMenu"_s);
    m_folderButton->setMenu(new QMenu(m_folderButton));
    m_folderButton->setAccessibleName(u"Category"_s);
    m_body->setObjectName(u"noteBodyEditor"_s);
    m_body->setFont(OrlixFonts::system(12, QFont::Medium));
    m_body->setMinimumHeight(76);
    m_body->setMaximumHeight(86);
    m_save->setObjectName(u"noteSaveButton"_s);
    m_save->setSymbol(u"checkmark"_s);
    m_status->setObjectName(u"noteStatus"_s);
    m_status->setFont(OrlixFonts::system(10, QFont::DemiBold));
    m_categoryLabel->setFont(OrlixFonts::system(11, QFont::Bold));

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(10, 10, 10, 10);
    stack->setSpacing(8);
    stack->addWidget(m_title);
    auto *folderRow = new QHBoxLayout;
    folderRow->setSpacing(8);
    folderRow->addSpacing(16); // the "folder" symbol is painted here
    folderRow->addWidget(m_categoryLabel, 0, Qt::AlignVCenter);
    folderRow->addWidget(m_folderButton, 1);
    stack->addLayout(folderRow);
    stack->addWidget(m_body);
    auto *saveRow = new QHBoxLayout;
    saveRow->setSpacing(8);
    // The status keeps its place while empty, so the button never moves under the pointer.
    saveRow->addWidget(m_save, 0, Qt::AlignVCenter);
    saveRow->addWidget(m_status, 1, Qt::AlignVCenter);
    stack->addLayout(saveRow);

    const auto applyColors = [this] {
        m_categoryLabel->setColor(OrlixStyle::current().secondaryText());
        update();
    };
    applyColors();
    onStyleChange(this, applyColors);
    connect(m_save, &QAbstractButton::clicked, this, &NotesComposer::saveRequested);
}

void NotesComposer::setFolders(const std::vector<AppleNoteFolder> &folders, const QString &selectedID, bool isLoading)
{
    m_folderButton->setText(isLoading ? u"Loading..."_s : notes::selectedFolderTitle(folders, selectedID));
    m_folderButton->setEnabled(!(isLoading && folders.empty()));
    QMenu *menu = m_folderButton->menu();
    menu->clear();
    const auto addEntry = [&](const QString &title, const QString &id) {
        const bool chosen = id == selectedID;
        QAction *action = menu->addAction(MenuLook::symbolIcon(chosen ? u"checkmark"_s : u"folder"_s), title);
        action->setCheckable(true);
        action->setChecked(chosen);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { Q_EMIT folderChosen(id); });
    };
    addEntry(u"Kolu"_s, QString());
    if (!folders.empty())
        menu->addSeparator();
    for (const AppleNoteFolder &folder : folders)
        addEntry(folder.displayName(), folder.id);
    m_folderButton->update();
}

void NotesComposer::setStatus(const QString &message, const QColor &color)
{
    m_status->setText(message);
    m_status->setColor(color);
}

QString NotesComposer::statusText() const
{
    return m_status->text();
}

void NotesComposer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const OrlixStyle &style = OrlixStyle::current();
    paintPanel(painter, rect(), 13, withAlpha(style.surface(), 0.38), withAlpha(style.hairline(), 0.26));
    const QRect label = m_categoryLabel->geometry();
    IconProvider::paint(painter, QRectF(label.left() - 16, label.center().y() - 6, 12, 12), u"folder"_s, 11,
                        style.secondaryText(), IconWeight::bold);
}

} // namespace kolu
