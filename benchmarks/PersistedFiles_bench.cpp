// Writing and reading back a full clipboard history, the largest state file.
#include "model/PersistedFiles.h"

#include "TemporaryHome.h"

#include <benchmark/benchmark.h>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

std::vector<ClipboardItem> history(int count)
{
    std::vector<ClipboardItem> items;
    for (int i = 0; i < count; ++i) {
        items.push_back({QUuid::createUuid(), ClipboardItemKind::text, u"Copied text %1"_s.arg(i), QString(400, u'x'),
                         QDateTime::fromSecsSinceEpoch(1'700'000'000 + i, Qt::UTC), std::nullopt, std::nullopt});
    }
    return items;
}

void writeAndReadHistory(benchmark::State &state)
{
    test::TemporaryHome home;
    const PersistedFiles files(home.dataHome());
    auto items = history(static_cast<int>(state.range(0)));
    int round = 0;
    for (auto _ : state) {
        // A changed first entry each round: a write of unchanged content is skipped.
        items.front().title = QString::number(++round);
        files.write<ClipboardItemsFile>(items);
        benchmark::DoNotOptimize(files.read<ClipboardItemsFile>());
    }
}
BENCHMARK(writeAndReadHistory)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace
