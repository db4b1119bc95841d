#include "formats/Probes.h"

#include "formats/AIFFFile.h"
#include "formats/AudioFixtures.h"
#include "formats/ImageFixtures.h"
#include "formats/JpegCodec.h"
#include "formats/WaveFile.h"
#include "platform/Exception.h"
#include "probe/ImageProbes.h"
#include "support/TestDir.h"

#include <QBuffer>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace fixtures;

namespace {

TImageInfo probe(TImageInfo (*probeFn)(TByteSource &), const QByteArray &b)
{
    TMemorySource source({reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size())});
    return probeFn(source);
}

// The message a probe raises, or "" when it succeeds.
std::string probeError(TImageInfo (*probeFn)(TByteSource &), const QByteArray &b)
{
    try {
        probe(probeFn, b);
        return "";
    } catch (const EModwright &e) {
        return e.what();
    }
}

std::string imageInfoError(const QString &path)
{
    try {
        GetImageInfo(path);
        return "";
    } catch (const EModwright &e) {
        return e.what();
    }
}

std::string audioInfoError(const QString &path)
{
    try {
        GetAudioInfo(path);
        return "";
    } catch (const EModwright &e) {
        return e.what();
    }
}

void expectInfo(const TImageInfo &info, int w, int h, int bits)
{
    EXPECT_EQ(info.Width, w);
    EXPECT_EQ(info.Height, h);
    EXPECT_EQ(info.BitsPerPixel, bits);
}

// Writes a silent sample file of Frames frames with the format given, through our writers.
template <class TFile>
QString writeSamples(TTestDir &dir, const QString &name, int channels, int bits, uint32_t rate, int frames)
{
    const std::vector<uint8_t> silence(size_t(frames) * channels * bits / 8, bits == 8 ? 128 : 0);
    const TAudioFormat source{channels, bits, rate, frames, false, int64_t(silence.size()), silence.data()};
    const QString path = dir.file(name);
    TFile::CreateNew(source, channels, bits)->SaveToFile(path);
    return path;
}

} // namespace

TEST(ProbeExtensions, RecognisedSetsIgnoreCaseAndNeedTheWholeExtension)
{
    for (const char *name : {"a.bmp", "A.BMP", "x/y.Jpg", "z.gif", "dir.wav/p.bmp", ".bmp"})
        EXPECT_TRUE(IsImageFile(name)) << name;
    for (const char *name : {"a.jpeg", "a.png", "bmp", "a.bmp.txt", "a.bmp/", "dir.bmp/file", "a.", ""})
        EXPECT_FALSE(IsImageFile(name)) << name;
    for (const char *name : {"a.wav", "B.WAV", "c.Aif", "d/e.aif"})
        EXPECT_TRUE(IsAudioFile(name)) << name;
    for (const char *name : {"a.aiff", "a.aifc", "a.afc", "a.wave", "a.jpg", "wav"})
        EXPECT_FALSE(IsAudioFile(name)) << name;
}

TEST(BmpProbe, ReadsEveryInfoHeaderKind)
{
    expectInfo(probe(ProbeBmp, bmp(640, 480, 24)), 640, 480, 24);   // Windows 3 header
    expectInfo(probe(ProbeBmp, bmp(31, 7, 32, 108)), 31, 7, 32);    // V4
    expectInfo(probe(ProbeBmp, bmp(1000, 2, 8, 124)), 1000, 2, 8);  // V5
    expectInfo(probe(ProbeBmp, bmp(64, 64, 24, 64)), 64, 64, 24);   // OS/2 2.x
    expectInfo(probe(ProbeBmp, coreBmp(300, 200, 8)), 300, 200, 8); // OS/2 1.x core
    expectInfo(probe(ProbeBmp, coreBmp(65535, 1, 1)), 65535, 1, 1); // core fields are unsigned
    expectInfo(probe(ProbeBmp, bmp(16, 16, 4)), 16, 16, 4);         // 16 colours
    expectInfo(probe(ProbeBmp, bmp(100, -50, 24)), 100, -50, 24);   // top-down
    expectInfo(probe(ProbeBmp, bmp(1, 1, 24, 40, 4, 0)), 1, 1, 24); // size field 0 is allowed
}

