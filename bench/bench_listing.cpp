// Listing a folder in the shell folder list view with every file probed: 10,000 BMP files
// with the image columns and 10,000 WAV files with the sample columns, against the floor of
// a bare loop that opens each file and reads its first 64 bytes. Times are wall-clock until
// every row is shown with its details; rss_kb is the process's resident memory afterwards
// and peak_rss_kb its peak so far. Last, the window's longest wait for its event loop
// while a folder lists on a mount where each look at an entry takes a second.
#include "controls/SystemListView.h"
#include "platform/EntryStat.h"
#include "platform/Shell.h"
#include "support/SlowEntryStat.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 10000;

void PutLE(QByteArray &b, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A 24-bit BMP of width x 4 pixels.
QByteArray Bmp(int width)
{
    const int stride = ((width * 24 + 31) / 32) * 4, pixels = stride * 4;
    QByteArray b("BM");
    PutLE(b, 54 + pixels, 4);
    PutLE(b, 0, 4);
    PutLE(b, 54, 4);
    PutLE(b, 40, 4);
    PutLE(b, width, 4);
    PutLE(b, 4, 4);
    PutLE(b, 1, 2);
    PutLE(b, 24, 2);
    for (int i = 0; i < 6; ++i)
        PutLE(b, 0, 4);
    b.append(QByteArray(pixels, '\x40'));
    return b;
}

// A 16-bit mono WAV of `frames` frames.
QByteArray Wav(int frames)
{
    QByteArray b("RIFF");
    PutLE(b, 36 + frames * 2, 4);
    b.append("WAVEfmt ");
    PutLE(b, 16, 4);
    PutLE(b, 1, 2);
    PutLE(b, 1, 2);
    PutLE(b, 44100, 4);
    PutLE(b, 88200, 4);
    PutLE(b, 2, 2);
    PutLE(b, 16, 2);
    b.append("data");
    PutLE(b, frames * 2, 4);
    b.append(QByteArray(frames * 2, '\0'));
    return b;
}

class TFixture {
public:
    TFixture()
    {
        images = dir.path() + "/images";
        samples = dir.path() + "/samples";
        QDir().mkpath(images);
        QDir().mkpath(samples);
        for (int i = 0; i < kFiles; ++i) {
            Write(images + QString("/img%1.bmp").arg(i, 5, 10, QChar('0')), Bmp(1 + i % 300));
            Write(samples + QString("/smp%1.wav").arg(i, 5, 10, QChar('0')), Wav(100 + i % 500));
        }
    }
    static void Write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
    QTemporaryDir dir;
    QString images, samples;
};

TFixture &Files()
{
    static TFixture fixture;
    return fixture;
}

void ReportMemory(benchmark::State &state)
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["rss_kb"] = double(resident * (sysconf(_SC_PAGESIZE) / 1024));
    state.counters["peak_rss_kb"] = double(usage.ru_maxrss);
}

void BareRead64(benchmark::State &state, const QString &folder)
{
    const QStringList names = QDir(folder).entryList(QDir::Files);
    for (auto _ : state) {
        char buffer[64];
        size_t total = 0;
        for (const QString &name : names) {
            const QByteArray path = QFile::encodeName(folder + '/' + name);
            const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            total += n > 0 ? size_t(n) : 0;
            ::close(fd);
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["files"] = double(names.size());
}

void BM_BareRead64_Images(benchmark::State &state)
{
    BareRead64(state, Files().images);
}

void BM_BareRead64_Samples(benchmark::State &state)
{
    BareRead64(state, Files().samples);
}

// CPU time of every thread of the process so far, in ms: the listing spreads its work over
// the window's thread, the lister and the probes.
double ProcessCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// A new view each time, so that every file is probed (the probe cache belongs to a view).
void ListFolder(benchmark::State &state, const QString &folder, TDisplayMode mode)
{
    int rows = 0;
    uint64_t probes = 0;
    double cpuMs = 0;
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuMs();
        auto view = std::make_unique<TSystemListView>();
        view->SetDisplayMode(mode);
        view->SetViewStyle(vsReport);
        view->resize(1000, 700);
        view->show();
        view->SetDirectory(folder);
        while (!view->WaitForDetails(1000)) {
        }
        QApplication::processEvents(); // paints the rows
        rows = view->RowCount();
        probes = view->ProbesRun();
        cpuMs += ProcessCpuMs() - cpuBefore;
        state.PauseTiming();
        ReportMemory(state);
        view.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["probes"] = double(probes);
    state.counters["cpu_all_ms"] = cpuMs / double(state.iterations());
}

void BM_ListImages(benchmark::State &state)
{
    ListFolder(state, Files().images, dmImages);
}

void BM_ListSamples(benchmark::State &state)
{
    ListFolder(state, Files().samples, dmAudio);
}

// Listing again after one file changed: only that file is opened again.
void BM_RelistAfterOneChange(benchmark::State &state)
{
    TSystemListView view;
    view.SetDisplayMode(dmImages);
    view.SetViewStyle(vsReport);
    view.SetDirectory(Files().images);
    view.WaitForDetails(10000);
    int round = 0;
    uint64_t probesPerRound = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TFixture::Write(Files().images + "/img00000.bmp", Bmp(1 + (++round % 300)));
        const uint64_t before = view.ProbesRun();
        state.ResumeTiming();
        view.RefreshFolder();
        while (!view.WaitForDetails(1000)) {
        }
        probesPerRound = view.ProbesRun() - before;
    }
    state.counters["probes_per_relist"] = double(probesPerRound);
    state.counters["rows"] = view.RowCount();
}

// A mount where every look at an entry takes a second: how long the window's event loop is
// kept away at most while five files are listed (goal: never more than 50 ms).
void BM_SlowMountEventWait(benchmark::State &state)
{
    static TSlowEntryStat slow; // outlives the listing threads
    QTemporaryDir dir;
    for (int i = 0; i < 5; ++i)
        TFixture::Write(dir.path() + QString("/smp%1.wav").arg(i), Wav(100));
    slow.Folder = QFile::encodeName(dir.path());
    slow.DelayMs = 1000;
    SetEntryStat(&slow);
    double longest = 0, listingCall = 0;
    for (auto _ : state) {
        auto view = std::make_unique<TSystemListView>();
        view->SetDisplayMode(dmAudio);
        view->SetViewStyle(vsReport);
        view->show();
        QElapsedTimer clock;
        clock.start();
        view->SetDirectory(dir.path());
        listingCall = double(clock.nsecsElapsed()) / 1e6;
        qint64 last = clock.nsecsElapsed();
        double gap = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            gap = std::max(gap, double(now - last) / 1e6);
            last = now;
        });
        tick.start(1);
        while (view->RowCount() < 6) // ".." and five files
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        tick.stop();
        longest = std::max({longest, gap, listingCall});
    }
    SetEntryStat(nullptr);
    state.counters["set_directory_ms"] = listingCall;
    state.counters["max_event_wait_ms"] = longest;
}

} // namespace

BENCHMARK(BM_BareRead64_Images)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_BareRead64_Samples)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ListImages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ListSamples)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_RelistAfterOneChange)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_SlowMountEventWait)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Files(); // made before any timing
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
