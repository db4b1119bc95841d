#pragma once

// Hand-built image headers for the probe tests: each byte is written where the format puts
// it, so a test reads as the layout it checks.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <initializer_list>

namespace fixtures {

inline void le16(QByteArray &b, uint32_t v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
inline void le32(QByteArray &b, uint32_t v)
{
    le16(b, v & 0xFFFF);
    le16(b, v >> 16);
}
inline void be16(QByteArray &b, uint32_t v)
{
    b.append(char((v >> 8) & 0xFF));
    b.append(char(v & 0xFF));
}
inline void be32(QByteArray &b, uint32_t v)
{
    be16(b, v >> 16);
    be16(b, v & 0xFFFF);
}
inline QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

// A BMP with a Windows info header of InfoSize bytes (40, 108, 124), no palette, and
// PixelBytes zero bytes of pixels. FileSizeField -1: the true file size.
inline QByteArray bmp(int32_t width, int32_t height, uint16_t bits, uint32_t infoSize = 40,
                      int pixelBytes = 4, int64_t fileSizeField = -1)
{
    const uint32_t total = 14 + infoSize + uint32_t(pixelBytes);
    QByteArray b;
    b.append("BM");                                               // signature
    le32(b, fileSizeField < 0 ? total : uint32_t(fileSizeField)); // file size
    le32(b, 0);                                                   // reserved
    le32(b, 14 + infoSize);                                       // pixel offset
    le32(b, infoSize);                                            // info header length
    le32(b, uint32_t(width));                                     // +4 width
    le32(b, uint32_t(height));                                    // +8 height (< 0: top-down)
    le16(b, 1);                                                   // +12 planes
    le16(b, bits);                                                // +14 bits per pixel
    b.append(QByteArray(int(infoSize) - 16, '\0'));               // compression ... (V4/V5 masks)
    b.append(QByteArray(pixelBytes, '\0'));
    return b;
}

// A BMP with the 12-byte OS/2 core header: 16-bit width, height, planes, bits.
inline QByteArray coreBmp(uint16_t width, uint16_t height, uint16_t bits, int tailBytes = 28)
{
    QByteArray b;
    b.append("BM");
    le32(b, 14 + 12 + uint32_t(tailBytes)); // file size
    le32(b, 0);                             // reserved
    le32(b, 14 + 12);                       // pixel offset
    le32(b, 12);                            // core header length
    le16(b, width);                         // +4
    le16(b, height);                        // +6
    le16(b, 1);                             // +8 planes
    le16(b, bits);                          // +10
    b.append(QByteArray(tailBytes, '\0'));  // palette and pixels
    return b;
}

// FF D8 (start of image) then an APP0 "JFIF" segment of 16 bytes, optionally carrying a
// thumbnail of ThumbBytes bytes (which makes the segment longer).
inline QByteArray jfifStart(int thumbBytes = 0)
{
    QByteArray b = bytes({0xFF, 0xD8});
    b.append(bytes({0xFF, 0xE0}));
    be16(b, 16 + uint32_t(thumbBytes)); // APP0 length, counting itself
    b.append("JFIF", 5);                // identifier with its zero
    b.append(bytes({1, 1}));            // version 1.01
    b.append(char(0));                  // density units
    be16(b, 1);                         // x density
    be16(b, 1);                         // y density
    b.append(char(0));                  // thumbnail width
    b.append(char(0));                  // thumbnail height
    b.append(QByteArray(thumbBytes, '\x55'));
    return b;
}

// A segment: FF, the marker, its length (counting itself) and a body.
inline QByteArray segment(int marker, const QByteArray &body)
{
    QByteArray b = bytes({0xFF, marker});
    be16(b, uint32_t(body.size() + 2));
    b.append(body);
    return b;
}

// A quantisation table segment (64 entries of table 0).
inline QByteArray dqt()
{
    return segment(0xDB, QByteArray(1, '\0') + QByteArray(64, '\x01'));
}

// A frame header: precision 8, height, width, three components.
inline QByteArray sof(int marker, uint16_t width, uint16_t height)
{
    QByteArray body;
    body.append(char(8));
    be16(body, height);
    be16(body, width);
    body.append(char(3));
    body.append(bytes({1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}));
    return segment(marker, body);
}

// A JFIF file whose headers (not its data) say Width x Height.
inline QByteArray jpegHeaders(uint16_t width, uint16_t height, int frameMarker = 0xC0)
{
    return jfifStart() + dqt() + sof(frameMarker, width, height) + bytes({0xFF, 0xD9});
}

// 128 bytes of MacBinary header in front of a file (contents irrelevant to us).
inline QByteArray macBinary(const QByteArray &file)
{
    QByteArray header(128, '\0');
    header[1] = 8;
    header.replace(2, 8, "PICTURE ");
    return header + file;
}

// GIF89a, logical screen Width x Height, packed byte, background, aspect.
inline QByteArray gif(uint16_t width, uint16_t height, uint8_t packed)
{
    QByteArray b("GIF89a");
    le16(b, width);
    le16(b, height);
    b.append(char(packed)); // global table flag, colour resolution - 1 (bits 4-6), sort, size
    b.append(char(0));      // background colour index
    b.append(char(0));      // pixel aspect ratio
    return b;
}

} // namespace fixtures
