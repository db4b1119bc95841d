#include "platform/WaveOut.h"

#include "platform/WaveOutAlsa.h"
#include "platform/WaveOutBackend.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

// One open device: its sink, the queue of written headers and the thread that plays them.
struct TWaveOutHandle {
    using TClock = std::chrono::steady_clock;

    // A header the sink has taken whole, waiting for its last frame to be played.
    struct TTaken {
        WAVEHDR *header;
        uint64_t end; // the frame count taken up to its last frame
        TClock::time_point deadline;
    };

    std::shared_ptr<TWaveOutBackend> backend; // kept alive while the sink is
    std::unique_ptr<TWaveOutSink> sink;
    WAVEFORMATEX format;
    TWaveOutProc callback = nullptr;
    uintptr_t instance = 0;

    std::mutex lock;
    std::condition_variable wake; // the player thread waits on it for work
    std::condition_variable resetDone;
    std::deque<WAVEHDR *> queue; // written, not yet taken whole by the sink
    std::deque<TTaken> playing;  // taken whole, not yet played
    uint32_t frontOffset = 0;    // bytes of queue.front() already taken by the sink
    uint64_t takenFrames = 0;    // frames the sink has taken since the open
    bool paused = false;
    bool closing = false;
    uint64_t resetsAsked = 0;
    uint64_t resetsDone = 0;
    MMRESULT failure = MMSYSERR_NOERROR; // set once the sink has failed
    bool heldSamples = false;            // the sink holds samples not yet dropped
    bool clockStopped = false;           // a buffer came back unplayed after playLimit
    std::thread player;

    void notify(uint32_t msg, uintptr_t param1 = 0)
    {
        if (callback)
            callback(this, msg, instance, param1, 0);
    }
    // Every header not handed back yet, in the order written, marked done; none is left.
    std::vector<WAVEHDR *> takeAllLocked();
    // WOM_DONE for each of Done, in order, with the lock released meanwhile.
    void handBack(std::unique_lock<std::mutex> &g, const std::vector<WAVEHDR *> &Done);
    // Hands back the taken headers that have been played; the time until the next one
    // should have been, when one is left.
    std::optional<TClock::duration> handBackPlayed(std::unique_lock<std::mutex> &g);
    void run();
};

namespace {

std::mutex registryLock;
std::set<TWaveOutHandle *> liveHandles;
std::shared_ptr<TWaveOutBackend> backendInUse;
TWaveOutDevices deviceList;
bool deviceListRead = false;

std::shared_ptr<TWaveOutBackend> backendLocked()
{
    if (!backendInUse)
        backendInUse = std::make_shared<TAlsaWaveOutBackend>();
    return backendInUse;
}

void readDeviceListLocked()
{
    deviceList = backendLocked()->devices();
    // The mapper stands for the system's choice among the devices: without any, none.
    if (deviceList.names.empty())
        deviceList.mapper.clear();
    deviceListRead = true;
}

// The backend's name for a device id, or empty when the id is unknown.
std::string deviceNameLocked(uint32_t id)
{
    if (!deviceListRead)
        readDeviceListLocked();
    if (id == WAVE_MAPPER)
        return deviceList.mapper;
    return id < deviceList.names.size() ? deviceList.names[id] : std::string();
}

bool isLive(HWAVEOUT h)
{
    std::lock_guard<std::mutex> g(registryLock);
    return h && liveHandles.count(h);
}

MMRESULT checkFormat(const WAVEFORMATEX *f)
{
    if (!f)
        return MMSYSERR_INVALPARAM;
    if (f->wFormatTag != WAVE_FORMAT_PCM || (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) ||
        f->nChannels < 1 || f->nChannels > 2 || f->nSamplesPerSec == 0 ||
        f->nBlockAlign != f->nChannels * f->wBitsPerSample / 8)
        return WAVERR_BADFORMAT;
    return MMSYSERR_NOERROR;
}

void markDone(WAVEHDR *h)
{
    h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
}

} // namespace

std::shared_ptr<TWaveOutBackend> SetWaveOutBackend(std::shared_ptr<TWaveOutBackend> Backend)
{
    std::lock_guard<std::mutex> g(registryLock);
    std::shared_ptr<TWaveOutBackend> previous = backendInUse;
    backendInUse = std::move(Backend);
    deviceList = TWaveOutDevices();
    deviceListRead = false;
    return previous;
}

std::shared_ptr<TWaveOutBackend> CurrentWaveOutBackend()
{
    std::lock_guard<std::mutex> g(registryLock);
    return backendLocked();
}

