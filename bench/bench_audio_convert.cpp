// Sample conversion speed: the mod build's drum path (WAV file -> 16-bit mono AIFF file
// through CreateFromFile / CreateNew / SaveToFile) and ConvertSamples alone in memory.
// Throughput is counted in source bytes.

#include "formats/AIFFFile.h"
#include "formats/WaveFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rate = 44100;

// Interleaved stereo 16-bit: two detuned sines, so that averaging has real work to do.
std::vector<int16_t> stereoSamples(int seconds)
{
    std::vector<int16_t> s(size_t(seconds) * Rate * 2);
    for (size_t i = 0; i < s.size() / 2; ++i) {
        s[2 * i] = int16_t(20000 * std::sin(double(i) * 0.0627));
        s[2 * i + 1] = int16_t(20000 * std::sin(double(i) * 0.0631));
    }
    return s;
}

struct TWavFixture {
    QTemporaryDir dir;
    QString wav;
    int64_t bytes = 0;

    explicit TWavFixture(int seconds)
    {
        const std::vector<int16_t> s = stereoSamples(seconds);
        const TAudioFormat f{
            2, 16, Rate, int64_t(s.size() / 2), false, 0, reinterpret_cast<const uint8_t *>(s.data())};
        wav = dir.filePath(QString("drum-%1s.wav").arg(seconds));
        auto file = TWaveFile::CreateNew(f, 2, 16);
        file->SaveToFile(wav);
        bytes = int64_t(file->GetImageSize());
    }
};

// As a mod build converts one assigned drum: map, parse, convert, write, close.
void BM_WavFileToMonoAiffFile(benchmark::State &state)
{
    static TWavFixture fixture(int(state.range(0)));
    const QString out = fixture.dir.filePath("out.aif");
    for (auto _ : state) {
        auto wav = TWaveFile::CreateFromFile(fixture.wav);
        TAIFFFile::CreateNew(wav->GetFormat(), 1, 16)->SaveToFile(out);
    }
    state.SetBytesProcessed(state.iterations() * fixture.bytes);
    state.counters["file_MB"] = double(fixture.bytes) / 1e6;
}
// Wall time: the mapping, the page cache and the write are part of the cost.
BENCHMARK(BM_WavFileToMonoAiffFile)->Arg(30)->UseRealTime()->Unit(benchmark::kMillisecond);

// ConvertSamples alone on 10 s of stereo 16-bit WAV samples, per destination layout.
void convertCase(benchmark::State &state, int destChannels, int destBits, bool destBigEndian)
{
    static const std::vector<int16_t> source = stereoSamples(10);
    const int64_t frames = int64_t(source.size() / 2);
    std::vector<uint8_t> dest(size_t(frames) * size_t(destChannels) * size_t(destBits / 8));
    for (auto _ : state) {
        ConvertSamples(source.data(), dest.data(), frames, 2, destChannels, 16, destBits, false,
                       destBigEndian);
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * frames * 4);
}

void BM_Convert_Stereo16Wav_To_Mono16Aiff(benchmark::State &s)
{
    convertCase(s, 1, 16, true);
}
void BM_Convert_Stereo16Wav_To_Stereo16Aiff(benchmark::State &s)
{
    convertCase(s, 2, 16, true);
}
void BM_Convert_Stereo16Wav_To_Mono8Wav(benchmark::State &s)
{
    convertCase(s, 1, 8, false);
}
void BM_Convert_Stereo16Wav_Copy(benchmark::State &s)
{
    convertCase(s, 2, 16, false);
}
BENCHMARK(BM_Convert_Stereo16Wav_To_Mono16Aiff)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Convert_Stereo16Wav_To_Stereo16Aiff)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Convert_Stereo16Wav_To_Mono8Wav)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Convert_Stereo16Wav_Copy)->Unit(benchmark::kMicrosecond);

// 8-bit mono WAV up to 16-bit mono AIFF: the other common drum source.
void BM_Convert_Mono8Wav_To_Mono16Aiff(benchmark::State &state)
{
    std::vector<uint8_t> source(size_t(10) * Rate);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = uint8_t(128 + 100 * std::sin(double(i) * 0.0627));
    std::vector<uint8_t> dest(source.size() * 2);
    for (auto _ : state) {
        ConvertSamples(source.data(), dest.data(), int64_t(source.size()), 1, 1, 8, 16, false, true);
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(source.size()));
}
BENCHMARK(BM_Convert_Mono8Wav_To_Mono16Aiff)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
