// Image files written by another program (tests/data/images, see its README): what our
// probes report and what our readers decode, as a user's files would be.
#include "formats/BmpFile.h"
#include "formats/JpegCodec.h"
#include "formats/Probes.h"
#include "platform/Exception.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QString data(const char *name)
{
    return QString(MODWRIGHT_TEST_DATA) + "/images/" + name;
}

// The files hold a vertical ramp from red (top) to blue (bottom).
void expectRedToBlue(const QImage &image)
{
    const QColor top = image.pixelColor(image.width() / 2, 0);
    const QColor bottom = image.pixelColor(image.width() / 2, image.height() - 1);
    EXPECT_GT(top.red(), 200);
    EXPECT_LT(top.blue(), 60);
    EXPECT_GT(bottom.blue(), 200);
    EXPECT_LT(bottom.red(), 60);
}

} // namespace

TEST(ImageData, ProbesReportWhatTheWriterWrote)
{
    struct {
        const char *name;
        int width, height, bits;
    } const cases[] = {
        {"im-bmp2-core-8bit.bmp", 8, 6, 4}, {"im-bmp3-4bit.bmp", 8, 6, 4},   {"im-bmp3-24bit.bmp", 8, 6, 24},
        {"im-bmp5-32bit.bmp", 8, 6, 32},    {"im-baseline.jpg", 24, 16, 24}, {"im-grey.jpg", 24, 16, 24},
        {"im-4colours.gif", 10, 7, 8},
    };
    for (const auto &c : cases) {
        const TImageInfo info = GetImageInfo(data(c.name));
        EXPECT_EQ(info.Width, c.width) << c.name;
        EXPECT_EQ(info.Height, c.height) << c.name;
        EXPECT_EQ(info.BitsPerPixel, c.bits) << c.name;
    }
    EXPECT_THROW(
        {
            try {
                GetImageInfo(data("im-progressive.jpg"));
            } catch (const EModwright &e) {
                EXPECT_STREQ(e.what(), "JPEG has no SOF marker.");
                throw;
            }
        },
        EModwright);
    EXPECT_THROW(
        {
            try {
                GetImageInfo(data("im-cmyk-adobe.jpg"));
            } catch (const EModwright &e) {
                EXPECT_STREQ(e.what(), "JPEG has no valid header.");
                throw;
            }
        },
        EModwright);
}

TEST(ImageData, ReadersDecodeEveryKind)
{
    for (const char *name : {"im-bmp2-core-8bit.bmp", "im-bmp3-4bit.bmp", "im-bmp3-24bit.bmp",
                             "im-bmp5-32bit.bmp", "im-baseline.jpg", "im-progressive.jpg"}) {
        QImage picture;
        EXPECT_TRUE(LoadImageFile(data(name), picture)) << name << ": " << LastLoadError().toStdString();
        expectRedToBlue(picture);
    }
    const QImage grey = ReadJpegFile(data("im-grey.jpg"));
    EXPECT_EQ(grey.size(), QSize(24, 16));
    EXPECT_EQ(grey.format(), QImage::Format_RGB888);
}

TEST(ImageData, CmykJpegIsRefusedWithoutMessageOrByLibjpeg)
{
    QImage picture(1, 1, QImage::Format_RGB888);
    EXPECT_FALSE(LoadImageFile(data("im-cmyk-adobe.jpg"), picture)); // no JFIF signature
    EXPECT_EQ(picture.size(), QSize(1, 1));
    EXPECT_TRUE(LastLoadError().isEmpty());
    QFile file(data("im-cmyk-adobe.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    try {
        DecodeJpeg({reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())});
        ADD_FAILURE();
    } catch (const EModwright &e) {
        EXPECT_STREQ(e.what(), "Unsupported color conversion request");
    }
}
