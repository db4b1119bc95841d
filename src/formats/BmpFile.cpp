#include "formats/BmpFile.h"

#include "formats/AtomicFile.h"
#include "formats/ReadOnlyFile.h"
#include "platform/Exception.h"

#include <QBuffer>
#include <QImageReader>
#include <cstring>

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
// A bitmap file larger than this is not one a user would assign; reading stops before Qt
// is asked to allocate for it.
constexpr uint64_t kMaxBmpFileSize = 1ull << 30;

void putLe16(char *p, uint16_t v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}

void putLe32(char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

QImage ReadBmpFile(const QString &FileName)
{
    TReadOnlyFile file(FileName);
    QByteArray bytes = file.readAll(kMaxBmpFileSize);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    QImage image = reader.read();
    if (image.isNull())
        throw EModwright("Could not read bitmap \"" + FileName.toStdString() +
                         "\": " + reader.errorString().toStdString());
    return image;
}

QByteArray EncodeBmp24(const QImage &Image)
{
    if (Image.isNull() || Image.width() <= 0 || Image.height() <= 0)
        throw EModwright("There is no image to write as a bitmap.");
    const QImage rgb =
        Image.format() == QImage::Format_RGB888 ? Image : Image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        throw EModwright("Not enough memory to convert the image.");

    const uint64_t width = uint64_t(rgb.width());
    const uint64_t height = uint64_t(rgb.height());
    const uint64_t rowSize = (width * 3 + 3) & ~uint64_t(3);
    const uint64_t pixelBytes = rowSize * height;
    const uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + pixelBytes;
    if (fileSize > 0xFFFFFFFFull || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        throw EModwright("The image is too large for a bitmap file.");

    QByteArray out(qsizetype(fileSize), '\0');
    char *p = out.data();
    // BITMAPFILEHEADER
    p[0] = 'B';
    p[1] = 'M';
    putLe32(p + 2, uint32_t(fileSize));
    putLe32(p + 10, kFileHeaderSize + kInfoHeaderSize); // offset of the pixels
    // BITMAPINFOHEADER
    char *info = p + kFileHeaderSize;
    putLe32(info + 0, kInfoHeaderSize);
    putLe32(info + 4, uint32_t(width));
    putLe32(info + 8, uint32_t(height)); // positive: bottom-up
    putLe16(info + 12, 1);               // planes
    putLe16(info + 14, 24);              // bits per pixel
    putLe32(info + 16, 0);               // BI_RGB, no compression
    putLe32(info + 20, uint32_t(pixelBytes));
    // Resolution, palette size and important colours stay 0.

    char *pixels = p + kFileHeaderSize + kInfoHeaderSize;
    for (uint64_t y = 0; y < height; ++y) {
        const uchar *src = rgb.constScanLine(int(height - 1 - y));
        char *dst = pixels + y * rowSize;
        for (uint64_t x = 0; x < width; ++x) {
            dst[3 * x + 0] = char(src[3 * x + 2]);
            dst[3 * x + 1] = char(src[3 * x + 1]);
            dst[3 * x + 2] = char(src[3 * x + 0]);
        }
        // The padding bytes are already zero.
    }
    return out;
}

void WriteBmp24File(const QString &FileName, const QImage &Image)
{
    WriteFileAtomically(FileName, EncodeBmp24(Image));
}
