#include "settings/WindowBackdrop.h"

#include "style/OrlixStyle.h"

#include <QPainter>

namespace kolu {

namespace {

QColor baseColor(ColorScheme scheme)
{
    // The material colours a blur would have averaged to.
    return scheme == ColorScheme::dark ? QColor(30, 30, 32) : QColor(236, 236, 238);
}

} // namespace

void paintWindowBackdrop(QPainter &painter, const QRect &rect, ColorScheme scheme)
{
    painter.fillRect(rect, baseColor(scheme));
    painter.fillRect(rect, OrlixStyle::current().appChrome());
}

QPalette windowPalette(ColorScheme scheme)
{
    const OrlixStyle &style = OrlixStyle::current();
    const QColor base = baseColor(scheme);
    QPalette palette;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, base);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::AlternateBase, style.surface());
        palette.setColor(group, QPalette::WindowText, style.text());
        palette.setColor(group, QPalette::Text, style.text());
        palette.setColor(group, QPalette::ButtonText, style.text());
        palette.setColor(group, QPalette::Button, style.surfaceRaised());
        palette.setColor(group, QPalette::PlaceholderText, style.mutedText());
        palette.setColor(group, QPalette::ToolTipBase, base);
        palette.setColor(group, QPalette::ToolTipText, style.text());
        palette.setColor(group, QPalette::Highlight, style.primaryButtonFill());
        palette.setColor(group, QPalette::HighlightedText, style.primaryButtonLabel());
        palette.setColor(group, QPalette::Mid, style.line());
        palette.setColor(group, QPalette::Dark, style.line());
    }
    palette.setColor(QPalette::Disabled, QPalette::WindowText, style.mutedText());
    palette.setColor(QPalette::Disabled, QPalette::Text, style.mutedText());
    return palette;
}

} // namespace kolu
