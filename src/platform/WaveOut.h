#pragma once

// Wave output in the shape of the classic wave-out calls, so that the playback code above
// it reads like the design it was written from: a device count, device capabilities, a
// format query, open with a completion callback, pause/restart, buffer headers that are
// prepared, written and handed back, reset and close, all answering result codes.
//
// Underneath is a backend (WaveOutBackend.h): ALSA by default, or a stand-in that tests
// install. Each open device has a thread of its own that hands the queued buffers to the
// backend in order and calls back WOM_DONE for each buffer once the device has played its
// last sample (not merely taken it: a sound card's own buffer still has to sound), so
// that a buffer handed back is a buffer heard. The callback runs on that thread; it must
// not call back into waveOutReset or waveOutClose of the same handle.
//
// Plain C++ (no Qt): nothing here depends on an application object.

#include <cstddef>
#include <cstdint>

using MMRESULT = uint32_t;

enum : MMRESULT {
    MMSYSERR_NOERROR = 0,
    MMSYSERR_ERROR = 1,
    MMSYSERR_BADDEVICEID = 2,
    MMSYSERR_NOTENABLED = 3,
    MMSYSERR_ALLOCATED = 4,
    MMSYSERR_INVALHANDLE = 5,
    MMSYSERR_NODRIVER = 6,
    MMSYSERR_NOMEM = 7,
    MMSYSERR_NOTSUPPORTED = 8,
    MMSYSERR_BADERRNUM = 9,
    MMSYSERR_INVALFLAG = 10,
    MMSYSERR_INVALPARAM = 11,
    WAVERR_BADFORMAT = 32,
    WAVERR_STILLPLAYING = 33,
    WAVERR_UNPREPARED = 34,
};

// Device id of the mapper: the system's default output ("default" under ALSA).
constexpr uint32_t WAVE_MAPPER = 0xFFFFFFFFu;
constexpr uint16_t WAVE_FORMAT_PCM = 1;

// waveOutOpen flags.
constexpr uint32_t WAVE_FORMAT_QUERY = 0x00000001u;
constexpr uint32_t CALLBACK_NULL = 0x00000000u;
constexpr uint32_t CALLBACK_FUNCTION = 0x00030000u;

// WAVEHDR flags.
constexpr uint32_t WHDR_DONE = 0x01u;
constexpr uint32_t WHDR_PREPARED = 0x02u;
constexpr uint32_t WHDR_INQUEUE = 0x10u;

// Callback messages.
constexpr uint32_t WOM_OPEN = 0x3BB;
constexpr uint32_t WOM_CLOSE = 0x3BC;
constexpr uint32_t WOM_DONE = 0x3BD; // param1: the WAVEHDR that has been played

// Capability bits of the formats a device plays (11.025, 22.05, 44.1 kHz; mono/stereo;
// 8/16 bits).
constexpr uint32_t WAVE_FORMAT_ALL_CLASSIC = 0x00000FFFu;

constexpr size_t MAXPNAMELEN = 32; // device names hold at most 31 characters

struct WAVEFORMATEX {
    uint16_t wFormatTag = WAVE_FORMAT_PCM;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0; // nBlockAlign * nSamplesPerSec
    uint16_t nBlockAlign = 0;     // bytes per frame: nChannels * wBitsPerSample / 8
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;
};

struct WAVEHDR {
    char *lpData = nullptr;
    uint32_t dwBufferLength = 0; // bytes to play; a trailing partial frame is not played
    uint32_t dwBytesRecorded = 0;
    uintptr_t dwUser = 0;
    uint32_t dwFlags = 0;
    uint32_t dwLoops = 0;
    WAVEHDR *lpNext = nullptr;
    uintptr_t reserved = 0;
};

struct WAVEOUTCAPS {
    uint16_t wMid = 0;
    uint16_t wPid = 0;
    uint32_t vDriverVersion = 0; // major in the high byte, minor in the low byte
    char szPname[MAXPNAMELEN] = {};
    uint32_t dwFormats = 0;
    uint16_t wChannels = 0;
    uint16_t wReserved1 = 0;
    uint32_t dwSupport = 0;
};

struct TWaveOutHandle;
using HWAVEOUT = TWaveOutHandle *;

// Called with CALLBACK_FUNCTION: WOM_OPEN and WOM_CLOSE, and WOM_DONE with the header.
using TWaveOutProc = void (*)(HWAVEOUT Handle, uint32_t Msg, uintptr_t Instance, uintptr_t Param1,
                              uintptr_t Param2);

// The number of playback devices, read afresh from the backend; ids 0..count-1 refer to
// this list until the next call. Only devices that open count, and the discard sink
// ("null") never does, so a machine without any sound output reports 0. The mapper opens
// the system's default device, or the first device when the default does not open; there
// is a mapper exactly when the count is not 0.
uint32_t waveOutGetNumDevs();
// Capabilities of a device id or of WAVE_MAPPER. MMSYSERR_BADDEVICEID for an unknown id,
// MMSYSERR_NODRIVER for the mapper when there is no device at all.
MMRESULT waveOutGetDevCaps(uint32_t DeviceId, WAVEOUTCAPS *Caps, uint32_t CapsSize);
// With WAVE_FORMAT_QUERY only asks whether the device plays Format (Handle may be null).
// Otherwise opens the device; Callback is a TWaveOutProc when Flags has CALLBACK_FUNCTION.
MMRESULT waveOutOpen(HWAVEOUT *Handle, uint32_t DeviceId, const WAVEFORMATEX *Format, uintptr_t Callback,
                     uintptr_t Instance, uint32_t Flags);
// Holds output: queued buffers wait until waveOutRestart.
MMRESULT waveOutPause(HWAVEOUT Handle);
MMRESULT waveOutRestart(HWAVEOUT Handle);
MMRESULT waveOutPrepareHeader(HWAVEOUT Handle, WAVEHDR *Header, uint32_t HeaderSize);
// WAVERR_STILLPLAYING while the header is queued.
MMRESULT waveOutUnprepareHeader(HWAVEOUT Handle, WAVEHDR *Header, uint32_t HeaderSize);
// Queues a prepared header. After a device failure (unplugged) answers the failure's code.
MMRESULT waveOutWrite(HWAVEOUT Handle, WAVEHDR *Header, uint32_t HeaderSize);
// Stops at once, discards what the device holds and hands every queued buffer back
// (WOM_DONE for each, in order) before it returns.
MMRESULT waveOutReset(HWAVEOUT Handle);
// WAVERR_STILLPLAYING while buffers are queued. Otherwise lets the device play out what it
// holds (unless reset since), closes it and invalidates the handle.
MMRESULT waveOutClose(HWAVEOUT Handle);
// The text of a result code, cut to Size - 1 characters; MMSYSERR_BADERRNUM for an unknown
// code.
MMRESULT waveOutGetErrorText(MMRESULT Error, char *Text, uint32_t Size);
