#pragma once

// The sample probes read a file's headers a few bytes at a time instead of mapping it; they
// must accept and refuse exactly what the full parser does, with the same facts and words.

#include "formats/AudioFile.h"
#include "platform/Exception.h"
#include "probe/ByteSource.h"

#include <cstdlib>
#include <string>

template <class TFile> void CheckHeaderProbe(const uint8_t *data, size_t size)
{
    std::string fullError, probeError;
    TAudioFormat full, probed;
    try {
        full = TFile::CreateFromImage(data, size)->GetFormat();
    } catch (const EAssertionFailed &) {
        std::abort();
    } catch (const EModwright &e) {
        fullError = e.what();
    }
    try {
        TMemorySource source({data, size});
        probed = TFile::ReadFormat(source);
    } catch (const EAssertionFailed &) {
        std::abort();
    } catch (const EModwright &e) {
        probeError = e.what();
    }
    if (fullError != probeError)
        std::abort();
    if (fullError.empty() &&
        (full.Channels != probed.Channels || full.BitsPerSample != probed.BitsPerSample ||
         full.SampleRate != probed.SampleRate || full.FrameCount != probed.FrameCount ||
         full.DataSize != probed.DataSize || full.BigEndian != probed.BigEndian || probed.Data != nullptr))
        std::abort();
}
