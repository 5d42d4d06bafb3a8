#pragma once

namespace kolu {

// Opens the system library `soname` ("libcrypto.so.3") by that name alone,
// for a feature that few runs use, so that the others never map it. Null
// when it cannot be opened; the reason goes to standard error after
// `lost`, what the program goes without. The library stays loaded.
void *openSystemLibrary(const char *soname, const char *lost);

// The library's symbol `name`; null when it or the library is missing.
void *librarySymbol(void *library, const char *name);

// Sets `function` to the library's `name`; returns whether it is there.
template<typename Function>
bool resolveSymbol(void *library, Function &function, const char *name)
{
    function = reinterpret_cast<Function>(librarySymbol(library, name));
    return function != nullptr;
}

} // namespace kolu