TEST(BmpProbe, RefusesWrongSignatureSizeFieldAndHeaderLength)
{
    QByteArray notBm = bmp(1, 1, 24);
    notBm[1] = 'A';
    EXPECT_EQ(probeError(ProbeBmp, notBm), "Bitmap is corrupt.");
    const QByteArray exact = bmp(2, 2, 24, 40, 16);
    EXPECT_EQ(probeError(ProbeBmp, bmp(2, 2, 24, 40, 16, exact.size())), "");
    EXPECT_EQ(probeError(ProbeBmp, bmp(2, 2, 24, 40, 16, exact.size() + 1)), "Bitmap is corrupt.");
    EXPECT_EQ(probeError(ProbeBmp, bmp(2, 2, 24, 40, 16, 0xFFFFFFFF)), "Bitmap is corrupt.");
    // Header lengths no bitmap kind has, below the 12 or 16 bytes that hold the fields.
    for (uint32_t length : {0u, 4u, 11u, 13u, 15u}) {
        QByteArray b = bmp(1, 1, 24);
        b[14] = char(length);
        EXPECT_EQ(probeError(ProbeBmp, b), "Bitmap is corrupt.") << length;
    }
}

TEST(BmpProbe, TruncatedAtEveryHeaderBoundary)
{
    // Size field 0 so that only the bytes present decide.
    const QByteArray full = bmp(5, 6, 24, 40, 0, 0);
    ASSERT_EQ(full.size(), 54);
    for (int n = 0; n < 54; ++n)
        EXPECT_EQ(probeError(ProbeBmp, full.left(n)), "Could not read bitmap.") << n;
    EXPECT_EQ(probeError(ProbeBmp, full), "");

    QByteArray core = coreBmp(5, 6, 8, 0);
    core.replace(2, 4, QByteArray(4, '\0'));
    for (int n = 0; n < 26; ++n)
        EXPECT_EQ(probeError(ProbeBmp, core.left(n)), "Could not read bitmap.") << n;
    expectInfo(probe(ProbeBmp, core), 5, 6, 8); // a 26-byte core bitmap has all it needs

    const QByteArray v5 = bmp(5, 6, 24, 124, 0, 0);
    EXPECT_EQ(probeError(ProbeBmp, v5.left(53)), "Could not read bitmap.");
    expectInfo(probe(ProbeBmp, v5.left(54)), 5, 6, 24); // fields lie in the first 40 bytes
}

TEST(BmpProbe, FileErrorsNameTheFileOnASecondLine)
{
    TTestDir dir;
    dir.createDir("sub");
    const QString path = dir.file("sub/../pic.bmp");
    dir.createFile("pic.bmp", bmp(2, 2, 24, 40, 16, 100));
    const std::string full = QFileInfo(path).absoluteFilePath().toStdString();
    EXPECT_EQ(imageInfoError(path), "Bitmap is corrupt.\r\n(" + full + ")");
    dir.createFile("short.BMP", "BM");
    EXPECT_EQ(imageInfoError(dir.file("short.BMP")),
              "Could not read bitmap.\r\n(" +
                  QFileInfo(dir.file("short.BMP")).absoluteFilePath().toStdString() + ")");
    dir.createFile("good.Bmp", bmp(7, -3, 1));
    expectInfo(GetImageInfo(dir.file("good.Bmp")), 7, -3, 1);
}

TEST(ImageInfo, OpenFailuresAndUnknownExtensions)
{
    TTestDir dir;
    const QString missing = dir.file("missing.bmp");
    EXPECT_EQ(imageInfoError(missing),
              "Cannot open file \"" + missing.toStdString() + "\". No such file or directory");
    const QString folder = dir.createDir("folder.jpg");
    EXPECT_EQ(imageInfoError(folder), "Cannot open file \"" + folder.toStdString() + "\". Is a directory");
    // The extension decides before the file is looked at.
    EXPECT_EQ(imageInfoError(dir.file("nothing.png")), "No valid BMP/JPG/GIF file.");
    EXPECT_EQ(imageInfoError(dir.createFile("a.jpeg", jpegHeaders(1, 1))), "No valid BMP/JPG/GIF file.");
}

TEST(JpegSignature, WindowAtZeroAndBehindMacBinary)
{
    auto offsetOf = [](const QByteArray &b) {
        TMemorySource s({reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size())});
        return JpegDataOffset(s);
    };
    const QByteArray start = jfifStart();
    EXPECT_EQ(offsetOf(start.left(10)), std::nullopt); // "more than 10 bytes"
    EXPECT_EQ(offsetOf(start.left(11)), 0u);
    const QByteArray behind = macBinary(start);
    EXPECT_EQ(offsetOf(behind.left(138)), std::nullopt); // "more than 138 bytes"
    EXPECT_EQ(offsetOf(behind.left(139)), 128u);
    QByteArray exif = start;
    exif[3] = char(0xE1);
    EXPECT_EQ(offsetOf(exif), std::nullopt);
    EXPECT_EQ(offsetOf(macBinary(exif)), std::nullopt);
    QByteArray notJfif = start;
    notJfif[9] = 'X'; // "JFIX"
    EXPECT_EQ(offsetOf(notJfif), std::nullopt);
    // A signature at 64, say, is not looked for.
    EXPECT_EQ(offsetOf(QByteArray(64, '\0') + start + QByteArray(100, '\0')), std::nullopt);
}

TEST(JpegSignature, StreamIsLeftAtTheDataOrAtItsStart)
{
    QByteArray plain = jpegHeaders(3, 4);
    QBuffer a(&plain);
    a.open(QIODevice::ReadOnly);
    EXPECT_TRUE(CheckJpegHeader(a));
    EXPECT_EQ(a.pos(), 0);

    QByteArray wrapped = macBinary(jpegHeaders(3, 4));
    QBuffer b(&wrapped);
    b.open(QIODevice::ReadOnly);
    EXPECT_TRUE(CheckJpegHeader(b));
    EXPECT_EQ(b.pos(), 128);
    EXPECT_EQ(b.read(2), bytes({0xFF, 0xD8}));

    QByteArray exif = jpegHeaders(3, 4);
    exif[3] = char(0xE1);
    QBuffer c(&exif);
    c.open(QIODevice::ReadOnly);
    EXPECT_FALSE(CheckJpegHeader(c));
    EXPECT_EQ(c.pos(), 0);
}

TEST(JpegProbe, MeasuresBaselineFrameAfterOtherSegments)
{
    expectInfo(probe(ProbeJpeg, jpegHeaders(640, 480)), 640, 480, 24);
    // A long APP0 thumbnail, a comment and a quantisation table before the frame.
    const QByteArray longer =
        jfifStart(3 * 80 * 60) + segment(0xFE, "made by hand") + dqt() + sof(0xC0, 1024, 768);
    expectInfo(probe(ProbeJpeg, longer), 1024, 768, 24);
    expectInfo(probe(ProbeJpeg, macBinary(jpegHeaders(17, 9))), 17, 9, 24);
    // The component count does not change the depth reported.
    QByteArray grey = jfifStart() + segment(0xC0, bytes({8, 0, 5, 0, 6, 1, 1, 0x11, 0}));
    expectInfo(probe(ProbeJpeg, grey), 6, 5, 24);
}

TEST(JpegProbe, OtherFrameKindsAndBrokenSegments)
{
    EXPECT_EQ(probeError(ProbeJpeg, jpegHeaders(8, 8, 0xC2)), "JPEG has no SOF marker."); // progressive
    EXPECT_EQ(probeError(ProbeJpeg, jpegHeaders(8, 8, 0xC1)), "JPEG has no SOF marker."); // extended
    QByteArray exif = jpegHeaders(8, 8);
    exif[3] = char(0xE1);
    EXPECT_EQ(probeError(ProbeJpeg, exif), "JPEG has no valid header.");
    EXPECT_EQ(probeError(ProbeJpeg, "GIF89a and more bytes than ten"), "JPEG has no valid header.");
    // No FF where the next segment should start.
    EXPECT_EQ(probeError(ProbeJpeg, jfifStart() + bytes({0x00, 0xC0, 0, 17})), "JPEG has no SOF marker.");
    // A length below 2 would not advance.
    EXPECT_EQ(probeError(ProbeJpeg, jfifStart() + bytes({0xFF, 0xDB, 0, 1}) + sof(0xC0, 1, 1)),
              "JPEG has no SOF marker.");
    // Lengths that point far past the end end the walk.
    EXPECT_EQ(probeError(ProbeJpeg, jfifStart() + bytes({0xFF, 0xE1, 0xFF, 0xFF, 1, 2})),
              "JPEG has no SOF marker.");
    // A frame header shorter than its six fixed bytes.
    EXPECT_EQ(probeError(ProbeJpeg, jfifStart() + segment(0xC0, bytes({8, 0, 1, 0, 1}))), "JPEG is corrupt.");
}

