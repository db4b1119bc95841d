#include "formats/JpegCodec.h"

#include "formats/ImageFixtures.h"
#include "platform/Exception.h"
#include "probe/ImageProbes.h"
#include "support/TestDir.h"

#include <QFile>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <optional>

using namespace fixtures;

namespace {

std::span<const uint8_t> span(const QByteArray &b)
{
    return {reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size())};
}

// Smooth colour ramps: what JPEG keeps well, so errors show the codec, not the content.
QImage gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, QColor(x * 255 / (w - 1), y * 255 / (h - 1), (x + y) * 127 / (w + h)));
    return image;
}

// Pseudo-random pixels: compress badly, so the stream is long.
QImage noise(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    uint32_t state = 12345;
    for (int y = 0; y < h; ++y) {
        uchar *row = image.scanLine(y);
        for (int i = 0; i < w * 3; ++i) {
            state = state * 1664525u + 1013904223u;
            row[i] = uchar(state >> 24);
        }
    }
    return image;
}

struct TDiff {
    int max = 0;
    double mean = 0;
};

TDiff difference(const QImage &a, const QImage &b)
{
    TDiff d;
    long long sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int i = 0; i < a.width() * 3; ++i) {
            const int e = std::abs(int(a.constScanLine(y)[i]) - int(b.constScanLine(y)[i]));
            d.max = std::max(d.max, e);
            sum += e;
        }
    d.mean = double(sum) / (a.width() * a.height() * 3.0);
    return d;
}

std::string decodeError(const QByteArray &b, const TJpegLimits &limits = {})
{
    try {
        DecodeJpeg(span(b), limits);
        return "";
    } catch (const EModwright &e) {
        return e.what();
    }
}

// libjpeg used directly, for stream kinds our encoder does not write: grey, progressive.
QByteArray encodeBare(const QImage &rgb, bool grey, bool progressive)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = rgb.width();
    cinfo.image_height = rgb.height();
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const QImage source = grey ? rgb.convertToFormat(QImage::Format_Grayscale8) : rgb;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar *>(source.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray result(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return result;
}

} // namespace

TEST(JpegCodec, RoundTripKeepsPixelsWithinTolerance)
{
    const QImage original = gradient(96, 64);
    const QImage back = DecodeJpeg(span(EncodeJpeg(original, 95)));
    ASSERT_EQ(back.format(), QImage::Format_RGB888);
    ASSERT_EQ(back.size(), original.size());
    const TDiff d = difference(original, back);
    EXPECT_LE(d.max, 16);
    EXPECT_LT(d.mean, 1.5);

    // Odd sizes exercise the partial blocks at the right and bottom edges.
    const QImage odd = gradient(33, 17);
    EXPECT_LT(difference(odd, DecodeJpeg(span(EncodeJpeg(odd, 95)))).mean, 2.5);
    const QImage dot = QImage(1, 1, QImage::Format_RGB888);
    EXPECT_EQ(DecodeJpeg(span(EncodeJpeg(dot, 80))).size(), QSize(1, 1));
}

TEST(JpegCodec, QualityRunsFromOneToHundred)
{
    const QImage image = gradient(64, 64);
    for (int bad : {0, 101, -1, 1000}) {
        try {
            EncodeJpeg(image, bad);
            ADD_FAILURE() << bad;
        } catch (const EModwright &e) {
            EXPECT_NE(std::string(e.what()).find("between 1 and 100"), std::string::npos);
        }
    }
    const QByteArray worst = EncodeJpeg(image, 1);
    const QByteArray middle = EncodeJpeg(image, 50);
    const QByteArray best = EncodeJpeg(image, 100);
    EXPECT_LT(worst.size(), middle.size());
    EXPECT_LT(middle.size(), best.size());
    EXPECT_GT(difference(image, DecodeJpeg(span(worst))).mean,
              difference(image, DecodeJpeg(span(best))).mean);
}

TEST(JpegCodec, WritesBaselineJfifThatOurProbesAccept)
{
    const QByteArray jpeg = EncodeJpeg(gradient(50, 30), 98);
    EXPECT_EQ(jpeg.left(4), bytes({0xFF, 0xD8, 0xFF, 0xE0}));
    EXPECT_EQ(jpeg.mid(6, 4), "JFIF");
    EXPECT_TRUE(jpeg.contains(bytes({0xFF, 0xC0})));
    EXPECT_FALSE(jpeg.contains(bytes({0xFF, 0xC2})));
    EXPECT_EQ(jpeg.right(2), bytes({0xFF, 0xD9}));
    TMemorySource source(span(jpeg));
    const TImageInfo info = ProbeJpeg(source);
    EXPECT_EQ(info.Width, 50);
    EXPECT_EQ(info.Height, 30);
}

