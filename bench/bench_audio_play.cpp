// Drum playback costs, for a 16-bit mono drum at 44100 Hz:
// - latency from the play call to the first sample handed to the device, on the recording
//   stand-in device and on ALSA itself (its "file" plugin over "null", timed where our
//   layer hands the samples to ALSA);
// - CPU time per second of playback of the whole path (voice, mixer, conversion, refill
//   thread, wave-out layer), run flat out on a device that takes samples at once, and
//   CPU load during real-time playback;
// - mixing and conversion alone per 400 ms buffer.

#include "audio/WavePlayer.h"
#include "audio/WaveStream.h"
#include "platform/WaveOutAlsa.h"
#include "platform/WaveOutRecorder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using TClock = std::chrono::steady_clock;

QTemporaryDir &Dir()
{
    static QTemporaryDir dir;
    return dir;
}

// A 16-bit mono WAV of Seconds of a decaying tone, written once per length.
QString Drum(double Seconds)
{
    const QString path = Dir().path() + QString("/drum%1.wav").arg(int(Seconds * 1000));
    if (QFile::exists(path))
        return path;
    const int frames = int(Seconds * 44100);
    QByteArray data;
    data.reserve(frames * 2);
    for (int i = 0; i < frames; ++i) {
        const int v = int(20000 * std::exp(-i / 8000.0) * ((i / 50) % 2 ? 1 : -1));
        data.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    }
    auto le = [](QByteArray &b, uint32_t v, int n) {
        for (int k = 0; k < n; ++k)
            b.append(char(v >> (8 * k)));
    };
    QByteArray file("RIFF");
    le(file, uint32_t(36 + data.size()), 4);
    file += "WAVEfmt ";
    le(file, 16, 4);
    le(file, 1, 2);
    le(file, 1, 2);
    le(file, 44100, 4);
    le(file, 88200, 4);
    le(file, 2, 2);
    le(file, 16, 2);
    file += "data";
    le(file, uint32_t(data.size()), 4);
    file += data;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(file) != file.size())
        std::abort();
    return path;
}

double ProcessCpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// Runs the event loop until Done holds, sleeping between looks so that the waiting itself
// costs next to no CPU time.
void WaitFor(const std::function<bool()> &Done)
{
    while (!Done()) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void WaitClosed(TAudioPlayer &player)
{
    WaitFor([&] { return player.Output().IsClosed() && player.Mixer().VoiceCount() == 0; });
}

void Latency(benchmark::State &state, std::shared_ptr<TWaveOutBackend> backend,
             const std::function<std::optional<TClock::time_point>()> &firstWrite,
             const std::function<void()> &reset)
{
    std::shared_ptr<TWaveOutBackend> previous = SetWaveOutBackend(backend);
    FreeWavePlayer();
    const QString drum = Drum(0.3);
    TAudioPlayer &player = GetWavePlayer();
    for (auto _ : state) {
        reset();
        const TClock::time_point start = TClock::now();
        PlayWave(drum);
        while (!firstWrite())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        state.SetIterationTime(std::chrono::duration<double>(*firstWrite() - start).count());
        player.StopPlaying(true);
        WaitClosed(player);
    }
    FreeWavePlayer();
    SetWaveOutBackend(previous);
}

void BM_LatencyToFirstSample_Recorder(benchmark::State &state)
{
    auto recorder = std::make_shared<TWaveOutRecorder>();
    recorder->setSpeed(1);
    Latency(
        state, recorder, [&] { return recorder->firstWrite(); }, [&] { recorder->clear(); });
}
BENCHMARK(BM_LatencyToFirstSample_Recorder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// ALSA, with the time of the first frames that ALSA takes from our layer.
class TTimedAlsa : public TAlsaWaveOutBackend {
public:
    class TSink : public TWaveOutSink {
    public:
        TSink(std::unique_ptr<TWaveOutSink> inner, TTimedAlsa &owner)
            : inner_(std::move(inner)), owner_(owner)
        {
        }
        MMRESULT write(const char *data, uint32_t frames, uint32_t &taken) override
        {
            const MMRESULT r = inner_->write(data, frames, taken);
            if (taken) {
                std::lock_guard<std::mutex> g(owner_.lock);
                if (!owner_.first)
                    owner_.first = TClock::now();
            }
            return r;
        }
        void pause(bool on) override { inner_->pause(on); }
        void drop() override { inner_->drop(); }
        void drain() override { inner_->drain(); }
        uint32_t delay() override { return inner_->delay(); }

    private:
        std::unique_ptr<TWaveOutSink> inner_;
        TTimedAlsa &owner_;
    };
    MMRESULT open(const std::string &device, const WAVEFORMATEX &format,
                  std::unique_ptr<TWaveOutSink> &sink) override
    {
        std::unique_ptr<TWaveOutSink> inner;
        const MMRESULT r = TAlsaWaveOutBackend::open(device, format, inner);
        if (r == MMSYSERR_NOERROR)
            sink = std::make_unique<TSink>(std::move(inner), *this);
        return r;
    }
    std::mutex lock;
    std::optional<TClock::time_point> first;
};

void BM_LatencyToFirstSample_Alsa(benchmark::State &state)
{
    const QString config = Dir().path() + "/alsa.conf";
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly))
        std::abort();
    f.write("pcm.!default { type file\n slave.pcm { type null }\n file \"/dev/null\"\n format \"raw\" }\n"
            "pcm.bench { type null\n hint { show on description \"bench\" } }\n");
    f.close();
    setenv("ALSA_CONFIG_PATH", config.toUtf8().constData(), 1);
    auto alsa = std::make_shared<TTimedAlsa>();
    Latency(
        state, alsa,
        [&] {
            std::lock_guard<std::mutex> g(alsa->lock);
            return alsa->first;
        },
        [&] {
            std::lock_guard<std::mutex> g(alsa->lock);
            alsa->first.reset();
        });
    unsetenv("ALSA_CONFIG_PATH");
}
BENCHMARK(BM_LatencyToFirstSample_Alsa)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// How much of a drum the listener hears on ALSA (its "file" plugin over "null", kept to real
// time by our layer) and how long after its last sample the device closes. The device's
// clock starts with the first frame ALSA takes; a frame counts as heard when its time on
// that clock has come before the device is reset, or when the device is drained.
class TTailAlsa : public TAlsaWaveOutBackend {
public:
    struct TRun {
        std::optional<TClock::time_point> first;
        uint64_t taken = 0;
        std::optional<uint64_t> heard;
        std::optional<TClock::time_point> closed;
    };
    class TSink : public TWaveOutSink {
    public:
        TSink(std::unique_ptr<TWaveOutSink> inner, TTailAlsa &owner) : inner_(std::move(inner)), owner_(owner)
        {
        }
        ~TSink() override
        {
            inner_.reset();
            std::lock_guard<std::mutex> g(owner_.lock);
            end();
            owner_.run.closed = TClock::now();
        }
        MMRESULT write(const char *data, uint32_t frames, uint32_t &taken) override
        {
            const MMRESULT r = inner_->write(data, frames, taken);
            std::lock_guard<std::mutex> g(owner_.lock);
            if (taken && !owner_.run.first)
                owner_.run.first = TClock::now();
            owner_.run.taken += taken;
            return r;
        }
        void pause(bool on) override { inner_->pause(on); }
        void drop() override
        {
            inner_->drop();
            std::lock_guard<std::mutex> g(owner_.lock);
            end();
        }
        void drain() override
        {
            inner_->drain();
            std::lock_guard<std::mutex> g(owner_.lock);
            if (!owner_.run.heard)
                owner_.run.heard = owner_.run.taken;
        }
        uint32_t delay() override { return inner_->delay(); }

    private:
        void end()
        {
            TRun &r = owner_.run;
            if (r.heard || !r.first)
                return;
            const double elapsed = std::chrono::duration<double>(TClock::now() - *r.first).count();
            r.heard = std::min<uint64_t>(r.taken, uint64_t(elapsed * 44100));
        }
        std::unique_ptr<TWaveOutSink> inner_;
        TTailAlsa &owner_;
    };
    MMRESULT open(const std::string &device, const WAVEFORMATEX &format,
                  std::unique_ptr<TWaveOutSink> &sink) override
    {
        std::unique_ptr<TWaveOutSink> inner;
        const MMRESULT r = TAlsaWaveOutBackend::open(device, format, inner);
        if (r == MMSYSERR_NOERROR)
            sink = std::make_unique<TSink>(std::move(inner), *this);
        return r;
    }
    std::mutex lock;
    TRun run;
};

void UseAlsaFileConfig()
{
    const QString config = Dir().path() + "/alsa.conf";
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly))
        std::abort();
    f.write("pcm.!default { type file\n slave.pcm { type null }\n file \"/dev/null\"\n format \"raw\" }\n"
            "pcm.bench { type null\n hint { show on description \"bench\" } }\n");
    f.close();
    setenv("ALSA_CONFIG_PATH", config.toUtf8().constData(), 1);
}

