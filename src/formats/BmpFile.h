#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Windows bitmaps: any BMP is read through Qt's bitmap reader; what we write is always the
// plainest kind, 24 bits per pixel, uncompressed, bottom-up, which every reader accepts.

// Reads a BMP file of any kind Qt knows (1 to 32 bits, RLE, core and V5 headers). The file
// must be a bitmap whatever else Qt could read. Raises EModwright with the open error or
// with "Could not read bitmap "<path>": <Qt's reason>".
QImage ReadBmpFile(const QString &FileName);

// The file image of a 24-bit bitmap: a 14-byte file header, a 40-byte info header, then the
// rows from the bottom up in blue, green, red order, each padded with zeros to a multiple of
// 4 bytes. Other pixel formats are converted first (alpha is dropped). Raises for an empty
// image or one whose file would not fit the 32-bit size fields.
QByteArray EncodeBmp24(const QImage &Image);

// Encodes, then creates or replaces the file atomically.
void WriteBmp24File(const QString &FileName, const QImage &Image);
