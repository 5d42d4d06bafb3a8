#include "cards/calendar/CalendarRowColors.h"

#include "style/Opacity.h"
#include "style/OrlixStyle.h"

namespace kolu::calendar {

AgendaRowColors agendaRowColors(const OrlixStyle &style, bool happeningNow)
{
    if (!happeningNow)
        return {.cardFill = withAlpha(style.surfaceRaised(), 0.42),
                .cardStroke = withAlpha(style.hairline(), 0.22),
                .pillFill = withAlpha(style.surface(), 0.5),
                .pillStroke = withAlpha(style.hairline(), 0.22),
                .pillContent = style.secondaryText(),
                .details = style.secondaryText()};
    const QColor tint = style.tint(RailModule::calendar);
    if (style.colorScheme() == ColorScheme::dark)
        return {.cardFill = withAlpha(tint, 0.22),
                .cardStroke = withAlpha(tint, 0.38),
                .pillFill = withAlpha(Qt::white, 0.18),
                .pillStroke = withAlpha(Qt::white, 0.16),
                .pillContent = withAlpha(Qt::white, 0.92),
                .details = withAlpha(Qt::white, 0.72)};
    return {.cardFill = withAlpha(tint, 0.22),
            .cardStroke = withAlpha(tint, 0.38),
            .pillFill = withAlpha(Qt::white, 0.6),
            .pillStroke = withAlpha(tint, 0.34),
            .pillContent = withAlpha(style.text(), 0.92),
            .details = withAlpha(style.text(), 0.72)};
}

} // namespace kolu::calendar
