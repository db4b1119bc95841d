#include "formats/BmpFile.h"

#include "formats/ImageFixtures.h"
#include "formats/Probes.h"
#include "platform/Exception.h"
#include "support/TestDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace fixtures;

namespace {

uint32_t readLe32(const QByteArray &b, int at)
{
    return uint32_t(uchar(b[at])) | uint32_t(uchar(b[at + 1])) << 8 | uint32_t(uchar(b[at + 2])) << 16 |
           uint32_t(uchar(b[at + 3])) << 24;
}

// 3 x 2: a width whose rows (9 bytes) need 3 bytes of padding.
QImage threeByTwo()
{
    QImage image(3, 2, QImage::Format_RGB888);
    image.setPixelColor(0, 0, QColor(1, 2, 3));
    image.setPixelColor(1, 0, QColor(4, 5, 6));
    image.setPixelColor(2, 0, QColor(7, 8, 9));
    image.setPixelColor(0, 1, QColor(10, 11, 12));
    image.setPixelColor(1, 1, QColor(13, 14, 15));
    image.setPixelColor(2, 1, QColor(16, 17, 18));
    return image;
}

} // namespace

TEST(BmpWriter, HeaderRowsBottomUpInBgrAndPaddedToFourBytes)
{
    const QByteArray b = EncodeBmp24(threeByTwo());
    ASSERT_EQ(b.size(), 54 + 2 * 12);
    EXPECT_EQ(b.left(2), "BM");
    EXPECT_EQ(readLe32(b, 2), 78u);                // file size
    EXPECT_EQ(readLe32(b, 6), 0u);                 // reserved
    EXPECT_EQ(readLe32(b, 10), 54u);               // pixel offset
    EXPECT_EQ(readLe32(b, 14), 40u);               // info header length
    EXPECT_EQ(readLe32(b, 18), 3u);                // width
    EXPECT_EQ(readLe32(b, 22), 2u);                // height, positive: bottom-up
    EXPECT_EQ(b.mid(26, 4), bytes({1, 0, 24, 0})); // planes, bits
    EXPECT_EQ(readLe32(b, 30), 0u);                // BI_RGB
    EXPECT_EQ(readLe32(b, 34), 24u);               // pixel bytes
    EXPECT_EQ(b.mid(38, 16), QByteArray(16, '\0'));
    // The bottom row first, each pixel blue, green, red, then three zero bytes.
    EXPECT_EQ(b.mid(54, 12), bytes({12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0}));
    EXPECT_EQ(b.mid(66, 12), bytes({3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
}

TEST(BmpWriter, RowSizesForEveryPaddingAmount)
{
    for (int w = 1; w <= 8; ++w) {
        QImage image(w, 3, QImage::Format_RGB888);
        image.fill(Qt::red);
        const QByteArray b = EncodeBmp24(image);
        const int row = (w * 3 + 3) / 4 * 4;
        EXPECT_EQ(b.size(), 54 + 3 * row) << w;
        EXPECT_EQ(readLe32(b, 2), uint32_t(b.size())) << w;
        EXPECT_EQ(b.mid(54, 3), bytes({0, 0, 255})) << w;
    }
    EXPECT_THROW(EncodeBmp24(QImage()), EModwright);
}

TEST(BmpWriter, OtherFormatsAreWrittenAsTwentyFourBits)
{
    QImage argb(2, 2, QImage::Format_ARGB32);
    argb.fill(QColor(10, 20, 30, 128));
    const QByteArray b = EncodeBmp24(argb);
    EXPECT_EQ(b.mid(28, 2), bytes({24, 0}));
    EXPECT_EQ(b.mid(54, 3), bytes({30, 20, 10})); // alpha dropped, colour kept
}

TEST(BmpFile, WrittenFileReadsBackThroughQtAndOurProbe)
{
    TTestDir dir;
    const QString path = dir.file("out.bmp");
    const QImage original = threeByTwo();
    WriteBmp24File(path, original);
    const QImage back = ReadBmpFile(path).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(back, original);
    const TImageInfo info = GetImageInfo(path);
    EXPECT_EQ(info.Width, 3);
    EXPECT_EQ(info.Height, 2);
    EXPECT_EQ(info.BitsPerPixel, 24);
    // Replaced in place, no temporary file left beside it.
    WriteBmp24File(path, QImage(5, 5, QImage::Format_RGB888));
    EXPECT_EQ(GetImageInfo(path).Width, 5);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.bmp"});
}

TEST(BmpFile, ReadsPalettedBitmapsAndRefusesOthers)
{
    TTestDir dir;
    // A 2 x 1, 8-bit bitmap with a two-colour palette.
    QByteArray b("BM");
    le32(b, 14 + 40 + 8 + 4); // file size
    le32(b, 0);
    le32(b, 14 + 40 + 8); // pixel offset
    le32(b, 40);
    le32(b, 2); // width
    le32(b, 1); // height
    le16(b, 1);
    le16(b, 8); // bits
    le32(b, 0); // BI_RGB
    le32(b, 4); // pixel bytes
    le32(b, 0);
    le32(b, 0);
    le32(b, 2); // colours used
    le32(b, 0);
    b.append(bytes({0, 0, 255, 0, 255, 0, 0, 0})); // palette: red, blue (B, G, R, 0)
    b.append(bytes({1, 0, 0, 0}));                 // pixels: blue, red, padding
    const QImage image = ReadBmpFile(dir.createFile("pal.bmp", b));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(1, 0), QColor(255, 0, 0));

    // A PNG named .bmp is not a bitmap.
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::green);
    png.save(dir.file("fake.bmp"), "PNG");
    EXPECT_THROW(ReadBmpFile(dir.file("fake.bmp")), EModwright);
    try {
        ReadBmpFile(dir.file("gone.bmp"));
        ADD_FAILURE();
    } catch (const EModwright &e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file", 0), 0u);
    }
}
