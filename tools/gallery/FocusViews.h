#pragma once

#include <QWidget>

namespace kolu::gallery {

// The focus card in one session state: "idle", "running", "paused",
// "break", "complete", "break-ready", "longest", "editing", or "sound-menu"
// (ready, with the alert sound's menu open).
QWidget *focusCard(const char *session);

} // namespace kolu::gallery
