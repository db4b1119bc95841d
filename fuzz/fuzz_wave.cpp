// Checks the header probe against the full parser, feeds arbitrary bytes to the WAV parser,
// then uses what it accepted the way the program does: reads every sample byte the format
// record promises and converts the samples into a new AIFF image (the mod build's path), which
// must parse back with the same frames.

#include "HeaderProbeCheck.h"
#include "formats/AIFFFile.h"
#include "formats/WaveFile.h"
#include "platform/Exception.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckHeaderProbe<TWaveFile>(data, size);
    std::unique_ptr<TWaveFile> wav;
    try {
        wav = TWaveFile::CreateFromImage(data, size);
    } catch (const EAssertionFailed &) {
        std::abort(); // bad input must get a message, never break an internal rule
    } catch (const EModwright &) {
        return 0;
    }
    const TAudioFormat f = wav->GetFormat();
    const int64_t block = f.Channels * (f.BitsPerSample / 8);
    if (f.Data < data || f.DataSize < 0 || f.Data + f.DataSize > data + size ||
        f.FrameCount * block > f.DataSize)
        std::abort();
    unsigned sum = 0;
    for (int64_t i = 0; i < f.DataSize; ++i)
        sum += f.Data[i];
    if (sum == 0xFFFFFFFFu) // keeps the reads from being optimised away
        return 1;

    if (f.SampleRate == 0) // no rate to write: the AIFF writer's own rule, not a parse fault
        return 0;
    for (int channels : {1, 2})
        for (int bits : {8, 16}) {
            auto aiff = TAIFFFile::CreateNew(f, channels, bits);
            auto back = TAIFFFile::CreateFromImage(aiff->GetImage(), aiff->GetImageSize());
            if (back->GetFrameCount() != f.FrameCount || back->GetFormat().SampleRate != f.SampleRate)
                std::abort();
        }
    return 0;
}
