#include "cards/today/TodaySummaryTile.h"

#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/PanelPicture.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kPadding = 11;
constexpr int kIcon = 28;
constexpr int kSpacing = 10;

} // namespace

TodaySummaryTile::TodaySummaryTile(const QString &symbol, const QColor &tint, const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_symbol(symbol)
    , m_tint(tint)
    , m_title(new ElidedLabel(title, this))
    , m_value(new ElidedLabel({}, this))
    , m_detail(new ElidedLabel({}, this))
{
    setMinimumHeight(62);
    m_title->setFont(OrlixFonts::system(11, QFont::Bold));
    m_value->setFont(OrlixFonts::system(13, QFont::Black));
    m_value->setObjectName(u"tileValue"_s);
    m_detail->setFont(OrlixFonts::system(10, QFont::DemiBold));
    m_detail->setObjectName(u"tileDetail"_s);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->setContentsMargins(0, 0, 0, 0);
    texts->addWidget(m_title);
    texts->addWidget(m_value);
    texts->addWidget(m_detail);

    m_row = new QHBoxLayout(this);
    // The icon badge is painted in the leading margin.
    m_row->setContentsMargins(kPadding + kIcon + kSpacing, kPadding, kPadding, kPadding);
    m_row->setSpacing(kSpacing);
    m_row->addLayout(texts, 1);

    onStyleChange(this, &TodaySummaryTile::applyColors);
    applyColors();
}

void TodaySummaryTile::setTint(const QColor &tint)
{
    if (tint == m_tint)
        return;
    m_tint = tint;
    update();
}

void TodaySummaryTile::setValue(const QString &value, int lines)
{
    m_value->setText(value);
    m_value->setMaximumLines(lines);
}

void TodaySummaryTile::setDetail(const QString &detail)
{
    m_detail->setText(detail);
}

void TodaySummaryTile::setDetailPath(const QString &path)
{
    m_detail->setPathText({}, path);
}

QString TodaySummaryTile::value() const
{
    return m_value->text();
}

QString TodaySummaryTile::detail() const
{
    return m_detail->text();
}

void TodaySummaryTile::setAccessory(QWidget *accessory)
{
    if (accessory == m_accessory)
        return;
    delete m_accessory;
    m_accessory = accessory;
    if (accessory) {
        accessory->setParent(this);
        m_row->addWidget(accessory, 0, Qt::AlignVCenter);
        accessory->show();
    }
}

void TodaySummaryTile::applyColors()
{
    const OrlixStyle &style = OrlixStyle::current();
    m_title->setColor(style.secondaryText());
    m_value->setColor(style.text());
    m_detail->setColor(style.secondaryText());
    update();
}

void TodaySummaryTile::paintPanel(QPainter &painter, const QRectF &rect)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor line = withAlpha(style.hairline(), 0.24);
    PanelPicture::paint(painter, rect.adjusted(0.4, 0.4, -0.4, -0.4),
                        {14, withAlpha(style.surfaceRaised(), 0.45), line, 0.8});
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(line, 0.8));
}

void TodaySummaryTile::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPanel(painter, rect());
    const QRectF badge(kPadding, (height() - kIcon) / 2.0, kIcon, kIcon);
    PanelPicture::paint(painter, badge, {8, withAlpha(m_tint, 0.13), {}, 0});
    IconProvider::paint(painter, badge, m_symbol, 13, OrlixStyle::current().symbolInk(m_tint, withAlpha(m_tint, 0.13)),
                        IconWeight::bold);
}

} // namespace kolu
