#pragma once

#include <QWidget>

#include <functional>

namespace kolu {

// Following the current style (theme, scheme, hero colour, glass tier) is
// done one way: through these helpers, never by connecting to the style's
// signal directly.

// Repaints `widget` whenever the current style changes. Every kit widget
// calls this once in its constructor.
void repaintOnStyleChange(QWidget *widget);

// Calls `restyle` whenever the current style changes, for as long as
// `receiver` lives: for what takes more than a repaint (colours handed to
// child widgets, palettes, texts worked out again).
void onStyleChange(QObject *receiver, std::function<void()> restyle);

// The same with a member function of the receiver.
template<typename Receiver>
void onStyleChange(Receiver *receiver, void (Receiver::*restyle)())
{
    onStyleChange(receiver, [receiver, restyle] { (receiver->*restyle)(); });
}

} // namespace kolu
