#include "probe/ImageProbes.h"

#include "platform/Exception.h"

namespace {

uint16_t le16(const uint8_t *p)
{
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t le32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t be16(const uint8_t *p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

// Start of image, then an APP0 segment whose identifier is "JFIF".
bool isJfifAt(const uint8_t *p)
{
    return p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF && p[3] == 0xE0 && p[6] == 'J' && p[7] == 'F' &&
           p[8] == 'I' && p[9] == 'F';
}

constexpr size_t kJfifWindow = 145; // the signature at 0, or at 128 behind a MacBinary header
constexpr uint64_t kMacBinarySize = 128;

// BITMAPINFOHEADER lengths: 12 is the OS/2 1.x core header (16-bit fields); 16 and 64 the
// OS/2 2.x header, 40 the Windows one, 52 and 56 its Adobe extensions, 108 and 124 the V4 and
// V5 headers. All but the core header begin with the 40-byte header's fields.
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

} // namespace

std::optional<uint64_t> JpegDataOffset(TByteSource &Source)
{
    uint8_t head[kJfifWindow];
    const size_t n = Source.readAt(0, head, sizeof head);
    if (n > 10 && isJfifAt(head))
        return 0;
    if (n > 138 && isJfifAt(head + kMacBinarySize))
        return kMacBinarySize;
    return std::nullopt;
}

TImageInfo ProbeJpeg(TByteSource &Source)
{
    const std::optional<uint64_t> start = JpegDataOffset(Source);
    if (!start)
        throw EModwright("JPEG has no valid header.");
    // Walk the segments from the one after start of image: each is FF, a marker byte and a
    // big-endian length that counts itself but not the marker. Every step advances by at
    // least 4 bytes, so the walk ends at the end of the file whatever the lengths say.
    uint64_t pos = *start + 2;
    for (;;) {
        uint8_t segment[4];
        if (Source.readAt(pos, segment, 4) < 4 || segment[0] != 0xFF)
            throw EModwright("JPEG has no SOF marker.");
        const uint16_t length = be16(segment + 2);
        if (length < 2)
            throw EModwright("JPEG has no SOF marker.");
        // Only the baseline frame header counts; progressive and extended frames (C1, C2,
        // ...) are skipped like any other segment.
        if (segment[1] == 0xC0) {
            uint8_t frame[6]; // precision, height, width, component count
            if (length - 2 < 6 || Source.readAt(pos + 4, frame, 6) < 6)
                throw EModwright("JPEG is corrupt.");
            TImageInfo info;
            info.Width = be16(frame + 3);
            info.Height = be16(frame + 1);
            info.BitsPerPixel = 24; // whatever the component count
            return info;
        }
        pos += 2 + uint64_t(length);
    }
}

TImageInfo ProbeBmp(TByteSource &Source)
{
    // BITMAPFILEHEADER: "BM", file size, two reserved words, offset of the pixels.
    uint8_t fileHeader[14];
    if (Source.readAt(0, fileHeader, sizeof fileHeader) < sizeof fileHeader)
        throw EModwright("Could not read bitmap.");
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M' || le32(fileHeader + 2) > Source.size())
        throw EModwright("Bitmap is corrupt.");

    uint8_t info[kInfoHeaderSize];
    const size_t got = Source.readAt(sizeof fileHeader, info, sizeof info);
    if (got < 4)
        throw EModwright("Could not read bitmap.");
    const uint32_t headerSize = le32(info);
    // A core header needs only its own 12 bytes, so a tiny OS/2 bitmap is still read; every
    // other kind needs the 40 bytes of the Windows header (or its own length when shorter).
    if (headerSize < kCoreHeaderSize || (headerSize > kCoreHeaderSize && headerSize < 16))
        throw EModwright("Bitmap is corrupt.");
    if (got < std::min(headerSize, kInfoHeaderSize))
        throw EModwright("Could not read bitmap.");

    TImageInfo result;
    if (headerSize == kCoreHeaderSize) {
        result.Width = le16(info + 4);
        result.Height = le16(info + 6);
        result.BitsPerPixel = le16(info + 10);
    } else {
        result.Width = int32_t(le32(info + 4));
        result.Height = int32_t(le32(info + 8)); // negative for a top-down bitmap
        result.BitsPerPixel = le16(info + 14);
    }
    return result;
}

TImageInfo ProbeGif(TByteSource &Source)
{
    // "GIF87a"/"GIF89a", then the logical screen descriptor: width, height (little-endian),
    // a packed byte whose bits 4-6 hold the colour resolution minus one. The signature is
    // deliberately not checked.
    uint8_t header[13];
    if (Source.readAt(0, header, sizeof header) < sizeof header)
        throw EModwright("corrupt GIF image");
    TImageInfo info;
    info.Width = le16(header + 6);
    info.Height = le16(header + 8);
    info.BitsPerPixel = ((header[10] >> 4) & 7) + 1;
    return info;
}
