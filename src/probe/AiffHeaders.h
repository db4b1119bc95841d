#pragma once

#include "probe/AudioBytes.h"
#include "probe/AudioFormat.h"
#include "probe/ByteSource.h"

#include <cstddef>
#include <cstdint>

// The AIFF and AIFF-C header parser shared by the sample file class (on a mapped image) and
// the probes (on a file read a few bytes at a time). Uncompressed ("NONE") samples of 8 or
// 16 bits, mono or stereo; any chunk order; an optional 128-byte MacBinary prefix. Raises
// EModwright with the format's messages.

constexpr size_t kAiffHeaderSize = 54;   // the header we write, and the least a file may hold
constexpr size_t kAiffCommBodySize = 18; // without the AIFC compression type

// Where an accepted file keeps its facts, and the facts themselves.
struct TAiffLayout {
    uint64_t base = 0; // 0, or 128 behind a MacBinary header
    bool aifc = false;
    size_t commHeader = 0;
    size_t ssndHeader = 0;
    TAudioFormat format;
};

TAiffLayout ParseAiffHeaders(audiobytes::TMemoryBytes &Bytes);
TAiffLayout ParseAiffHeaders(audiobytes::TSourceBytes &Bytes);
// The format from the headers alone (Data stays null).
TAudioFormat ReadAiffFormat(TByteSource &Source);

// The sample rate held in an 80-bit IEEE extended value (sign and 15-bit exponent, then a
// 64-bit mantissa with explicit leading bit, big-endian), truncated to a whole number: the
// top 32 mantissa bits shifted right by 16414 - exponent. The sign is ignored; magnitudes
// below 1 read as 0, and 2^32 or more (infinities and NaNs too) as 4294967295.
uint32_t ReadExtendedRate(const uint8_t *Extended);
// Writes Rate (at least 1) as an 80-bit extended value into 10 bytes.
void WriteExtendedRate(uint32_t Rate, uint8_t *Extended);
