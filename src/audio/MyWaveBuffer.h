#pragma once

#include "platform/WaveOut.h"

#include <cstdint>
#include <memory>

class TWaveOutput;

// One of the output's two sample buffers with its wave header. The memory is allocated
// once, large enough for the longest buffer the device ever asks for.
class TMyWaveBuffer {
public:
    // One second of 16-bit stereo at 48 kHz.
    static constexpr uint32_t DataSize = 192000;

    explicit TMyWaveBuffer(TWaveOutput *Owner) : owner_(Owner), data_(new char[DataSize]())
    {
        header_.lpData = data_.get();
        header_.dwUser = reinterpret_cast<uintptr_t>(this);
    }
    TMyWaveBuffer(const TMyWaveBuffer &) = delete;
    TMyWaveBuffer &operator=(const TMyWaveBuffer &) = delete;

    TWaveOutput *Owner() const { return owner_; }
    WAVEHDR *Header() { return &header_; }
    char *Data() { return data_.get(); }

private:
    TWaveOutput *owner_;
    std::unique_ptr<char[]> data_;
    WAVEHDR header_;
};
