// Header probing speed, as the file browser needs it when it lists a folder with detail
// columns: files per second over a folder of 3000 mixed BMP, JPEG, WAV and AIFF files
// (warm page cache), and per kind.

#include "ProbeFolder.h"
#include "formats/Probes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

constexpr int FilesPerKind = 750;

// One folder, created once.
struct TFolder {
    QTemporaryDir dir;
    std::vector<QString> all, bmp, jpg, wav, aif;

    TFolder()
    {
        probefolder::Write(dir.path(), FilesPerKind);
        // The order a directory listing gives.
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files)) {
            const QString path = dir.filePath(name);
            all.push_back(path);
            (name.endsWith(".bmp")   ? bmp
             : name.endsWith(".jpg") ? jpg
             : name.endsWith(".wav") ? wav
                                     : aif)
                .push_back(path);
        }
    }
};

TFolder &folder()
{
    static TFolder f;
    return f;
}

void probeFiles(benchmark::State &state, const std::vector<QString> &files)
{
    int64_t checksum = 0;
    for (auto _ : state) {
        for (const QString &path : files) {
            if (IsImageFile(path))
                checksum += GetImageInfo(path).Width;
            else
                checksum += GetAudioInfo(path).FrameCount;
        }
    }
    benchmark::DoNotOptimize(checksum);
    state.SetItemsProcessed(state.iterations() * int64_t(files.size()));
    state.counters["files/s"] =
        benchmark::Counter(double(files.size()), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ProbeMixedFolder(benchmark::State &state)
{
    probeFiles(state, folder().all);
}
void BM_ProbeBmp(benchmark::State &state)
{
    probeFiles(state, folder().bmp);
}
void BM_ProbeJpeg(benchmark::State &state)
{
    probeFiles(state, folder().jpg);
}
void BM_ProbeWav(benchmark::State &state)
{
    probeFiles(state, folder().wav);
}
void BM_ProbeAiff(benchmark::State &state)
{
    probeFiles(state, folder().aif);
}

} // namespace

BENCHMARK(BM_ProbeMixedFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProbeBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProbeJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProbeWav)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProbeAiff)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
