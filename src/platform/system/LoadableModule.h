#pragma once

#include <QByteArray>
#include <QString>

namespace kolu {

// Opens one of the program's own loadable modules, `fileName`, from where
// the build and an install put it: next to the program (the build), in
// lib/kolu beside its bin folder (an install), and in the folders given to
// addModuleFolder(). Each is an absolute path: a
// bare name would be looked up along the run path of whatever calls dlopen,
// and under the address sanitizer that is the sanitizer's library, not the
// program. Returns the handle, or null with the reason in `error`. A module
// stays loaded until the process ends: objects it made may live as long.
// Safe to call from any thread.
void *openModule(const char *fileName, QByteArray &error);

// Adds `folder` to the places openModule() looks in, after the program's
// own. Only test programs, which are built elsewhere in the tree, name the
// build's folder here; the program never does, so that no folder of the
// machine it was built on is ever a place to load code from. Call it before
// any module is loaded.
void addModuleFolder(const QString &folder);

// `symbol` in the module `fileName`; null, with the reason on standard error
// after `lost`, when the module cannot be opened or lacks the symbol.
void *moduleSymbol(const char *fileName, const char *symbol, const char *lost);
// Says on standard error that the module `fileName` is from another build.
void reportForeignModule(const char *fileName, const char *lost);

// The function table a module hands out through its entry function,
// `entrySymbol`, checked against the version this program was built with.
// Null when the module is missing or from another build; the reason goes to
// standard error after `lost`, what the program goes without ("no sound").
// `Table` starts with `int version`. Safe to call from any thread.
template<typename Table>
const Table *loadModule(const char *fileName, const char *entrySymbol, const char *lost)
{
    using Entry = const Table *();
    auto *entry = reinterpret_cast<Entry *>(moduleSymbol(fileName, entrySymbol, lost));
    if (entry == nullptr)
        return nullptr;
    const Table *table = entry();
    if (table == nullptr || table->version != Table::kVersion) {
        reportForeignModule(fileName, lost);
        return nullptr;
    }
    return table;
}

} // namespace kolu
