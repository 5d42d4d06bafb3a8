#include "style/widgets/EmptyState.h"

#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {
constexpr int kIconFrame = 28;
constexpr int kSubtitleLines = 2;
constexpr int kPathSubtitleLines = 3;
} // namespace

EmptyState::EmptyState(const QString &symbol, const QString &title, const QString &subtitle, QWidget *parent)
    : QWidget(parent)
    , m_symbol(symbol)
    , m_title(new ElidedLabel(title))
    , m_subtitle(new ElidedLabel(subtitle))
{
    setObjectName(u"emptyState"_s);
    m_title->setObjectName(u"emptyStateTitle"_s);
    m_subtitle->setObjectName(u"emptyStateSubtitle"_s);
    m_title->setFont(OrlixFonts::system(12, QFont::Bold));
    m_subtitle->setFont(OrlixFonts::system(11, QFont::Medium));
    m_subtitle->setMaximumLines(kSubtitleLines);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 6, 0, 6);
    row->setSpacing(10);
    // The icon is painted into this space.
    row->addSpacing(kIconFrame);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(m_title);
    texts->addWidget(m_subtitle);
    // Not aligned: an aligned column gets its size hint's height, one line
    // short when the subtitle wraps; the row's height is the column's anyway.
    row->addLayout(texts, 1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    applyColors();
    onStyleChange(this, &EmptyState::applyColors);
}

void EmptyState::setContent(const QString &symbol, const QString &title, const QString &subtitle)
{
    m_symbol = symbol;
    m_title->setText(title);
    m_subtitle->setText(subtitle);
    m_subtitle->setMaximumLines(kSubtitleLines);
    update();
}

void EmptyState::setPathContent(const QString &symbol, const QString &title, const QString &beforePath,
                                const QString &path, const QString &afterPath)
{
    m_symbol = symbol;
    m_title->setText(title);
    m_subtitle->setPathText(beforePath.isEmpty() ? QString() : QString(beforePath + u' '), path, afterPath);
    // The path's own line comes on top of the sentence's two.
    m_subtitle->setMaximumLines(kPathSubtitleLines);
    update();
}

void EmptyState::applyColors()
{
    const OrlixStyle &style = OrlixStyle::current();
    m_title->setColor(style.text());
    m_subtitle->setColor(style.secondaryText());
    update();
}

void EmptyState::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF frame(0, (height() - kIconFrame) / 2.0, kIconFrame, kIconFrame);
    IconProvider::paint(painter, frame, m_symbol, 18, OrlixStyle::current().secondaryText());
}

} // namespace kolu
