// Header probing speed, as the file browser needs it when it lists a folder with detail
// columns: files per second over a folder of 3000 mixed BMP, JPEG, WAV and AIFF files
// (warm page cache), and per kind.

#include "formats/AIFFFile.h"
#include "formats/BmpFile.h"
#include "formats/JpegCodec.h"
#include "formats/Probes.h"
#include "formats/WaveFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

constexpr int FilesPerKind = 750;

QImage picture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, QColor((x * 7) & 255, (y * 5) & 255, (x ^ y) & 255));
    return image;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

// One folder, created once: a skin's worth of panels and knobs, and a drum kit.
struct TFolder {
    QTemporaryDir dir;
    std::vector<QString> all, bmp, jpg, wav, aif;

    TFolder()
    {
        const QByteArray bmpBytes = EncodeBmp24(picture(96, 64));      // ~18 KB
        const QByteArray jpgBytes = EncodeJpeg(picture(320, 240), 90); // a panel
        std::vector<int16_t> samples(4410);                            // 0.1 s mono
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = int16_t(12000 * std::sin(double(i) * 0.05));
        const TAudioFormat f{1,
                             16,
                             44100,
                             int64_t(samples.size()),
                             false,
                             0,
                             reinterpret_cast<const uint8_t *>(samples.data())};
        const auto wave = TWaveFile::CreateNew(f, 1, 16);
        const auto aiff = TAIFFFile::CreateNew(f, 1, 16);
        for (int i = 0; i < FilesPerKind; ++i) {
            bmp.push_back(dir.filePath(QString("panel%1.bmp").arg(i)));
            writeBytes(bmp.back(), bmpBytes);
            jpg.push_back(dir.filePath(QString("knob%1.jpg").arg(i)));
            writeBytes(jpg.back(), jpgBytes);
            wav.push_back(dir.filePath(QString("bd%1.wav").arg(i)));
            wave->SaveToFile(wav.back());
            aif.push_back(dir.filePath(QString("sd%1.aif").arg(i)));
            aiff->SaveToFile(aif.back());
        }
        // The order a directory listing gives.
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            all.push_back(dir.filePath(name));
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
