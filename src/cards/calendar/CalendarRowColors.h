#pragma once

#include <QColor>

namespace kolu {

class OrlixStyle;

namespace calendar {

// The colours of an agenda row, which change while its event runs. A
// running event's card is washed in the calendar tint; on a dark appearance
// its pill and details are white, on a light one they take the palette's
// text colour (white would vanish into the pale wash) and the pill is a
// brighter capsule edged in the tint.
struct AgendaRowColors {
    QColor cardFill;
    QColor cardStroke;
    QColor pillFill;
    QColor pillStroke;
    QColor pillContent;
    QColor details; // the time range and location lines and their symbols
};

AgendaRowColors agendaRowColors(const OrlixStyle &style, bool happeningNow);

} // namespace calendar
} // namespace kolu
