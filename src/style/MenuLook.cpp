#include "style/MenuLook.h"

#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/MenuStyle.h"
#include "style/OrlixStyle.h"
#include "style/PopupPlacement.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QIconEngine>
#include <QMenu>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// `top` laid over `below` (opaque): the colour a translucent role shows on
// the menu's panel.
QColor over(const QColor &below, const QColor &top)
{
    const float a = top.alphaF();
    return QColor::fromRgbF(top.redF() * a + below.redF() * (1 - a), top.greenF() * a + below.greenF() * (1 - a),
                            top.blueF() * a + below.blueF() * (1 - a));
}

QColor mix(const QColor &a, const QColor &b, float t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

// Contrast ratio of two opaque colours, on linear-light luminance.
double contrastRatio(const QColor &a, const QColor &b)
{
    const auto lum = [](const QColor &c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = lum(a), lb = lum(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The pop-up list of a combo box: a frame of its own, parented to the box.
bool isComboPopup(const QWidget *widget)
{
    return widget->isWindow() && qobject_cast<const QComboBox *>(widget->parentWidget())
           && widget->inherits("QComboBoxPrivateContainer");
}

bool isMenuLike(const QWidget *widget)
{
    return qobject_cast<const QMenu *>(widget) || isComboPopup(widget);
}

} // namespace

MenuColors menuColors(const OrlixStyle &style)
{
    // The glass material over the colour a blur would average the desktop
    // to, so a menu reads as a piece of the rail's glass without letting
    // what lies below show through its text.
    const QColor desk = style.colorScheme() == ColorScheme::dark ? QColor(30, 30, 32) : QColor(236, 236, 238);
    MenuColors colors;
    colors.background = over(desk, style.glassBase());
    colors.border = over(colors.background, style.hairline());
    colors.text = style.text();
    // Muted, yet still legible (3:1) on the panel: where the theme's muted
    // colour is fainter, it is drawn toward the text colour.
    colors.disabledText = style.mutedText();
    for (int step = 1; step <= 10 && contrastRatio(colors.disabledText, colors.background) < 3.0; ++step)
        colors.disabledText = mix(style.mutedText(), colors.text, step / 10.0f);
    colors.shortcutText = style.secondaryText();
    colors.separator = over(colors.background, style.line());
    colors.highlight = style.primaryButtonFill();
    colors.highlightedText = style.primaryButtonLabel();
    return colors;
}

QPalette menuPalette(const MenuColors &colors, QPalette palette)
{
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        const QColor text = disabled ? colors.disabledText : colors.text;
        palette.setColor(group, QPalette::Window, colors.background);
        palette.setColor(group, QPalette::Base, colors.background);
        palette.setColor(group, QPalette::AlternateBase, colors.background);
        palette.setColor(group, QPalette::Button, colors.background);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::PlaceholderText, colors.disabledText);
        palette.setColor(group, QPalette::Highlight, colors.highlight);
        palette.setColor(group, QPalette::HighlightedText, colors.highlightedText);
        palette.setColor(group, QPalette::Light, colors.border);
        palette.setColor(group, QPalette::Midlight, colors.border);
        palette.setColor(group, QPalette::Mid, colors.separator);
        palette.setColor(group, QPalette::Dark, colors.border);
        palette.setColor(group, QPalette::Shadow, colors.border);
    }
    return palette;
}

MenuLook::MenuLook()
    : m_style(new MenuStyle([this](const QWidget *widget) { return widget && roundedCorners(widget); }))
{
    m_style->setParent(this);
    if (auto *application = qobject_cast<QApplication *>(QCoreApplication::instance()))
        application->installEventFilter(this);
}

MenuLook &MenuLook::install()
{
    // Never deleted: menus hold on to its style until the very end.
    static MenuLook *look = new MenuLook;
    return *look;
}

void MenuLook::setCompositingProbe(std::function<bool()> isCompositing)
{
    m_isCompositing = std::move(isCompositing);
}

namespace {

// A menu row's symbol, drawn from its vector picture the first time the
// menu asks for it: a menu made at launch and never opened draws none.
class MenuSymbolEngine final : public QIconEngine {
public:
    explicit MenuSymbolEngine(QString symbol)
        : m_symbol(std::move(symbol))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        drawn().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return drawn().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return drawn().pixmap(size, 1.0, mode, state);
    }
    // `size` is in device pixels here, as QIcon asks for it.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        if (!(scale > 1.0))
            return drawn().pixmap(size, 1.0, mode, state);
        return drawn().pixmap((QSizeF(size) / scale).toSize(), scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return drawn().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QString key() const override { return u"KoluMenuSymbol"_s; }
    QIconEngine *clone() const override { return new MenuSymbolEngine(*this); }

private:
    MenuSymbolEngine(const MenuSymbolEngine &) = default;

    const QIcon &drawn()
    {
        if (m_drawn.isNull()) {
            for (const qreal dpr : {1.0, 2.0})
                m_drawn.addPixmap(IconProvider::pixmap(m_symbol, MenuLook::kIconSize, Qt::black, dpr));
            m_drawn.setIsMask(true);
        }
        return m_drawn;
    }

    QString m_symbol;
    QIcon m_drawn;
};

} // namespace

QIcon MenuLook::symbolIcon(const QString &symbol)
{
    QIcon icon(new MenuSymbolEngine(symbol));
    icon.setIsMask(true);
    return icon;
}

bool MenuLook::composites() const
{
    if (m_isCompositing)
        return m_isCompositing();
    return OrlixStyle::current().glassTier() != GlassTier::opaque;
}

bool MenuLook::roundedCorners(const QWidget *menu) const
{
    // A menu drawn inside another widget rounds over that widget's pixels.
    if (!menu->isWindow())
        return OrlixStyle::current().glassTier() != GlassTier::opaque;
    return menu->testAttribute(Qt::WA_TranslucentBackground) && menu->property("koluMenuBlended").toBool();
}

bool MenuLook::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Polish && type != QEvent::Show)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !isMenuLike(widget))
        return false;
    if (type == QEvent::Polish || widget->style() != m_style)
        dress(widget);
    if (type == QEvent::Show) {
        // Asked again at each opening: a compositor may have come or gone.
        if (widget->isWindow() && widget->testAttribute(Qt::WA_TranslucentBackground))
            widget->setProperty("koluMenuBlended", composites());
        refresh(widget);
        // Placed by the menu's own rule, which keeps only to the screen: a
        // card's menu stays on its panel. Still unmapped, so it moves unseen.
        if (widget->isWindow())
            keepInsideCard(widget);
    }
    return false;
}