TEST(JpegCodec, AcceptsAnyPixelFormatAndRefusesNoImage)
{
    const QImage rgb = gradient(40, 20);
    for (QImage::Format f :
         {QImage::Format_ARGB32, QImage::Format_RGB32, QImage::Format_Grayscale8, QImage::Format_RGB16}) {
        const QImage converted = rgb.convertToFormat(f);
        const QImage back = DecodeJpeg(span(EncodeJpeg(converted, 95)));
        EXPECT_LT(difference(converted.convertToFormat(QImage::Format_RGB888), back).mean, 3.0) << f;
    }
    QImage flat(16, 16, QImage::Format_RGB888);
    flat.fill(QColor(0, 128, 255));
    const QImage paletted = flat.convertToFormat(QImage::Format_Indexed8);
    EXPECT_LT(difference(flat, DecodeJpeg(span(EncodeJpeg(paletted, 95)))).mean, 2.0);
    EXPECT_THROW(EncodeJpeg(QImage(), 90), EModwright);
}

TEST(JpegCodec, DecodesGreyAndProgressiveStreams)
{
    const QImage image = gradient(48, 40);
    const QImage grey = DecodeJpeg(span(encodeBare(image, true, false)));
    ASSERT_EQ(grey.size(), image.size());
    const uchar *p = grey.constScanLine(10) + 3 * 20;
    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]); // grey comes out as equal R, G, B
    const QImage progressive = DecodeJpeg(span(encodeBare(image, false, true)));
    EXPECT_LT(difference(image, progressive).mean, 2.0);
}

TEST(JpegCodec, CorruptStreamsRaiseWithLibjpegsMessage)
{
    EXPECT_EQ(decodeError("not a jpeg"), "Not a JPEG file: starts with 0x6e 0x6f");
    EXPECT_EQ(decodeError(""), "Not a JPEG file: starts with 0xff 0xd9"); // the fake end marker
    // A frame header that claims no components.
    EXPECT_FALSE(decodeError(jfifStart() + segment(0xC0, bytes({8, 0, 8, 0, 8, 0}))).empty());
    // A Huffman table whose code counts exceed what the table holds.
    const QByteArray badTable = jfifStart() + dqt() + sof(0xC0, 8, 8) +
                                segment(0xC4, bytes({0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(decodeError(badTable), "Bogus Huffman table definition");

    // Every single-byte change of a real stream either decodes or raises; none ends the process.
    const QByteArray good = EncodeJpeg(gradient(24, 24), 90);
    int raised = 0;
    for (int i = 2; i < good.size(); i += 3) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0xA5);
        raised += decodeError(bad).empty() ? 0 : 1;
    }
    EXPECT_GT(raised, 0);
}

TEST(JpegCodec, TruncatedStreamDecodesWhatIsThere)
{
    const QByteArray full = EncodeJpeg(noise(64, 64), 90);
    const QImage partial = DecodeJpeg(span(full.left(full.size() / 2)));
    EXPECT_EQ(partial.size(), QSize(64, 64));
}

TEST(JpegCodec, RefusesHugeDimensionsBeforeAllocating)
{
    // libjpeg reads the headers up to the start of scan; the refusal follows at once.
    const QByteArray sos = segment(0xDA, bytes({3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}));
    const QByteArray bomb = jfifStart() + dqt() + sof(0xC0, 60000, 60000) + sos + bytes({0xFF, 0xD9});
    EXPECT_EQ(decodeError(bomb), "JPEG image is too large to decode (60000 x 60000 pixels).");
    const QByteArray wide = jfifStart() + dqt() + sof(0xC0, 40000, 1) + sos + bytes({0xFF, 0xD9});
    EXPECT_EQ(decodeError(wide), "JPEG image is too large to decode (40000 x 1 pixels).");
    TJpegLimits small;
    small.MaxPixels = 100;
    const QByteArray eleven = EncodeJpeg(gradient(11, 10), 50);
    EXPECT_EQ(decodeError(eleven, small), "JPEG image is too large to decode (11 x 10 pixels).");
    EXPECT_EQ(decodeError(EncodeJpeg(gradient(10, 10), 50), small), "");
}

TEST(JpegCodec, LimitsTheNumberOfProgressiveScans)
{
    const QByteArray progressive = encodeBare(gradient(32, 32), false, true); // 10 scans
    TJpegLimits few;
    few.MaxScans = 3;
    EXPECT_EQ(decodeError(progressive, few), "JPEG image has too many scans.");
    EXPECT_EQ(decodeError(progressive), "");
}

TEST(JpegCodec, ReadsFilesFromZeroOrBehindMacBinary)
{
    TTestDir dir;
    const QImage image = noise(200, 200); // longer than one 64 KiB read
    const QByteArray jpeg = EncodeJpeg(image, 100);
    ASSERT_GT(jpeg.size(), 64 * 1024);
    const QImage direct = DecodeJpeg(span(jpeg));
    EXPECT_EQ(ReadJpegFile(dir.createFile("plain.jpg", jpeg)), direct);
    EXPECT_EQ(ReadJpegFile(dir.createFile("mac.jpg", macBinary(jpeg))), direct);
    QByteArray exif = jpeg;
    exif[3] = char(0xE1);
    try {
        ReadJpegFile(dir.createFile("exif.jpg", exif));
        ADD_FAILURE();
    } catch (const EModwright &e) {
        EXPECT_STREQ(e.what(), "JPEG has no valid header.");
    }
    EXPECT_THROW(ReadJpegFile(dir.file("missing.jpg")), EModwright);
}

TEST(JpegCodec, WriteReplacesAtomicallyAndReportsFailure)
{
    TTestDir dir;
    const QString path = dir.createFile("out.jpg", "old contents");
    WriteJpegFile(path, gradient(20, 10), 90);
    EXPECT_EQ(ReadJpegFile(path).size(), QSize(20, 10));
    const QString nowhere = dir.file("no/such/folder/out.jpg");
    try {
        WriteJpegFile(nowhere, gradient(20, 10), 90);
        ADD_FAILURE();
    } catch (const EModwright &e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + nowhere.toStdString() + "\". ", 0),
                  0u);
    }
}

