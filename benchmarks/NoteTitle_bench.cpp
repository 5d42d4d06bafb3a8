// The file name of a new note, for titles up to a million characters (a
// whole pasted document taken as the title).
#include "platform/notes/LocalNoteStore.h"

#include <benchmark/benchmark.h>

using namespace kolu;

namespace {

void fileStemOfLongTitle(benchmark::State &state)
{
    const QString title(qsizetype(state.range(0)), QChar(u'\u00e9'));
    for (auto _ : state)
        benchmark::DoNotOptimize(LocalNoteStore::fileStem(title));
}
BENCHMARK(fileStemOfLongTitle)->Arg(100)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

} // namespace
