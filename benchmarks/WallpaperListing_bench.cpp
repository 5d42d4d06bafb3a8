// Listing a large wallpaper library: walking the folder, natural sorting and
// building the candidates.
#include "services/wallpaper/WallpaperListing.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

void listLibrary(benchmark::State &state)
{
    QTemporaryDir dir;
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        const QString folder = dir.filePath(u"set%1"_s.arg(i % 10));
        QDir().mkpath(folder);
        QFile file(u"%1/ChatGPT Image Sep 27, 2026, %2_15_32 AM.png"_s.arg(folder).arg(count - i));
        if (file.open(QIODevice::WriteOnly))
            file.write("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16); // listed only when it reads as an image
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(listWallpaperFolder(dir.path(), WallpaperSource::dropbox));
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(listLibrary)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace
