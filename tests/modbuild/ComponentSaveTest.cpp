#include "modbuild/ComponentSave.h"

#include "BuildFixture.h"

#include <QFile>
#include <csignal>
#include <sys/resource.h>

using namespace fixture;

namespace {

constexpr int Led = 15;     // 109x16, "LED digits", 12015.jpg
constexpr int BassDrum = 1; // "808 Bassdrum", TR808BD.aif

bool IsBaselineJfif(const QByteArray &b)
{
    return b.startsWith(QByteArray("\xFF\xD8\xFF\xE0", 4)) && b.mid(6, 4) == "JFIF" &&
           b.contains(QByteArray("\xFF\xC0", 2)) && !b.contains(QByteArray("\xFF\xC2", 2));
}

// The first entry (the DC step) of the 8-bit quantisation table 0 of a JPEG; -1 when none.
int FirstLuminanceStep(const QByteArray &jpeg)
{
    for (qsizetype pos = 2; pos + 4 < jpeg.size();) {
        if (uint8_t(jpeg[pos]) != 0xFF)
            return -1;
        const uint8_t marker = uint8_t(jpeg[pos + 1]);
        const int length = (uint8_t(jpeg[pos + 2]) << 8) | uint8_t(jpeg[pos + 3]);
        if (marker == 0xDA)
            return -1; // the scan: no table before it
        // DQT: length, then per table a byte of precision (high nibble) and id (low nibble).
        if (marker == 0xDB && pos + 5 < jpeg.size() && uint8_t(jpeg[pos + 4]) == 0x00)
            return uint8_t(jpeg[pos + 5]);
        pos += 2 + length;
    }
    return -1;
}

} // namespace

class ComponentSave : public TBuildTest {
protected:
    bool save(const TAssignmentData &row, const QString &destination)
    {
        return SaveAssignedFile(row, destination, messages, settings);
    }
};

TEST_F(ComponentSave, JpegToJpegIsAByteCopy)
{
    const QByteArray jpeg = JpegBytes(Gradient(109, 16));
    assign(image(Led), dir.createFile("src/led.JPG", jpeg));
    ASSERT_TRUE(save(image(Led), dir.file("12015.jpg")));
    EXPECT_EQ(TTestDir::readAll(dir.file("12015.jpg")), jpeg);
    EXPECT_TRUE(messages.lines.isEmpty());
}

TEST_F(ComponentSave, MacBinaryHeaderIsDroppedFromAJpegCopy)
{
    const QByteArray jpeg = JpegBytes(Gradient(109, 16));
    QByteArray mac(128, '\0');
    mac[1] = 7;
    assign(image(Led), dir.createFile("mac.jpg", mac + jpeg));
    ASSERT_TRUE(save(image(Led), dir.file("12015.jpg")));
    EXPECT_EQ(TTestDir::readAll(dir.file("12015.jpg")), jpeg);
}

TEST_F(ComponentSave, LargeFilesAreCopiedWhole)
{
    // More than a few copy blocks of 16385 bytes, ending mid-block.
    QByteArray bmp = BmpBytes(Gradient(400, 300));
    ASSERT_GT(bmp.size(), 5 * 16385);
    assign(image(Led), dir.createFile("big.bmp", bmp));
    ASSERT_TRUE(save(image(Led), dir.file("copy.BMP")));
    EXPECT_EQ(TTestDir::readAll(dir.file("copy.BMP")), bmp);
}

TEST_F(ComponentSave, BmpBecomesABaselineJpegOfTheSamePixels)
{
    const QImage picture = Gradient(640, 480);
    assign(image(15), dir.createFile("panel.bmp", BmpBytes(picture)));
    settings.JpegCompressionRatio = 100;
    ASSERT_TRUE(save(image(15), dir.file("12015.jpg")));
    const QByteArray written = TTestDir::readAll(dir.file("12015.jpg"));
    EXPECT_TRUE(IsBaselineJfif(written));
    const QImage decoded =
        DecodeJpeg(std::span(reinterpret_cast<const uint8_t *>(written.data()), size_t(written.size())));
    ASSERT_EQ(decoded.size(), picture.size());
    EXPECT_LE(MaxChannelDifference(decoded, picture), 6);

    // The configured quality is the one used: a low one gives a smaller, coarser file.
    settings.JpegCompressionRatio = 5;
    ASSERT_TRUE(save(image(15), dir.file("low.jpg")));
    const QByteArray low = TTestDir::readAll(dir.file("low.jpg"));
    EXPECT_LT(low.size(), written.size() / 2);
    // libjpeg's quality scale, read back from the file: the DC step of the luminance table
    // (16 in the standard table) is 16 * 5000 / q / 100 below quality 50, and 1 at 100.
    EXPECT_EQ(FirstLuminanceStep(low), 160);
    EXPECT_EQ(FirstLuminanceStep(written), 1);
}

TEST_F(ComponentSave, JpegBecomesA24BitBmpOfTheDecodedPixels)
{
    const QByteArray jpeg = JpegBytes(Gradient(109, 16), 80);
    assign(image(Led), dir.createFile("led.jpg", jpeg));
    settings.UseOtherExt[0] = true;
    ASSERT_TRUE(save(image(Led), dir.file("led.bmp")));
    const QByteArray bmp = TTestDir::readAll(dir.file("led.bmp"));
    ASSERT_GE(bmp.size(), 54);
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(get32le(bmp, 14), 40u);          // info header
    EXPECT_EQ(int32_t(get32le(bmp, 18)), 109); // width
    EXPECT_EQ(int32_t(get32le(bmp, 22)), 16);  // height, bottom-up
    EXPECT_EQ(uint8_t(bmp[28]), 24);           // bits per pixel
    EXPECT_EQ(get32le(bmp, 30), 0u);           // uncompressed
    const QImage expected =
        DecodeJpeg(std::span(reinterpret_cast<const uint8_t *>(jpeg.data()), size_t(jpeg.size())));
    EXPECT_TRUE(SamePixels(QImage::fromData(bmp, "BMP"), expected));
}

TEST_F(ComponentSave, ExifJpegIsNoValidJpegAndWritesNothing)
{
    const QString exif = dir.createFile("photo.jpg", ExifJpeg(Gradient(109, 16)));
    // The check refuses it; the save is reached through an assignment made before
    // the file was replaced.
    const QString path = dir.createFile("led.jpg", JpegBytes(Gradient(109, 16)));
    assign(image(Led), path);
    QFile::remove(path);
    QFile::copy(exif, path);
    EXPECT_FALSE(save(image(Led), dir.file("12015.jpg")));
    EXPECT_FALSE(save(image(Led), dir.file("led.bmp")));
    EXPECT_EQ(messages.lines,
              (QStringList{path + " is no valid JPEG image file.", path + " is no valid JPEG image file."}));
    EXPECT_FALSE(QFile::exists(dir.file("12015.jpg")));
    EXPECT_FALSE(QFile::exists(dir.file("led.bmp")));
}

TEST_F(ComponentSave, BmpSourceIsCopiedAsItIsWhenTheDestinationIsBmp)
{
    const QByteArray notReally("BM but not a bitmap at all");
    const QString path = dir.createFile("led.bmp", BmpBytes(Gradient(109, 16)));
    assign(image(Led), path);
    dir.createFile("led.bmp", notReally);
    ASSERT_TRUE(save(image(Led), dir.file("out.bmp")));
    EXPECT_EQ(TTestDir::readAll(dir.file("out.bmp")), notReally);
}

TEST_F(ComponentSave, EightBitStereoWavBecomesSixteenBitMonoAiff)
{
    // Left, right pairs; 8-bit values are widened before the average.
    assign(drum(BassDrum),
           dir.createFile("bd.wav", WavBytes(2, 8, 44100, {127, 127, -128, -128, 1, 0, -1, 0, 10, -20})));
    ASSERT_TRUE(save(drum(BassDrum), dir.file("TR808BD.aif")));
    const TSamples s = ReadSamples(TTestDir::readAll(dir.file("TR808BD.aif")));
    EXPECT_EQ(s.container, "AIFF");
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.bits, 16);
    EXPECT_EQ(s.rate, 44100u);
    EXPECT_EQ(s.points, (std::vector<int>{127 * 256, -128 * 256, 128, -128, -1280}));
}

TEST_F(ComponentSave, SixteenBitStereoAiffBecomesMonoWav)
{
    assign(drum(BassDrum),
           dir.createFile("bd.aif", AiffBytes(2, 16, 44100, {32767, 32767, -32768, -32768, 3, 0, -3, 0})));
    ASSERT_TRUE(save(drum(BassDrum), dir.file("bd.WAV")));
    const TSamples s = ReadSamples(TTestDir::readAll(dir.file("bd.WAV")));
    EXPECT_EQ(s.container, "WAVE");
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.bits, 16);
    EXPECT_EQ(s.rate, 44100u);
    EXPECT_EQ(s.points, (std::vector<int>{32767, -32768, 1, -1})); // truncated toward zero
}

TEST_F(ComponentSave, SixteenBitMonoIsRewrittenEvenInItsOwnFamily)
{
    const std::vector<int> points{0, 1, -1, 32767, -32768, 1234};
    assign(drum(BassDrum), dir.createFile("bd.aif", AiffBytes(1, 16, 44100, points)));
    ASSERT_TRUE(save(drum(BassDrum), dir.file("TR808BD.aif")));
    const QByteArray out = TTestDir::readAll(dir.file("TR808BD.aif"));
    EXPECT_EQ(ReadSamples(out).points, points);
    EXPECT_EQ(out.size(), 54 + 12); // the canonical header, whatever the source had

    assign(drum(2), dir.createFile("cb.wav", WavBytes(1, 8, 44100, {-128, 0, 127})));
    ASSERT_TRUE(save(drum(2), dir.file("cb.aif")));
    EXPECT_EQ(ReadSamples(TTestDir::readAll(dir.file("cb.aif"))).points,
              (std::vector<int>{-32768, 0, 32512}));
}

TEST_F(ComponentSave, MislabelledSampleFileIsReportedAndTheOldFileSurvives)
{
    const QString path = dir.createFile("bd.aif", AiffBytes(1, 16, 44100, {1, 2}));
    assign(drum(BassDrum), path);
    dir.createFile("bd.aif", WavBytes(1, 16, 44100, {1, 2})); // now a WAV under an AIFF name
    const QByteArray old("the previous file");
    const QString destination = dir.createFile("out/TR808BD.aif", old);
    EXPECT_FALSE(save(drum(BassDrum), destination));
    ASSERT_EQ(messages.lines.size(), 1);
    EXPECT_FALSE(messages.lines[0].isEmpty());
    EXPECT_EQ(TTestDir::readAll(destination), old);
    EXPECT_EQ(entries(dir.file("out")), QStringList{"TR808BD.aif"}); // no temporary file left
}

TEST_F(ComponentSave, UnwritableDestinationGivesAMessageAndNoFile)
{
    // Root ignores permissions, so the folder is made impossible: its "parent" is a file.
    dir.createFile("blocker", "a file");
    assign(image(Led), dir.createFile("led.jpg", JpegBytes(Gradient(109, 16))));
    assign(drum(BassDrum), dir.createFile("bd.wav", WavBytes(1, 16, 44100, {1})));
    EXPECT_FALSE(save(image(Led), dir.file("blocker/12015.jpg")));
    EXPECT_FALSE(save(image(Led), dir.file("blocker/12015.bmp")));
    EXPECT_FALSE(save(drum(BassDrum), dir.file("blocker/TR808BD.aif")));
    ASSERT_EQ(messages.lines.size(), 3);
    for (const QString &line : messages.lines)
        EXPECT_TRUE(line.contains("blocker/")) << line.toStdString();
    EXPECT_EQ(TTestDir::readAll(dir.file("blocker")), "a file");
}

// A full disk, as root cannot be kept from writing otherwise: the file size
// limit makes every write past it fail (EFBIG) as a full disk would (ENOSPC).
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(ComponentSave, FullDiskLeavesTheOldFileAndNoHalfWrittenOne)
{
    const QByteArray old("the file from last time");
    const QString out = dir.createDir("out");
    assign(image(Led), dir.createFile("big.bmp", BmpBytes(Gradient(300, 200))));
    assign(drum(BassDrum), dir.createFile("bd.wav", WavBytes(1, 16, 44100, std::vector<int>(20000, 7))));
    dir.createFile("out/12015.bmp", old);
    dir.createFile("out/12015.jpg", old);
    dir.createFile("out/TR808BD.aif", old);
    messages.ClearMessages(); // the size warning
    bool copied, encoded, converted;
    {
        TFileSizeLimit limit(4000);
        settings.JpegCompressionRatio = 100;
        copied = save(image(Led), out + "/12015.bmp");
        encoded = save(image(Led), out + "/12015.jpg");
        converted = save(drum(BassDrum), out + "/TR808BD.aif");
    }
    EXPECT_FALSE(copied);
    EXPECT_FALSE(encoded);
    EXPECT_FALSE(converted);
    EXPECT_EQ(messages.lines.size(), 3);
    for (const QString name : {"12015.bmp", "12015.jpg", "TR808BD.aif"})
        EXPECT_EQ(TTestDir::readAll(out + "/" + name), old) << name.toStdString();
    EXPECT_EQ(entries(out), (QStringList{"12015.bmp", "12015.jpg", "TR808BD.aif"}));
}

TEST_F(ComponentSave, MissingSourceIsReportedUnassignedIsSilent)
{
    const QString path = dir.createFile("bd.wav", WavBytes(1, 16, 44100, {1}));
    assign(drum(BassDrum), path);
    QFile::remove(path);
    EXPECT_FALSE(save(drum(BassDrum), dir.file("TR808BD.aif")));
    EXPECT_EQ(messages.lines.size(), 1);
    EXPECT_FALSE(save(drum(3), dir.file("TR808CH.aif")));
    EXPECT_EQ(messages.lines.size(), 1);
    EXPECT_FALSE(QFile::exists(dir.file("TR808CH.aif")));
}

TEST_F(ComponentSave, SavingAFileOntoItselfKeepsIt)
{
    const std::vector<int> points{5, -5, 7};
    const QString path = dir.createFile("TR808BD.aif", AiffBytes(1, 16, 44100, points));
    assign(drum(BassDrum), path);
    ASSERT_TRUE(save(drum(BassDrum), path));
    EXPECT_EQ(ReadSamples(TTestDir::readAll(path)).points, points);

    const QByteArray jpeg = JpegBytes(Gradient(109, 16));
    const QString jpg = dir.createFile("12015.jpg", jpeg);
    assign(image(Led), jpg);
    ASSERT_TRUE(save(image(Led), jpg));
    EXPECT_EQ(TTestDir::readAll(jpg), jpeg);
}

TEST(ComponentFileName, PackerOrDisplayNameWithEitherExtension)
{
    CreateCatalogue();
    const TAssignmentData led(true, Led), bd(false, BassDrum), splash(true, 14);
    EXPECT_EQ(ComponentFileName(led, false, false), "12015.jpg");
    EXPECT_EQ(ComponentFileName(led, false, true), "12015.bmp");
    EXPECT_EQ(ComponentFileName(led, true, false), "LED digits.jpg");
    EXPECT_EQ(ComponentFileName(led, true, true), "LED digits.bmp");
    EXPECT_EQ(ComponentFileName(splash, false, true), "splash.bmp");
    EXPECT_EQ(ComponentFileName(bd, false, false), "TR808BD.aif");
    EXPECT_EQ(ComponentFileName(bd, false, true), "TR808BD.wav");
    EXPECT_EQ(ComponentFileName(bd, true, false), "808 Bassdrum.aif");
    EXPECT_EQ(ComponentFileName(bd, true, true), "808 Bassdrum.wav");
}