TEST(JpegProbe, TruncatedAtEveryByte)
{
    const QByteArray full = jpegHeaders(300, 200);
    const int sofAt = jfifStart().size() + dqt().size();
    for (int n = 0; n < full.size(); ++n) {
        const std::string error = probeError(ProbeJpeg, full.left(n));
        if (n <= 10)
            EXPECT_EQ(error, "JPEG has no valid header.") << n;
        else if (n < sofAt + 4)
            EXPECT_EQ(error, "JPEG has no SOF marker.") << n;
        else if (n < sofAt + 10)
            EXPECT_EQ(error, "JPEG is corrupt.") << n;
        else
            EXPECT_EQ(error, "") << n;
    }
}

TEST(JpegProbe, MeasuresAFileMadeByTheEncoder)
{
    TTestDir dir;
    QImage image(37, 21, QImage::Format_RGB888);
    image.fill(Qt::darkCyan);
    const QString path = dir.createFile("Made.JPG", EncodeJpeg(image, 75));
    expectInfo(GetImageInfo(path), 37, 21, 24);
}

TEST(GifProbe, ReadsTheScreenDescriptorWithoutCheckingTheSignature)
{
    expectInfo(probe(ProbeGif, gif(320, 200, 0xF7)), 320, 200, 8); // resolution field 7
    expectInfo(probe(ProbeGif, gif(1, 65535, 0x80 | 0x30)), 1, 65535, 4);
    expectInfo(probe(ProbeGif, gif(9, 9, 0x00)), 9, 9, 1);
    expectInfo(probe(ProbeGif, QByteArray(13, '\0')), 0, 0, 1);
    const QByteArray thirteen("ABCDEFGHIJKLM");
    expectInfo(probe(ProbeGif, thirteen), 'G' | 'H' << 8, 'I' | 'J' << 8, (('K' >> 4) & 7) + 1);
    EXPECT_EQ(probeError(ProbeGif, thirteen.left(12)), "corrupt GIF image");
    EXPECT_EQ(probeError(ProbeGif, ""), "corrupt GIF image");

    TTestDir dir;
    expectInfo(GetImageInfo(dir.createFile("anim.GIF", gif(48, 32, 0x91))), 48, 32, 2);
}

TEST(AudioInfo, ChoosesTheReaderByExtension)
{
    TTestDir dir;
    const TAudioFormat wav = GetAudioInfo(writeSamples<TWaveFile>(dir, "drum.WAV", 2, 16, 22050, 10));
    EXPECT_EQ(wav.Channels, 2);
    EXPECT_EQ(wav.BitsPerSample, 16);
    EXPECT_EQ(wav.SampleRate, 22050u);
    EXPECT_EQ(wav.FrameCount, 10);
    EXPECT_EQ(wav.DataSize, 40);
    EXPECT_FALSE(wav.BigEndian);
    EXPECT_EQ(wav.Data, nullptr); // the mapping is gone

    const TAudioFormat aif = GetAudioInfo(writeSamples<TAIFFFile>(dir, "snare.Aif", 1, 8, 44100, 6));
    EXPECT_EQ(aif.Channels, 1);
    EXPECT_EQ(aif.BitsPerSample, 8);
    EXPECT_EQ(aif.SampleRate, 44100u);
    EXPECT_EQ(aif.FrameCount, 6);
    EXPECT_TRUE(aif.BigEndian);
    EXPECT_EQ(aif.Data, nullptr);

    EXPECT_EQ(audioInfoError(writeSamples<TAIFFFile>(dir, "snare.aiff", 1, 8, 44100, 6)),
              "No valid WAV/AIFF file.");
    EXPECT_EQ(audioInfoError(dir.file("x.mp3")), "No valid WAV/AIFF file.");
}

TEST(AudioInfo, ReaderFailuresPassThroughUnchanged)
{
    TTestDir dir;
    const QString bad = dir.createFile(
        "bad.wav", TTestDir::readAll(writeSamples<TWaveFile>(dir, "good.wav", 2, 16, 22050, 10)).left(30));
    std::string direct;
    try {
        TWaveFile::CreateFromFile(bad);
    } catch (const EModwright &e) {
        direct = e.what();
    }
    ASSERT_FALSE(direct.empty());
    EXPECT_EQ(audioInfoError(bad), direct);
    EXPECT_FALSE(audioInfoError(dir.file("missing.aif")).empty());
}

namespace {

// The outcome of reading a sample file's format: the message, or the fields but the data.
template <class TFile> std::string formatOutcome(auto &&read)
{
    try {
        const TAudioFormat f = read();
        return std::to_string(f.Channels) + "/" + std::to_string(f.BitsPerSample) + "/" +
               std::to_string(f.SampleRate) + "/" + std::to_string(f.FrameCount) + "/" +
               std::to_string(f.DataSize) + (f.BigEndian ? "/be" : "/le");
    } catch (const EModwright &e) {
        return e.what();
    }
}

// The header probe (reading a few bytes at a time) and the full reader over a mapping must
// accept and refuse the same files with the same words.
template <class TFile> void expectProbeAgrees(const std::vector<uint8_t> &bytes)
{
    const std::string full =
        formatOutcome<TFile>([&] { return TFile::CreateFromImage(bytes.data(), bytes.size())->GetFormat(); });
    const std::string probed = formatOutcome<TFile>([&] {
        TMemorySource source({bytes.data(), bytes.size()});
        return TFile::ReadFormat(source);
    });
    EXPECT_EQ(probed, full) << bytes.size() << " bytes";
}

template <class TFile> void expectProbeAgreesOnDamage(const std::vector<uint8_t> &good)
{
    expectProbeAgrees<TFile>(good);
    expectProbeAgrees<TFile>(withMacBinary(good));
    for (size_t n = 0; n <= std::min<size_t>(good.size(), 90); ++n)
        expectProbeAgrees<TFile>(prefix(good, n));
    for (size_t i = 0; i < std::min<size_t>(good.size(), 90); ++i)
        for (uint8_t flip : {uint8_t(0x01), uint8_t(0x80), uint8_t(0xFF)}) {
            std::vector<uint8_t> bad = good;
            bad[i] ^= flip;
            expectProbeAgrees<TFile>(bad);
        }
}

} // namespace

TEST(AudioInfo, HeaderProbeAgreesWithTheFullReader)
{
    // Chunks in an unusual order, one far past the first read's kilobytes.
    const std::vector<uint8_t> samples(400, 0x11);
    TBytes wav;
    wav.id("RIFF")
        .le32(4 + 8 + 9000 + 8 + 16 + 8 + 400)
        .id("WAVE")
        .id("LIST")
        .le32(8999)
        .fill(9000) // odd length and its pad byte
        .id("data")
        .le32(400)
        .raw(samples)
        .id("fmt ")
        .le32(16)
        .le16(1)
        .le16(2)
        .le32(22050)
        .le32(88200)
        .le16(4)
        .le16(16);
    expectProbeAgreesOnDamage<TWaveFile>(wav);
    const auto canonical = TWaveFile::CreateNew(TAudioFormat{1, 8, 8000, 3, false, 3, samples.data()}, 2, 16);
    expectProbeAgreesOnDamage<TWaveFile>(
        std::vector<uint8_t>(canonical->GetImage(), canonical->GetImage() + canonical->GetImageSize()));

    TBytes aifc;
    aifc.id("FORM")
        .le32(0)
        .id("AIFC")
        .id("ANNO")
        .be32(5000)
        .fill(5000)
        .id("FVER")
        .be32(4)
        .be32(0xA2805140)
        .id("COMM")
        .be32(24)
        .be16(1)
        .be32(100)
        .be16(16)
        .rate44100()
        .id("NONE")
        .be16(0)
        .id("SSND")
        .be32(8 + 200)
        .be32(0)
        .be32(0)
        .fill(200, 0x22);
    expectProbeAgreesOnDamage<TAIFFFile>(aifc);
    const auto plain = TAIFFFile::CreateNew(TAudioFormat{2, 16, 44100, 5, false, 20, samples.data()}, 1, 8);
    expectProbeAgreesOnDamage<TAIFFFile>(
        std::vector<uint8_t>(plain->GetImage(), plain->GetImage() + plain->GetImageSize()));

    // On disk, the opening failures read as the mapping's.
    TTestDir dir;
    for (const QString &name : {QString("empty.wav"), QString("empty.aif")}) {
        const QString path = dir.createFile(name, "");
        std::string direct;
        try {
            TWaveFile::CreateFromFile(path);
        } catch (const EModwright &e) {
            direct = e.what();
        }
        EXPECT_EQ(audioInfoError(path), direct);
    }
    EXPECT_EQ(audioInfoError(dir.file("missing.wav")),
              "Couldn't open " + dir.file("missing.wav").toStdString() + ".");
    EXPECT_EQ(audioInfoError(dir.createDir("folder.aif")),
              "Couldn't open " + dir.file("folder.aif").toStdString() + ".");
}