void BM_TailOnAlsa(benchmark::State &state)
{
    const double seconds = state.range(0) / 1000.0;
    UseAlsaFileConfig();
    auto alsa = std::make_shared<TTailAlsa>();
    std::shared_ptr<TWaveOutBackend> previous = SetWaveOutBackend(alsa);
    FreeWavePlayer();
    const QString drum = Drum(seconds);
    TAudioPlayer &player = GetWavePlayer();
    double heardMs = 0, closeAfterMs = 0;
    for (auto _ : state) {
        {
            std::lock_guard<std::mutex> g(alsa->lock);
            alsa->run = TTailAlsa::TRun();
        }
        PlayWave(drum);
        WaitFor([&] {
            std::lock_guard<std::mutex> g(alsa->lock);
            return alsa->run.closed.has_value();
        });
        std::lock_guard<std::mutex> g(alsa->lock);
        const TTailAlsa::TRun &r = alsa->run;
        heardMs += 1000.0 * std::min<double>(double(r.heard.value_or(0)), seconds * 44100) / 44100;
        closeAfterMs += 1000.0 * std::chrono::duration<double>(*r.closed - *r.first).count() - 1000 * seconds;
        state.SetIterationTime(std::chrono::duration<double>(*r.closed - *r.first).count());
    }
    state.counters["heard_ms"] = heardMs / double(state.iterations());
    state.counters["closed_after_last_sample_ms"] = closeAfterMs / double(state.iterations());
    WaitClosed(player);
    FreeWavePlayer();
    SetWaveOutBackend(previous);
    unsetenv("ALSA_CONFIG_PATH");
}
BENCHMARK(BM_TailOnAlsa)->Arg(350)->Arg(780)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Plays a drum of Seconds to the end; reports process CPU seconds per second of sound.
void PlayForCpu(benchmark::State &state, double speed, double seconds)
{
    auto recorder = std::make_shared<TWaveOutRecorder>();
    recorder->setSpeed(speed);
    std::shared_ptr<TWaveOutBackend> previous = SetWaveOutBackend(recorder);
    FreeWavePlayer();
    const QString drum = Drum(seconds);
    TAudioPlayer &player = GetWavePlayer();
    double cpu = 0, wall = 0, sound = 0;
    for (auto _ : state) {
        recorder->clear();
        const double c0 = ProcessCpuSeconds();
        QElapsedTimer timer;
        timer.start();
        PlayWave(drum);
        // Until the voice has ended: the idle buffers after it are not playback.
        WaitFor([&] { return player.Mixer().VoiceCount() == 0; });
        cpu += ProcessCpuSeconds() - c0;
        wall += timer.nsecsElapsed() / 1e9;
        sound += seconds;
        player.StopPlaying(true);
        WaitClosed(player);
    }
    state.counters["cpu_ms_per_s_of_sound"] = 1000 * cpu / sound;
    state.counters["core_percent_while_playing"] = 100 * cpu / wall;
    FreeWavePlayer();
    SetWaveOutBackend(previous);
}

void BM_CpuPerSecondOfPlayback_FlatOut(benchmark::State &state)
{
    PlayForCpu(state, 0, 20.0);
}
BENCHMARK(BM_CpuPerSecondOfPlayback_FlatOut)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CpuPerSecondOfPlayback_RealTime(benchmark::State &state)
{
    PlayForCpu(state, 1, 3.0);
}
BENCHMARK(BM_CpuPerSecondOfPlayback_RealTime)->Unit(benchmark::kMillisecond)->Iterations(2);

// Mixing a mono voice into stereo and converting to 16-bit: one 400 ms buffer per iteration
// (the voice reads from the page cache).
void BM_MixAndConvertPerBuffer(benchmark::State &state)
{
    auto recorder = std::make_shared<TWaveOutRecorder>();
    std::shared_ptr<TWaveOutBackend> previous = SetWaveOutBackend(recorder);
    {
        const QString drum = Drum(20.0);
        TAudioPlayer player;
        std::vector<char> block(70560);
        for (auto _ : state) {
            if (player.Mixer().VoiceCount() == 0) {
                state.PauseTiming();
                player.Mixer().AddVoice(std::make_unique<TWaveStream>(drum));
                state.ResumeTiming();
            }
            player.FillBuffer(block.data(), uint32_t(block.size()));
            benchmark::DoNotOptimize(block.data());
        }
        state.SetItemsProcessed(state.iterations() * 17640);
        // Seconds of sound mixed and converted per second of run time; its inverse is the
        // share of one core that playback needs for this work.
        state.counters["sound_seconds_per_second"] =
            benchmark::Counter(17640.0 / 44100.0, benchmark::Counter::kIsIterationInvariantRate);
    }
    SetWaveOutBackend(previous);
}
BENCHMARK(BM_MixAndConvertPerBuffer)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FreeWavePlayer();
    return 0;
}
