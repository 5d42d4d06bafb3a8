#pragma once

#include <QWidget>

namespace kolu::gallery {

// The focus card in one session state: "idle", "running", "paused",
// "break", "complete" or "editing".
QWidget *focusCard(const char *session);

} // namespace kolu::gallery
