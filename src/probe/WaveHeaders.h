#pragma once

#include "probe/AudioBytes.h"
#include "probe/AudioFormat.h"
#include "probe/ByteSource.h"

#include <cstddef>
#include <cstdint>

// The RIFF WAVE header parser shared by the sample file class (on a mapped image) and the
// probes (on a file read a few bytes at a time). Linear PCM, 8 or 16 bits, mono or stereo;
// any chunk order; an optional 128-byte MacBinary prefix. Raises EModwright with the
// format's messages.

constexpr size_t kWaveHeaderSize = 44; // the canonical header, and the least a file may hold
constexpr size_t kWaveFmtBodySize = 16;

// Where an accepted file keeps its facts, and the facts themselves.
struct TWaveLayout {
    uint64_t base = 0; // 0, or 128 behind a MacBinary header
    size_t fmtBody = 0;
    size_t dataHeader = 0;
    TAudioFormat format;
};

TWaveLayout ParseWaveHeaders(audiobytes::TMemoryBytes &Bytes);
TWaveLayout ParseWaveHeaders(audiobytes::TSourceBytes &Bytes);
// The format from the headers alone (Data stays null).
TAudioFormat ReadWaveFormat(TByteSource &Source);
