#pragma once

#include <cstdint>

// What a sample file holds, as one plain record copied by value. Frame count and data
// size are 64-bit so that no product of 32-bit container fields can wrap on the way here.
// `Data` points into the object that filled the record and is valid only while it lives.
struct TAudioFormat {
    int32_t Channels = 0;      // 1 (mono) or 2 (stereo, interleaved left, right)
    int32_t BitsPerSample = 0; // 8 or 16
    uint32_t SampleRate = 0;   // whole sample frames per second
    int64_t FrameCount = 0;
    // The sample encoding family. false (WAV): 8-bit unsigned with silence at 128, 16-bit
    // signed little-endian. true (AIFF): 8-bit signed, 16-bit signed big-endian.
    bool BigEndian = false;
    int64_t DataSize = 0; // byte length of the sample data as the container declares it
    const uint8_t *Data = nullptr;
};
