// Checks the header probe against the full parser, feeds arbitrary bytes to the AIFF parser,
// then uses what it accepted the way the program does: reads every sample byte the format
// record promises and converts the frames into a new WAV and a new AIFF image, which must
// parse back with the same frame count and rate.

#include "HeaderProbeCheck.h"
#include "formats/AIFFFile.h"
#include "formats/WaveFile.h"
#include "platform/Exception.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckHeaderProbe<TAIFFFile>(data, size);
    std::unique_ptr<TAIFFFile> aiff;
    try {
        aiff = TAIFFFile::CreateFromImage(data, size);
    } catch (const EAssertionFailed &) {
        std::abort(); // bad input must get a message, never break an internal rule
    } catch (const EModwright &) {
        return 0;
    }
    const TAudioFormat f = aiff->GetFormat();
    const int64_t block = f.Channels * (f.BitsPerSample / 8);
    if (f.Data < data || f.DataSize < 0 || f.Data + f.DataSize > data + size ||
        f.FrameCount * block > f.DataSize)
        std::abort();
    unsigned sum = 0;
    for (int64_t i = 0; i < f.DataSize; ++i)
        sum += f.Data[i];
    if (sum == 0xFFFFFFFFu) // keeps the reads from being optimised away
        return 1;

    for (int channels : {1, 2})
        for (int bits : {8, 16}) {
            auto wav = TWaveFile::CreateNew(f, channels, bits);
            auto wavBack = TWaveFile::CreateFromImage(wav->GetImage(), wav->GetImageSize());
            const int64_t bytes = f.FrameCount * channels * (bits / 8);
            if (wavBack->GetSampleDataSize() != bytes + (bytes & 1) ||
                wavBack->GetFormat().SampleRate != f.SampleRate)
                std::abort();
            if (f.SampleRate == 0) // no rate to write as AIFF: the writer's own rule
                continue;
            auto copy = TAIFFFile::CreateNew(f, channels, bits);
            auto back = TAIFFFile::CreateFromImage(copy->GetImage(), copy->GetImageSize());
            if (back->GetFrameCount() != f.FrameCount || back->GetFormat().SampleRate != f.SampleRate)
                std::abort();
        }
    return 0;
}