namespace {

// A device whose clock has stopped (a suspended sound server) would keep its buffers for
// ever; one that has held a wholly taken buffer this long has played it or never will.
constexpr std::chrono::seconds playLimit{2};

} // namespace

std::vector<WAVEHDR *> TWaveOutHandle::takeAllLocked()
{
    std::vector<WAVEHDR *> done;
    for (const TTaken &t : playing)
        done.push_back(t.header);
    done.insert(done.end(), queue.begin(), queue.end());
    playing.clear();
    queue.clear();
    frontOffset = 0;
    for (WAVEHDR *h : done)
        markDone(h);
    return done;
}

void TWaveOutHandle::handBack(std::unique_lock<std::mutex> &g, const std::vector<WAVEHDR *> &Done)
{
    g.unlock();
    for (WAVEHDR *h : Done)
        notify(WOM_DONE, reinterpret_cast<uintptr_t>(h));
    g.lock();
}

std::optional<TWaveOutHandle::TClock::duration>
TWaveOutHandle::handBackPlayed(std::unique_lock<std::mutex> &g)
{
    if (playing.empty())
        return std::nullopt;
    g.unlock();
    const uint32_t held = sink->delay();
    g.lock();
    if (resetsDone < resetsAsked || playing.empty())
        return std::nullopt; // the reset hands them back
    const uint64_t playedUpTo = takenFrames - std::min<uint64_t>(held, takenFrames);
    const TClock::time_point now = TClock::now();
    std::vector<WAVEHDR *> done;
    while (!playing.empty() && (playing.front().end <= playedUpTo || now >= playing.front().deadline)) {
        if (playing.front().end > playedUpTo)
            clockStopped = true;
        markDone(playing.front().header);
        done.push_back(playing.front().header);
        playing.pop_front();
    }
    if (!done.empty()) {
        handBack(g, done);
        return TClock::duration::zero(); // look again at once: the callback may have written
    }
    const double seconds = double(playing.front().end - playedUpTo) / format.nSamplesPerSec;
    return std::chrono::duration_cast<TClock::duration>(std::chrono::duration<double>(seconds));
}

// The device's thread: takes the queued headers in order, hands their frames to the sink
// and calls back WOM_DONE for each one once the sink has played its last frame, as a sound
// card's driver would, so that whoever refills it knows the sound has been heard. Reset and
// close are carried out here too, between two sink calls, so that the sink has a single user.
void TWaveOutHandle::run()
{
    notify(WOM_OPEN);
    std::unique_lock<std::mutex> g(lock);
    bool sinkPaused = false;
    for (;;) {
        if (resetsDone < resetsAsked) {
            const std::vector<WAVEHDR *> done = takeAllLocked();
            const bool drop = heldSamples && failure == MMSYSERR_NOERROR;
            heldSamples = false;
            if (drop) {
                g.unlock();
                sink->drop();
                g.lock();
            }
            handBack(g, done);
            resetsDone = resetsAsked;
            resetDone.notify_all();
            continue;
        }
        if (closing && queue.empty() && playing.empty())
            break;
        if (paused != sinkPaused && failure == MMSYSERR_NOERROR) {
            sinkPaused = paused;
            g.unlock();
            sink->pause(sinkPaused);
            g.lock();
            // A pause holds the device's clock; the time allowed for playing starts anew.
            for (TTaken &t : playing)
                t.deadline = TClock::now() + playLimit;
            continue;
        }
        std::optional<TClock::duration> untilPlayed;
        if (!paused) {
            untilPlayed = handBackPlayed(g);
            if (untilPlayed && *untilPlayed == TClock::duration::zero())
                continue;
            if (resetsDone < resetsAsked)
                continue;
        }
        if (paused || queue.empty()) {
            if (untilPlayed)
                wake.wait_for(g, std::clamp<TClock::duration>(*untilPlayed, std::chrono::milliseconds(1),
                                                              std::chrono::milliseconds(20)));
            else
                wake.wait(g);
            continue;
        }
        WAVEHDR *h = queue.front();
        const uint32_t frameBytes = format.nBlockAlign;
        const uint32_t frames = h->dwBufferLength / frameBytes - frontOffset / frameBytes;
        uint32_t taken = 0;
        MMRESULT r = failure;
        if (frames > 0 && r == MMSYSERR_NOERROR) {
            const char *data = h->lpData + frontOffset;
            g.unlock();
            r = sink->write(data, frames, taken);
            g.lock();
            if (taken)
                heldSamples = true;
        }
        if (r != MMSYSERR_NOERROR) {
            // The device is gone: hand every buffer back so that nobody waits for it;
            // writes from now on answer the failure.
            failure = r;
            handBack(g, takeAllLocked());
            continue;
        }
        // A reset may have emptied the queue while the sink was busy.
        if (queue.empty() || queue.front() != h || resetsDone < resetsAsked)
            continue;
        frontOffset += taken * frameBytes;
        takenFrames += taken;
        if (taken == frames) {
            queue.pop_front();
            frontOffset = 0;
            playing.push_back({h, takenFrames, TClock::now() + playLimit});
        }
    }
    // A paused device, or one whose clock has stopped, would never finish playing; closing
    // it then discards its samples.
    const bool drain = heldSamples && failure == MMSYSERR_NOERROR && !sinkPaused && !clockStopped;
    g.unlock();
    if (drain)
        sink->drain();
    sink.reset();
    notify(WOM_CLOSE);
}

