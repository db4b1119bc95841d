// The three image header probes on arbitrary bytes: each either measures or raises
// EModwright, and never reads outside the bytes it was given.
#include "platform/Exception.h"
#include "probe/ImageProbes.h"

#include <cstddef>
#include <cstdint>

namespace {

void run(TImageInfo (*probe)(TByteSource &), std::span<const uint8_t> bytes)
{
    TMemorySource source(bytes);
    try {
        const TImageInfo info = probe(source);
        // Every probe reports a depth from a small field.
        if (probe == ProbeGif && (info.BitsPerPixel < 1 || info.BitsPerPixel > 8))
            __builtin_trap();
        if (probe == ProbeJpeg && info.BitsPerPixel != 24)
            __builtin_trap();
    } catch (const EModwright &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    run(ProbeBmp, bytes);
    run(ProbeJpeg, bytes);
    run(ProbeGif, bytes);
    return 0;
}
