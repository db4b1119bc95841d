#pragma once

#include <cstdint>

// A producer of samples for the wave output. Both calls come from the output's refill
// thread.
class TAudioSource {
public:
    virtual ~TAudioSource() = default;
    // True while the source still has sound to deliver; the output closes the device by
    // itself once the source has stayed inactive for a few buffers.
    virtual bool IsActive() = 0;
    // Writes exactly ByteCount bytes of interleaved 16-bit little-endian samples at Data.
    virtual void FillBuffer(void *Data, uint32_t ByteCount) = 0;
};
