#include "platform/system/SystemLibrary.h"

#include <cstdio>

#include <dlfcn.h>

namespace kolu {

void *openSystemLibrary(const char *soname, const char *lost)
{
    void *library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        std::fprintf(stderr, "Kolu: %s, %s\n", lost, dlerror());
    return library;
}

void *librarySymbol(void *library, const char *name, const char *lost)
{
    if (library == nullptr)
        return nullptr;
    void *symbol = dlsym(library, name);
    if (symbol == nullptr)
        std::fprintf(stderr, "Kolu: %s, %s\n", lost, dlerror());
    return symbol;
}

} // namespace kolu
