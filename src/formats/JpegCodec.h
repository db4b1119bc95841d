#pragma once

#include "probe/ByteSource.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <span>

// JPEG decoding and encoding through libjpeg. libjpeg's errors come back as EModwright
// carrying libjpeg's own message; its warnings (a truncated stream, say) are not errors, the
// missing part decodes as grey, as in any viewer.

// Refusals before any pixel memory is taken, so that a few hostile bytes cannot declare an
// image that needs gigabytes.
struct TJpegLimits {
    uint32_t MaxSide = 32768;          // pixels per side
    uint64_t MaxPixels = 256ull << 20; // width x height
    int MaxScans = 1000;               // progressive scans (each one is a pass over the image)
};

// Decodes the JPEG stream that starts at Offset (0, or 128 behind a MacBinary header) to
// 24-bit RGB (QImage::Format_RGB888) with the accurate settings: integer slow DCT, fancy
// upsampling, block smoothing; nothing traded for speed. Grey images come back as RGB.
QImage DecodeJpeg(TByteSource &Source, uint64_t Offset = 0, const TJpegLimits &Limits = {});
QImage DecodeJpeg(std::span<const uint8_t> Bytes, const TJpegLimits &Limits = {});

// Opens the file, finds the JFIF signature at 0 or 128 and decodes from there.
// "JPEG has no valid header." when there is no signature.
QImage ReadJpegFile(const QString &FileName, const TJpegLimits &Limits = {});

// Encodes the image as a baseline JFIF JPEG of 24-bit colour (any other pixel format is
// converted first, dropping alpha) with libjpeg's quality scale of 1 (smallest) to 100
// (best). Another quality, or an empty image, raises.
QByteArray EncodeJpeg(const QImage &Image, int Quality);
// Encodes, then creates or replaces the file atomically.
void WriteJpegFile(const QString &FileName, const QImage &Image, int Quality);
