#include "audio/AudioStream.h"

#include <cstdint>
#include <cstring>

void TAudioStream::Silence(float *Buffer, int Frames) const
{
    if (Frames > 0 && channels_ > 0)
        std::memset(Buffer, 0, size_t(Frames) * size_t(channels_) * sizeof(float));
}

void ExpandSamples(float *Buffer, size_t Count, int BitsPerSample, bool BigEndian)
{
    // The raw bytes are read through an unsigned char pointer and every float is stored
    // with memcpy: sample k's bytes lie at or before float k's, so going backwards never
    // overwrites a sample that is still to be read.
    unsigned char *bytes = reinterpret_cast<unsigned char *>(Buffer);
    if (BitsPerSample == 8) {
        for (size_t k = Count; k-- > 0;) {
            const int v = BigEndian ? int(int8_t(bytes[k])) : int(bytes[k]) - 128;
            const float f = float(v * 256);
            std::memcpy(bytes + 4 * k, &f, sizeof f);
        }
        return;
    }
    for (size_t k = Count; k-- > 0;) {
        const unsigned char *p = bytes + 2 * k;
        const int16_t v = BigEndian ? int16_t((p[0] << 8) | p[1]) : int16_t(p[0] | (p[1] << 8));
        const float f = float(v);
        std::memcpy(bytes + 4 * k, &f, sizeof f);
    }
}
