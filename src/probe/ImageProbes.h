#pragma once

#include "probe/ByteSource.h"
#include "probe/ImageInfo.h"

#include <optional>

// The header probes of the three image formats. Each reads only the few header bytes it
// needs from the source (never pixel data) and raises EModwright with the format's message
// when the headers are short or wrong. They know nothing of file names; GetImageInfo
// (Probes.h) chooses one by extension and adds the file name where the message wants it.

// Where the JPEG data starts when a JFIF signature (FF D8 FF E0, then "JFIF" at +6) is found
// at offset 0 or, behind a 128-byte MacBinary header, at 128; none when neither holds.
// Reads at most the first 145 bytes.
std::optional<uint64_t> JpegDataOffset(TByteSource &Source);

// "JPEG has no valid header.", "JPEG has no SOF marker.", "JPEG is corrupt.".
TImageInfo ProbeJpeg(TByteSource &Source);
// "Could not read bitmap.", "Bitmap is corrupt." (without the file name line).
TImageInfo ProbeBmp(TByteSource &Source);
// "corrupt GIF image".
TImageInfo ProbeGif(TByteSource &Source);