uint32_t waveOutGetNumDevs()
{
    std::lock_guard<std::mutex> g(registryLock);
    readDeviceListLocked();
    return uint32_t(deviceList.names.size());
}

MMRESULT waveOutGetDevCaps(uint32_t DeviceId, WAVEOUTCAPS *Caps, uint32_t CapsSize)
{
    if (!Caps || CapsSize < sizeof(WAVEOUTCAPS))
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> g(registryLock);
    const std::string name = deviceNameLocked(DeviceId);
    if (name.empty())
        return DeviceId == WAVE_MAPPER ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    *Caps = WAVEOUTCAPS();
    Caps->vDriverVersion = backendLocked()->driverVersion();
    // Longer device names are cut; opening uses the full name of the id.
    std::strncpy(Caps->szPname, name.c_str(), MAXPNAMELEN - 1);
    Caps->dwFormats = WAVE_FORMAT_ALL_CLASSIC;
    Caps->wChannels = 2;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutOpen(HWAVEOUT *Handle, uint32_t DeviceId, const WAVEFORMATEX *Format, uintptr_t Callback,
                     uintptr_t Instance, uint32_t Flags)
{
    const bool query = Flags & WAVE_FORMAT_QUERY;
    if (!query && !Handle)
        return MMSYSERR_INVALPARAM;
    if (Handle && !query)
        *Handle = nullptr;
    if ((Flags & ~(WAVE_FORMAT_QUERY | CALLBACK_FUNCTION)) != 0)
        return MMSYSERR_INVALFLAG;
    if (MMRESULT r = checkFormat(Format))
        return r;
    std::shared_ptr<TWaveOutBackend> backend;
    std::string name;
    {
        std::lock_guard<std::mutex> g(registryLock);
        backend = backendLocked();
        name = deviceNameLocked(DeviceId);
    }
    if (name.empty())
        return DeviceId == WAVE_MAPPER ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    if (query)
        return backend->query(name, *Format);

    auto h = std::make_unique<TWaveOutHandle>();
    if (MMRESULT r = backend->open(name, *Format, h->sink))
        return r;
    h->backend = backend;
    h->format = *Format;
    if (Flags & CALLBACK_FUNCTION)
        h->callback = reinterpret_cast<TWaveOutProc>(Callback);
    h->instance = Instance;
    TWaveOutHandle *raw = h.get();
    {
        std::lock_guard<std::mutex> g(registryLock);
        liveHandles.insert(raw);
    }
    raw->player = std::thread([raw] { raw->run(); });
    *Handle = h.release();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPause(HWAVEOUT Handle)
{
    if (!isLive(Handle))
        return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> g(Handle->lock);
    Handle->paused = true;
    Handle->wake.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutRestart(HWAVEOUT Handle)
{
    if (!isLive(Handle))
        return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> g(Handle->lock);
    Handle->paused = false;
    Handle->wake.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT Handle, WAVEHDR *Header, uint32_t HeaderSize)
{
    if (!isLive(Handle))
        return MMSYSERR_INVALHANDLE;
    if (!Header || HeaderSize < sizeof(WAVEHDR) || !Header->lpData)
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> g(Handle->lock);
    if (Header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    Header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT Handle, WAVEHDR *Header, uint32_t HeaderSize)
{
    if (!isLive(Handle))
        return MMSYSERR_INVALHANDLE;
    if (!Header || HeaderSize < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> g(Handle->lock);
    if (Header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    Header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT Handle, WAVEHDR *Header, uint32_t HeaderSize)
{
    if (!isLive(Handle))
        return MMSYSERR_INVALHANDLE;
    if (!Header || HeaderSize < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> g(Handle->lock);
    if (Handle->closing)
        return MMSYSERR_INVALHANDLE;
    if (!(Header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (Header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    if (Handle->failure != MMSYSERR_NOERROR)
        return Handle->failure;
    Header->dwFlags = (Header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    Handle->queue.push_back(Header);
    Handle->wake.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT Handle)
{
    if (!isLive(Handle))
        return MMSYSERR_INVALHANDLE;
    if (std::this_thread::get_id() == Handle->player.get_id())
        return MMSYSERR_INVALPARAM; // from inside the callback it would wait for itself
    std::unique_lock<std::mutex> g(Handle->lock);
    const uint64_t ticket = ++Handle->resetsAsked;
    Handle->wake.notify_all();
    Handle->resetDone.wait(g, [&] { return Handle->resetsDone >= ticket; });
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT Handle)
{
    if (!isLive(Handle))
        return MMSYSERR_INVALHANDLE;
    if (std::this_thread::get_id() == Handle->player.get_id())
        return MMSYSERR_INVALPARAM;
    {
        std::lock_guard<std::mutex> g(Handle->lock);
        if (!Handle->queue.empty() || !Handle->playing.empty())
            return WAVERR_STILLPLAYING;
        Handle->closing = true;
        Handle->wake.notify_all();
    }
    {
        std::lock_guard<std::mutex> g(registryLock);
        liveHandles.erase(Handle);
    }
    Handle->player.join();
    delete Handle;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetErrorText(MMRESULT Error, char *Text, uint32_t Size)
{
    static const struct {
        MMRESULT code;
        const char *text;
    } texts[] = {
        {MMSYSERR_NOERROR, "No error."},
        {MMSYSERR_ERROR, "The sound device reported an unspecified error."},
        {MMSYSERR_BADDEVICEID, "The sound device identifier is out of range."},
        {MMSYSERR_NOTENABLED, "The sound device could not be enabled."},
        {MMSYSERR_ALLOCATED, "The sound device is already in use by another program."},
        {MMSYSERR_INVALHANDLE, "The sound device handle is not valid."},
        {MMSYSERR_NODRIVER, "The sound device is not present or has been removed."},
        {MMSYSERR_NOMEM, "There is not enough memory for the sound device."},
        {MMSYSERR_NOTSUPPORTED, "The sound device does not support this function."},
        {MMSYSERR_BADERRNUM, "The error number is out of range."},
        {MMSYSERR_INVALFLAG, "An invalid flag was passed to the sound device."},
        {MMSYSERR_INVALPARAM, "An invalid parameter was passed to the sound device."},
        {WAVERR_BADFORMAT, "The sound device cannot play this sample format."},
        {WAVERR_STILLPLAYING, "The sound device is still playing."},
        {WAVERR_UNPREPARED, "The sound buffer has not been prepared."},
    };
    if (!Text || Size == 0)
        return MMSYSERR_INVALPARAM;
    for (const auto &t : texts) {
        if (t.code != Error)
            continue;
        const size_t n = std::min<size_t>(std::strlen(t.text), Size - 1);
        std::memcpy(Text, t.text, n);
        Text[n] = '\0';
        return MMSYSERR_NOERROR;
    }
    Text[0] = '\0';
    return MMSYSERR_BADERRNUM;
}

uint32_t TWaveOutPace::allow(uint32_t Wanted)
{
    if (speed_ <= 0)
        return Wanted;
    TClock::time_point now = TClock::now();
    if (!started_) {
        started_ = true;
        start_ = now;
        sent_ = 0;
    }
    uint64_t due = this->due(now);
    if (due <= sent_) {
        // Wait for about 10 ms of frames, as a sound card's period would make a writer do;
        // not longer, since the caller checks for resets between calls.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        due = this->due(TClock::now());
        if (due <= sent_)
            return 0;
    }
    return uint32_t(std::min<uint64_t>(Wanted, due - sent_));
}

uint64_t TWaveOutPace::ahead() const
{
    if (speed_ <= 0 || !started_)
        return 0;
    const double elapsed = std::chrono::duration<double>(TClock::now() - start_).count();
    const double played = elapsed * rate_ * speed_;
    return played >= double(sent_) ? 0 : sent_ - uint64_t(played);
}

uint64_t TWaveOutPace::due(TClock::time_point Now) const
{
    const double elapsed = std::chrono::duration<double>(Now - start_).count();
    return uint64_t(elapsed * rate_ * speed_) + lead_;
}
