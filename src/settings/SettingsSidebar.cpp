#include "settings/SettingsSidebar.h"

#include "model/BuildInfo.h"
#include "settings/SettingsLogo.h"
#include "settings/SettingsKit.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OverlayScrollBar.h"
#include "style/widgets/StyledWidget.h"

#include <QPainter>
#include <QVariantAnimation>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

SettingsSidebarButton::SettingsSidebarButton(OrlixSettingsPage page, QWidget *parent)
    : QAbstractButton(parent)
    , m_page(page)
{
    setObjectName(u"settingsSidebarButton-"_s + rawValue(page));
    setText(settingsPageTitle(page));
    setAccessibleName(settingsPageTitle(page));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedHeight(34);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
    m_fade = new QVariantAnimation(this);
    m_fade->setDuration(OrlixMotion::contentSwap().durationMs);
    m_fade->setEasingCurve(OrlixMotion::contentSwap().curve);
    connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_highlight = value.toDouble();
        update();
    });
}

void SettingsSidebarButton::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    m_fade->stop();
    const qreal target = selected ? 1 : 0;
    if (isVisible()) {
        m_fade->setStartValue(m_highlight);
        m_fade->setEndValue(target);
        m_fade->start();
    } else {
        m_highlight = target;
    }
    update();
}

QSize SettingsSidebarButton::sizeHint() const
{
    return {SettingsSidebar::kWidth - 20, 34};
}

void SettingsSidebarButton::paintEvent(QPaintEvent *)
{
    const OrlixStyle &style = OrlixStyle::current();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_highlight > 0.001) {
        painter.save();
        painter.setOpacity(std::clamp(m_highlight, 0.0, 1.0));
        const QPainterPath shape = continuousRoundedRect(QRectF(rect()), 10);
        QColor fill = style.surfaceRaised();
        fill.setAlphaF(fill.alphaF() * 0.72f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawPath(shape);
        if (style.colorScheme() == ColorScheme::light) {
            // A white raised fill is lost on a light sidebar: a faint shade
            // of the text colour and a hairline mark the row instead.
            QColor shade = style.text();
            shade.setAlphaF(0.16f);
            painter.setBrush(shade);
            painter.drawPath(shape);
            painter.setPen(QPen(style.hairline(), 0.8));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(continuousRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), 10));
        }
        painter.restore();
    }
    const QColor symbolColor = m_selected ? style.text() : style.iconSecondary();
    const QColor titleColor = m_selected ? style.text() : style.secondaryText();
    const QRectF symbolRect(10, 0, 20, height());
    IconProvider::paint(painter, symbolRect, settingsPageSymbol(m_page), 14, symbolColor, IconWeight::bold);
    const QFont font = OrlixFonts::system(14, QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(titleColor);
    const QRectF titleRect(40, 0, width() - 50, height());
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(font).elidedText(text(), Qt::ElideRight, int(titleRect.width())));
    if (hasFocus()) {
        QPen pen(style.secondaryText(), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 10));
    }
}

SettingsSidebar::SettingsSidebar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"settingsSidebar"_s);
    setFixedWidth(kWidth);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(14);

    // Sized so the last row (and its highlight) shows whole above the
    // window's bottom edge; with larger fonts the list scrolls instead.
    auto *header = new QVBoxLayout;
    header->setContentsMargins(18, 20, 18, 0);
    header->setSpacing(8);
    header->addWidget(new OrlixSettingsLogo(58, this), 0, Qt::AlignLeft);
    auto *names = new QVBoxLayout;
    names->setSpacing(2);
    names->addWidget(settingsText(u"Kolu"_s, OrlixFonts::system(16, QFont::Bold), PaletteRole::text, 1, this));
    names->addWidget(settingsText(QString::fromUtf8(buildinfo::kDisplayVersion), OrlixFonts::system(9, QFont::DemiBold),
                                  PaletteRole::mutedText, 1, this));
    header->addLayout(names);
    header->addSpacing(8);
    header->addWidget(settingsText(u"Settings"_s, OrlixFonts::system(22, QFont::Bold), PaletteRole::text, 1, this));
    outer->addLayout(header);

    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(u"settingsSidebarScroll"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->viewport()->setAutoFillBackground(false);
    OverlayScrollBar::attach(scroll); // with large fonts the list scrolls
    auto *list = new QWidget;
    list->setAutoFillBackground(false);
    auto *groups = new QVBoxLayout(list);
    groups->setContentsMargins(10, 2, 10, 12);
    groups->setSpacing(14);
    for (const SettingsSidebarGroup &group : settingsSidebarGroups()) {
        auto *column = new QVBoxLayout;
        column->setSpacing(6);
        auto *title = settingsText(group.title, OrlixFonts::system(12, QFont::Bold), PaletteRole::mutedText, 1, list);
        title->setContentsMargins(10, 0, 10, 0);
        column->addWidget(title);
        for (OrlixSettingsPage page : group.pages) {
            auto *button = new SettingsSidebarButton(page, list);
            connect(button, &QAbstractButton::clicked, this, [this, page] { Q_EMIT pageChosen(page); });
            m_buttons[page] = button;
            column->addWidget(button);
        }
        groups->addLayout(column);
    }
    groups->addStretch(1);
    scroll->setWidget(list);
    list->setAutoFillBackground(false); // setWidget() turned it on
    outer->addWidget(scroll, 1);
    repaintOnStyleChange(this);
}

void SettingsSidebar::setSelectedPage(OrlixSettingsPage page)
{
    for (auto &[buttonPage, button] : m_buttons)
        button->setSelected(buttonPage == page);
}

SettingsSidebarButton *SettingsSidebar::button(OrlixSettingsPage page) const
{
    const auto it = m_buttons.find(page);
    return it == m_buttons.end() ? nullptr : it->second;
}

void SettingsSidebar::paintEvent(QPaintEvent *)
{
    QColor fill = OrlixStyle::current().surface();
    fill.setAlphaF(fill.alphaF() * 0.28f);
    QPainter(this).fillRect(rect(), fill);
}

} // namespace kolu
