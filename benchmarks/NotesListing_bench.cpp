// Listing the recent notes of a large notes folder: the whole walk, as one
// refresh of the notes card does it (it runs on a worker thread).
#include "platform/notes/LocalNoteStore.h"
#include "services/notes/NotesService.h"

#include "RecordingProcessRunner.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

// `count` notes spread over 20 folders of 5 subfolders each.
void fill(const QString &root, int count)
{
    for (int i = 0; i < count; ++i) {
        const QString folder = QDir(root).filePath(u"Folder %1/Sub %2"_s.arg(i % 20).arg(i % 5));
        QDir().mkpath(folder);
        QFile file(QDir(folder).filePath(u"Note %1.md"_s.arg(i)));
        if (file.open(QIODevice::WriteOnly))
            file.write("# Note\n\nSome text.\n");
    }
}

void listRecentNotes(benchmark::State &state)
{
    QTemporaryDir temp;
    const QString root = QDir(temp.path()).filePath(u"Notes"_s);
    fill(root, static_cast<int>(state.range(0)));
    test::RecordingProcessRunner runner;
    const LocalNoteStore store({{root, u"Notes"_s}}, runner);
    for (auto _ : state)
        benchmark::DoNotOptimize(NotesService::recentNotes(store.notes(), 6));
}
BENCHMARK(listRecentNotes)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void listFolders(benchmark::State &state)
{
    QTemporaryDir temp;
    const QString root = QDir(temp.path()).filePath(u"Notes"_s);
    fill(root, static_cast<int>(state.range(0)));
    test::RecordingProcessRunner runner;
    const LocalNoteStore store({{root, u"Notes"_s}}, runner);
    for (auto _ : state)
        benchmark::DoNotOptimize(NotesService::folderList(store.folders()));
}
BENCHMARK(listFolders)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
