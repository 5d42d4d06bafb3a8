#include "settings/onboarding/OnboardingView.h"

#include "model/BuildInfo.h"
#include "settings/SettingsLogo.h"
#include "settings/SettingsKit.h"
#include "settings/WindowBackdrop.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/GlassProfile.h"
#include "style/IconProvider.h"
#include "style/LiquidGlassSurface.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVariantAnimation>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr int kCardPadding = 18;
constexpr int kTile = 64;
constexpr int kTextLeft = kCardPadding + kTile + 16;
constexpr int kCardMinimumHeight = 132;

QFont titleFont()
{
    return OrlixFonts::system(21, QFont::Bold);
}

QFont subtitleFont()
{
    return OrlixFonts::system(14, QFont::DemiBold);
}

int wrappedHeight(const QFont &font, const QString &text, int width)
{
    return QFontMetrics(font).boundingRect(QRect(0, 0, std::max(width, 1), 100000), Qt::TextWordWrap, text).height();
}

} // namespace

OnboardingFeatureCard::OnboardingFeatureCard(QWidget *parent)
    : QWidget(parent)
    , m_animation(new QVariantAnimation(this))
{
    setObjectName(u"onboardingFeatureCard"_s);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    m_animation->setDuration(OrlixMotion::contentSwap().durationMs);
    m_animation->setEasingCurve(OrlixMotion::contentSwap().curve);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_entry = value.toDouble();
        update();
    });
    connect(m_animation, &QVariantAnimation::finished, this, [this] {
        m_leaving.reset();
        update();
    });
    repaintOnStyleChange(this);
}

void OnboardingFeatureCard::setPage(const OnboardingPage &page, bool animated)
{
    if (animated)
        m_leaving = m_page;
    else
        m_leaving.reset();
    m_page = page;
    setAccessibleName(page.title);
    m_animation->stop();
    m_entry = 1;
    if (animated) {
        m_entry = 0;
        m_animation->start();
    }
    updateGeometry();
    update();
}

int OnboardingFeatureCard::heightForWidth(int width) const
{
    const int textWidth = width - kTextLeft - kCardPadding;
    const int text = wrappedHeight(titleFont(), m_page.title, textWidth) + 8
                     + wrappedHeight(subtitleFont(), m_page.subtitle, textWidth);
    return std::max(kCardMinimumHeight, 2 * kCardPadding + std::max(kTile, text));
}

QSize OnboardingFeatureCard::sizeHint() const
{
    return {OnboardingView::kSide - 56, heightForWidth(OnboardingView::kSide - 56)};
}

void OnboardingFeatureCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The old card leaves towards the trailing edge as the new one comes in
    // from it, each fading, glass and all.
    const qreal t = std::clamp(m_entry, 0.0, 1.0);
    if (m_leaving)
        paintPage(painter, *m_leaving, t * width(), 1 - t);
    paintPage(painter, m_page, (1 - t) * width(), t);
}

void OnboardingFeatureCard::paintPage(QPainter &painter, const OnboardingPage &page, qreal dx, qreal opacity) const
{
    if (opacity <= 0.001)
        return;
    const OrlixStyle &style = OrlixStyle::current();
    painter.save();
    painter.setOpacity(opacity);
    painter.translate(dx, 0);
    LiquidGlassSurface::paint(painter, QRectF(rect()), 22, OrlixGlassProfile::card());
    const QRectF tile(kCardPadding, kCardPadding, kTile, kTile);
    QColor tileFill = page.tint;
    tileFill.setAlphaF(0.16f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tileFill);
    painter.drawPath(continuousRoundedRect(tile, 18));
    IconProvider::paint(painter, tile, page.symbol, 28, style.symbolInk(page.tint, tileFill), IconWeight::bold);

    const int textWidth = width() - kTextLeft - kCardPadding;
    const int titleHeight = wrappedHeight(titleFont(), page.title, textWidth);
    painter.setFont(titleFont());
    painter.setPen(style.text());
    painter.drawText(QRectF(kTextLeft, kCardPadding, textWidth, titleHeight), Qt::TextWordWrap, page.title);
    painter.setFont(subtitleFont());
    painter.setPen(style.secondaryText());
    painter.drawText(
        QRectF(kTextLeft, kCardPadding + titleHeight + 8, textWidth, height() - kCardPadding - titleHeight - 8),
        Qt::TextWordWrap, page.subtitle);
    painter.restore();
}

OnboardingPageDots::OnboardingPageDots(int count, QWidget *parent)
    : QWidget(parent)
    , m_count(count)
{
    setObjectName(u"onboardingPageDots"_s);
    setFixedHeight(7);
    m_animation = new QVariantAnimation(this);
    m_animation->setDuration(OrlixMotion::contentSwap().durationMs);
    m_animation->setEasingCurve(OrlixMotion::contentSwap().curve);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_swap = value.toDouble();
        update();
    });
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    repaintOnStyleChange(this);
}

void OnboardingPageDots::setSelectedIndex(int index)
{
    if (index == m_selected)
        return;
    m_previous = m_selected;
    m_selected = index;
    m_swap = 0;
    m_animation->stop();
    m_animation->start();
    update();
}

QRectF OnboardingPageDots::dotRect(int index) const
{
    constexpr qreal spacing = 7;
    const qreal total = (m_count - 1) * (7 + spacing) + 22;
    const auto widthOf = [this](int i) {
        const qreal swap = std::clamp(m_swap, 0.0, 1.0);
        qreal length = 0;
        if (i == m_selected)
            length += swap;
        if (i == m_previous)
            length += 1 - swap;
        return 7 + 15 * std::min<qreal>(length, 1);
    };
    qreal x = (width() - total) / 2;
    for (int i = 0; i < index; ++i)
        x += widthOf(i) + spacing;
    return {x, 0, widthOf(index), 7};
}

QSize OnboardingPageDots::sizeHint() const
{
    return {(m_count - 1) * 14 + 22, 7};
}

void OnboardingPageDots::paintEvent(QPaintEvent *)
{
    // The dots say how many pages there are and which one shows: marks, so
    // each reaches 3:1 on the window.
    const OrlixStyle &style = OrlixStyle::current();
    const QColor current = style.symbolInk(themeAccentColor()), other = style.symbolInk(style.line());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < m_count; ++i) {
        painter.setBrush(i == m_selected ? current : other);
        painter.drawPath(continuousRoundedRect(dotRect(i), 3.5));
    }
}

OnboardingView::OnboardingView(std::function<void()> onFinish, QWidget *parent)
    : QWidget(parent)
    , m_onFinish(std::move(onFinish))
    , m_pages(onboardingPages())
{
    setObjectName(u"onboardingWindow"_s);
    setWindowTitle(u"Welcome to Kolu"_s);
    setFixedSize(kSide, kSide);
    setAttribute(Qt::WA_OpaquePaintEvent);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *header = new QVBoxLayout;
    header->setContentsMargins(28, 34, 28, 0);
    header->setSpacing(8);
    header->addWidget(new OrlixSettingsLogo(78, this), 0, Qt::AlignHCenter);
    auto *names = new QVBoxLayout;
    names->setSpacing(2);
    const auto centred = [](ElidedLabel *label) {
        label->setAlignment(Qt::AlignHCenter);
        return label;
    };
    names->addWidget(centred(settingsText(u"Kolu"_s, OrlixFonts::system(18, QFont::Bold), PaletteRole::text, 1, this)));
    names->addWidget(centred(settingsText(QString::fromUtf8(buildinfo::kDisplayVersion),
                                          OrlixFonts::system(9, QFont::DemiBold), PaletteRole::mutedText, 1, this)));
    header->addLayout(names);
    header->addSpacing(8);
    header->addWidget(
        centred(settingsText(u"Welcome to Kolu"_s, OrlixFonts::system(30, QFont::Bold), PaletteRole::text, 1, this)));
    header->addWidget(
        centred(settingsText(u"Small tools, always beside your screen."_s, OrlixFonts::system(14, QFont::DemiBold),
                             PaletteRole::secondaryText, 0, this)));
    // The content stands centred in the window's fixed frame.
    outer->addStretch(1);
    outer->addLayout(header);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(28, 28, 28, 28);
    body->setSpacing(22);
    m_card = new OnboardingFeatureCard(this);
    m_card->setPage(m_pages.front(), false);
    body->addWidget(m_card);
    m_dots = new OnboardingPageDots(int(m_pages.size()), this);
    body->addWidget(m_dots);

    auto *footer = new QHBoxLayout;
    footer->setSpacing(10);
    auto *skip = new OrlixButton(OrlixButton::Kind::secondary, u"Skip"_s, this);
    skip->setObjectName(u"onboardingSkip"_s);
    m_back = new OrlixButton(OrlixButton::Kind::secondary, QString(), this);
    m_back->setObjectName(u"onboardingBack"_s);
    m_back->setSymbol(u"chevron.left"_s);
    m_back->setAccessibleName(u"Back"_s);
    m_primary = new OrlixButton(OrlixButton::Kind::primary, QString(), this);
    m_primary->setObjectName(u"onboardingPrimary"_s);
    footer->addWidget(skip);
    footer->addStretch(1);
    footer->addWidget(m_back);
    footer->addWidget(m_primary);
    body->addLayout(footer);
    outer->addLayout(body);
    outer->addStretch(1);

    connect(skip, &OrlixButton::clicked, this, &OnboardingView::finish);
    connect(m_back, &OrlixButton::clicked, this, [this] { goTo(std::max(m_selectedIndex - 1, 0)); });
    connect(m_primary, &OrlixButton::clicked, this, [this] {
        if (m_selectedIndex == int(m_pages.size()) - 1)
            finish();
        else
            goTo(m_selectedIndex + 1);
    });
    onStyleChange(this, [this] {
        setPalette(windowPalette(OrlixStyle::current().colorScheme()));
        update();
    });
    setPalette(windowPalette(OrlixStyle::current().colorScheme()));
    goTo(0);
}

void OnboardingView::goTo(int index)
{
    const bool changed = index != m_selectedIndex;
    m_selectedIndex = index;
    const bool last = index == int(m_pages.size()) - 1;
    m_back->setEnabled(index > 0);
    m_primary->setText(last ? u"Start using Kolu"_s : u"Next"_s);
    m_primary->setSymbol(last ? u"checkmark.circle.fill"_s : u"arrow.right"_s);
    m_dots->setSelectedIndex(index);
    if (changed)
        m_card->setPage(m_pages[std::size_t(index)], true);
}

void OnboardingView::finish()
{
    // The application closes and drops this window from inside the call.
    if (m_onFinish)
        m_onFinish();
}

void OnboardingView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintWindowBackdrop(painter, rect(), OrlixStyle::current().colorScheme());
}

} // namespace kolu