TEST(JpegCodec, ReadFailureOfTheSourceComesBackAsItsMessage)
{
    // Serves the first kilobyte, then fails as a disk would.
    class TFailingSource final : public TByteSource {
    public:
        explicit TFailingSource(const QByteArray &bytes) : bytes_(bytes) {}
        uint64_t size() const override { return uint64_t(bytes_.size()); }
        size_t readAt(uint64_t offset, uint8_t *dest, size_t count) override
        {
            if (offset >= 1024)
                throw EModwright("Cannot read file \"x.jpg\". Input/output error");
            TMemorySource inner(span(bytes_));
            return inner.readAt(offset, dest, std::min<size_t>(count, 1024 - offset));
        }

    private:
        QByteArray bytes_;
    };
    TFailingSource source(EncodeJpeg(noise(64, 64), 90));
    try {
        DecodeJpeg(source);
        ADD_FAILURE();
    } catch (const EModwright &e) {
        EXPECT_STREQ(e.what(), "Cannot read file \"x.jpg\". Input/output error");
    }
}

namespace {

// Hands out at most Piece bytes per read, as a slow or network file system may.
class TPieceSource final : public TByteSource {
public:
    TPieceSource(const QByteArray &bytes, size_t piece) : bytes_(bytes), piece_(piece) {}
    uint64_t size() const override { return uint64_t(bytes_.size()); }
    size_t readAt(uint64_t offset, uint8_t *dest, size_t count) override
    {
        TMemorySource inner(span(bytes_));
        return inner.readAt(offset, dest, std::min(count, piece_));
    }

private:
    QByteArray bytes_;
    size_t piece_;
};

std::optional<QImage> decodeOrNothing(auto &&call)
{
    try {
        return call();
    } catch (const EModwright &) {
        return std::nullopt;
    }
}

// Decodes the bytes whole and in pieces of several sizes; every way must give one result.
void expectSameWholeOrInPieces(const QByteArray &bytes)
{
    const std::optional<QImage> whole = decodeOrNothing([&] { return DecodeJpeg(span(bytes)); });
    for (size_t piece : {size_t(1), size_t(7), size_t(1000), size_t(5000), size_t(70000)}) {
        SCOPED_TRACE("pieces of " + std::to_string(piece));
        TPieceSource source(bytes, piece);
        const std::optional<QImage> pieces = decodeOrNothing([&] { return DecodeJpeg(source); });
        ASSERT_EQ(whole.has_value(), pieces.has_value());
        if (whole) {
            EXPECT_TRUE(*whole == *pieces);
        }
    }
}

} // namespace

// libjpeg-turbo takes a faster path through the entropy-coded data while its buffer holds
// enough bytes; on damaged data the two paths disagree, so short reads once changed pixels.
TEST(JpegCodec, DamagedStreamDecodesAlikeWholeOrInPieces)
{
    // Found by fuzzing: 16x53 pixels whole, other pixels 7 bytes at a time.
    QFile found(QString(MODWRIGHT_TEST_DATA) +
                "/../../fuzz/regressions/fuzz_jpeg_decode/damaged-whole-vs-pieces");
    ASSERT_TRUE(found.open(QIODevice::ReadOnly));
    const QByteArray fuzzed = found.readAll();
    ASSERT_EQ(DecodeJpeg(span(fuzzed)).size(), QSize(16, 53));
    expectSameWholeOrInPieces(fuzzed);

    // A stream longer than one input window, damaged on both sides of the window's end.
    QByteArray long_ = EncodeJpeg(noise(200, 200), 100);
    ASSERT_GT(long_.size(), 70000);
    for (int at : {30000, 65000, 65536, 66000})
        long_[at] = char(long_[at] ^ 0x5A);
    expectSameWholeOrInPieces(long_);
    expectSameWholeOrInPieces(EncodeJpeg(gradient(64, 48), 75)); // and an undamaged one
}
