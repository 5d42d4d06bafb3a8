// Synthesising every alert sound, as the first launch in a session does.
#include "services/media/AlertSoundSynthesis.h"

#include <benchmark/benchmark.h>

using namespace kolu;

namespace {

void synthesiseAllSixSounds(benchmark::State &state)
{
    for (auto _ : state) {
        for (const char16_t *kind : {u"calendar", u"ocean", u"birds", u"chime", u"soft", u"digital"})
            benchmark::DoNotOptimize(makeWAVData(QStringView(kind)));
    }
}
BENCHMARK(synthesiseAllSixSounds)->Unit(benchmark::kMillisecond);

} // namespace
