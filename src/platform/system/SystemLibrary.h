#pragma once

#include <utility>

namespace kolu {

// Opens the system library `soname` ("libcrypto.so.3") by that name alone,
// for a feature that few runs use, so that the others never map it. Null
// when it cannot be opened; the reason goes to standard error after
// `lost`, what the program goes without. The library stays loaded.
void *openSystemLibrary(const char *soname, const char *lost);

// The library's symbol `name`; null when it or the library is missing. A
// missing symbol is told on standard error after `lost`.
void *librarySymbol(void *library, const char *name, const char *lost);

// One function of a library's table: the table's member that holds it and
// the symbol's name.
template<typename Table, typename Function>
using LibrarySymbol = std::pair<Function Table::*, const char *>;

template<typename Table, typename Function>
constexpr LibrarySymbol<Table, Function> libraryFunction(Function Table::*member, const char *name)
{
    return {member, name};
}

// The table of what is used of the library `soname`, filled from it on the
// first call and kept for the process (one table a type): null, on every
// call, unless the library and every one of `symbols` are there. `lost` is
// what the program goes without then.
template<typename Table, typename... Functions>
const Table *systemLibraryTable(const char *soname, const char *lost, LibrarySymbol<Table, Functions>... symbols)
{
    static const Table *loaded = [&]() -> const Table * {
        static Table table;
        void *library = openSystemLibrary(soname, lost);
        if (library == nullptr)
            return nullptr;
        const bool complete =
            ((table.*symbols.first = reinterpret_cast<Functions>(librarySymbol(library, symbols.second, lost))) && ...);
        return complete ? &table : nullptr;
    }();
    return loaded;
}

} // namespace kolu