TEST(LoadImageFile, BitmapsAndJpegsLoadOthersAreLeftAlone)
{
    TTestDir dir;
    QImage source(8, 5, QImage::Format_RGB888);
    source.fill(QColor(200, 30, 60));
    dir.createFile("A.JPG", EncodeJpeg(source, 95));
    dir.createFile("mac.jpg", macBinary(EncodeJpeg(source, 95)));
    dir.createFile("b.jpeg", EncodeJpeg(source, 95));
    source.save(dir.file("c.bmp"), "BMP");

    QImage picture;
    for (const char *name : {"A.JPG", "mac.jpg", "c.bmp"}) {
        picture = QImage();
        EXPECT_TRUE(LoadImageFile(dir.file(name), picture)) << name;
        EXPECT_EQ(picture.size(), QSize(8, 5)) << name;
        EXPECT_TRUE(LastLoadError().isEmpty()) << name;
    }

    // Not ours: nothing changes, no message.
    const QImage kept = picture;
    EXPECT_FALSE(LoadImageFile(dir.file("b.jpeg"), picture));
    EXPECT_EQ(picture, kept);
    EXPECT_TRUE(LastLoadError().isEmpty());
    QByteArray exif = EncodeJpeg(source, 95);
    exif[3] = char(0xE1);
    EXPECT_FALSE(LoadImageFile(dir.createFile("exif.jpg", exif), picture));
    EXPECT_EQ(picture, kept);
    EXPECT_TRUE(LastLoadError().isEmpty());
}

TEST(LoadImageFile, FailuresClearThePictureAndKeepTheReason)
{
    TTestDir dir;
    QImage source(8, 8, QImage::Format_RGB888);
    source.fill(Qt::white);
    const QImage kept = source;

    QImage picture = kept;
    EXPECT_FALSE(LoadImageFile(dir.createFile("broken.bmp", "BM not really a bitmap at all"), picture));
    EXPECT_TRUE(picture.isNull());
    EXPECT_FALSE(LastLoadError().isEmpty());

    picture = kept;
    const QString missing = dir.file("missing.jpg");
    EXPECT_FALSE(LoadImageFile(missing, picture));
    EXPECT_TRUE(picture.isNull());
    EXPECT_EQ(LastLoadError(), "Cannot open file \"" + missing + "\". No such file or directory");

    // A JFIF signature over data libjpeg refuses.
    picture = kept;
    QByteArray corrupt = jfifStart() + sof(0xC0, 8, 8) + segment(0xC4, bytes({0x00, 0xFF}));
    EXPECT_FALSE(LoadImageFile(dir.createFile("corrupt.jpg", corrupt), picture));
    EXPECT_TRUE(picture.isNull());
    EXPECT_FALSE(LastLoadError().isEmpty());

    // A success afterwards clears the message.
    dir.createFile("fine.jpg", EncodeJpeg(source, 50));
    EXPECT_TRUE(LoadImageFile(dir.file("fine.jpg"), picture));
    EXPECT_TRUE(LastLoadError().isEmpty());
}