void MenuLook::dress(QWidget *widget)
{
    // Before QWidget's own polish, so the menu is polished by its style; a
    // menu polished before the look was installed is dressed at its first
    // showing.
    if (widget->style() != m_style)
        widget->setStyle(m_style);
    // Only a window not yet made can still get an alpha channel. Combo
    // lists fill their square viewport anyway: they stay opaque.
    if (qobject_cast<QMenu *>(widget) && widget->isWindow() && !widget->testAttribute(Qt::WA_WState_Created)
        && composites())
        widget->setAttribute(Qt::WA_TranslucentBackground);
    if (qobject_cast<QMenu *>(widget))
        widget->setFont(OrlixFonts::system(13));
    // Context menus come and go with each opening: forget the gone ones.
    m_dressed.removeAll(nullptr);
    if (!m_dressed.contains(widget))
        m_dressed.append(widget);
    connect(&OrlixStyle::current(), &OrlixStyle::changed, this, &MenuLook::refreshAll, Qt::UniqueConnection);
    refresh(widget);
}

void MenuLook::refresh(QWidget *widget)
{
    const MenuColors colors = menuColors(OrlixStyle::current());
    const auto apply = [&colors](QWidget *target) {
        const QPalette palette = menuPalette(colors, target->palette());
        if (palette != target->palette() || palette.resolveMask() != target->palette().resolveMask())
            target->setPalette(palette);
    };
    apply(widget);
    // A combo box's list draws its rows with its own palette, filled in from
    // the application's menu palette wherever it has no colour of its own.
    if (isComboPopup(widget))
        for (QAbstractItemView *view : widget->findChildren<QAbstractItemView *>())
            apply(view);
    widget->update();
}

void MenuLook::refreshAll()
{
    for (const QPointer<QWidget> &widget : std::as_const(m_dressed))
        if (widget)
            refresh(widget);
}

} // namespace kolu
