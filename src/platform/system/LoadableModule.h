#pragma once

#include <QByteArray>

namespace kolu {

// Opens one of the program's own loadable modules, `fileName`, from where
// the build and an install put it: next to the program (the build), in
// lib/kolu beside its bin folder (an install), and in the build's own folder
// (test programs built elsewhere in the tree). Each is an absolute path: a
// bare name would be looked up along the run path of whatever calls dlopen,
// and under the address sanitizer that is the sanitizer's library, not the
// program. Returns the handle, or null with the reason in `error`. A module
// stays loaded until the process ends: objects it made may live as long.
// Safe to call from any thread.
void *openModule(const char *fileName, QByteArray &error);

} // namespace kolu
